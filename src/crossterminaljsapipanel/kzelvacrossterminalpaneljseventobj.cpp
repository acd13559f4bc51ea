// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljseventobj.h"

KZelvaCrossTerminalPanelJsEventObj *KZelvaCrossTerminalPanelJsEventObj::instance()
{
    static KZelvaCrossTerminalPanelJsEventObj object;
    return &object;
}

int KZelvaCrossTerminalPanelJsEventObj::addEventListener(const QString &eventName, const Listener &listener)
{
    const int id = m_nextId++;
    m_listeners[eventName].append(qMakePair(id, listener));
    return id;
}

void KZelvaCrossTerminalPanelJsEventObj::removeEventListener(const QString &eventName, int id)
{
    auto found = m_listeners.find(eventName);
    if (found == m_listeners.end())
        return;
    for (int i = found->size() - 1; i >= 0; --i) {
        if (found->at(i).first == id)
            found->removeAt(i);
    }
}

int KZelvaCrossTerminalPanelJsEventObj::dispatchEvent(const QString &eventName, const QString &payload)
{
    // A copy: a listener may remove itself.
    const QList<QPair<int, Listener>> listeners = m_listeners.value(eventName);
    for (const auto &entry : listeners) {
        if (entry.second)
            entry.second(payload);
    }
    return listeners.size();
}
