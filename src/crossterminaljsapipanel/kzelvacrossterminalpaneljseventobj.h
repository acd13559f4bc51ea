// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QAtomicInt>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

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

    // Script callbacks per event name; GUI thread.
    using Listener = std::function<void(const QString &payload)>;
    int addEventListener(const QString &eventName, const Listener &listener);
    void removeEventListener(const QString &eventName, int id);
    // Calls the listeners of `eventName`; returns how many there were.
    int dispatchEvent(const QString &eventName, const QString &payload);

private:
    KZelvaCrossTerminalPanelJsEventObj() = default;
    QAtomicInt m_refCount{1};
    int m_state = 0;
    int m_nextId = 1;
    QHash<QString, QList<QPair<int, Listener>>> m_listeners;
};
