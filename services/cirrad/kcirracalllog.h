// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

/*
 * cirrad's call log: one JSON object per call, appended to
 * <state dir>/calls.log (rotated at 4 MiB) and kept in memory (the last
 * 2000) for the control request "callLog".
 *
 * Owned by KCirraService; main thread.
 */
class KCirraCallLog
{
public:
    explicit KCirraCallLog(const QString &stateDir);

    void append(const QJsonObject &entry);
    QList<QJsonObject> entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    QString m_path;
    QList<QJsonObject> m_entries;
};
