// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"
#include "softbusrecordtext.h"

#include <QList>

#include <algorithm>
#include <functional>

/*
 * The standing listeners of one operation, key or owner id, in registration
 * order. notify() runs each with a notice and drops, keeping the order of
 * the rest, those that answered Finished. A listener may register further
 * listeners while it runs: they are kept and first hear the next notice.
 *
 * Value type held by its registry; GUI thread.
 */
namespace SoftBus {
namespace Business {

template<class T>
class KSoftBusListenerList
{
public:
    using Listener = std::function<Export::CobLifeState(int code, const T &notice)>;

    void append(Listener listener) { m_entries.append({++m_serial, std::move(listener)}); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return m_entries.size(); }

    void notify(int code, const T &notice)
    {
        const QList<Entry> entries = m_entries;
        QList<quint64> finished;
        for (const Entry &entry : entries) {
            if (entry.listener(code, notice) == Export::Finished)
                finished.append(entry.serial);
        }
        if (finished.isEmpty())
            return;
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&](const Entry &e) { return finished.contains(e.serial); }),
                        m_entries.end());
    }

    // The dispatch rule: a non-zero code goes on with an empty notice, code 0
    // with data that does not decode becomes Error::BadAnswer.
    void notifyText(int code, const QString &data)
    {
        T notice;
        if (code == Error::Success && !Protocol::recordFromText(data, &notice))
            code = Error::BadAnswer;
        notify(code, code == Error::Success ? notice : T());
    }

private:
    struct Entry
    {
        quint64 serial;
        Listener listener;
    };
    QList<Entry> m_entries;
    quint64 m_serial = 0;
};

} // namespace Business
} // namespace SoftBus
