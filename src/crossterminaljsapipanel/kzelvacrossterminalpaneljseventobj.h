// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QAtomicInt>

/*
 * The host panel's script event object: one function-static instance,
 * reference counted (the count starts at 1, each registration with the
 * host script core adds one), living until the process ends. The state
 * value tells which stage of registration it reached.
 */
class KZelvaCrossTerminalPanelJsEventObj
{
public:
    static KZelvaCrossTerminalPanelJsEventObj *instance();

    int addRef() { return m_refCount.fetchAndAddOrdered(1) + 1; }
    int refCount() const { return m_refCount.loadAcquire(); }
    void setState(int state) { m_state = state; }
    int state() const { return m_state; }

private:
    KZelvaCrossTerminalPanelJsEventObj() = default;
    QAtomicInt m_refCount{1};
    int m_state = 0;
};
