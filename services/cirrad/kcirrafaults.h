// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QList>
#include <QString>

/*
 * Faults injected into cirrad through its control interface: matching calls
 * are held until released, failed, dropped with their connection, delayed,
 * or make the service die in the middle of writing the reply.
 *
 * Owned by KCirraService; main thread.
 */
class KCirraFaults
{
public:
    enum class Action { None, Hold, Fail, Drop, Delay, Die };

    struct Rule
    {
        Action action = Action::None;
        QString function; // empty matches every function
        QString method;   // CirraIpcArg method; empty matches every method
        int remaining = -1; // -1: until cleared
        int delayMs = 0;
    };

    static Action actionFromName(const QString &name);

    void add(const Rule &rule) { m_rules.append(rule); }
    void clear() { m_rules.clear(); }
    // The first rule matching the call, counted down; Action::None if none.
    Rule take(const QString &function, const QString &method);

private:
    QList<Rule> m_rules;
};
