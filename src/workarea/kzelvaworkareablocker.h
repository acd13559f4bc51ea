// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

/*
 * A counter that blocks one behaviour of its work area while above 0 (its
 * activation or its saving). Child of the work area. Use Hold to take it
 * for a scope. GUI thread.
 */
class KZelvaWorkareaBlocker : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkareaBlocker(QObject *parent = nullptr) : QObject(parent) {}

    qint32 count() const { return m_count; }
    bool isBlocked() const { return m_count > 0; }
    void take() { ++m_count; }
    void release() { --m_count; }

    class Hold
    {
    public:
        explicit Hold(KZelvaWorkareaBlocker *blocker) : m_blocker(blocker) { m_blocker->take(); }
        ~Hold() { m_blocker->release(); }
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        KZelvaWorkareaBlocker *m_blocker;
    };

private:
    qint32 m_count = 0;
};
