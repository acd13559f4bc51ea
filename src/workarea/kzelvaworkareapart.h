// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>

/*
 * One typed part the manager holds: the interface pointer, guarded by the
 * QObject that implements it, so a part deleted elsewhere reads as absent.
 */
template<class Interface>
class KZelvaWorkAreaPart
{
public:
    template<class Implementation>
    void set(Implementation *part)
    {
        m_interface = part;
        m_guard = part;
    }
    Interface *get() const { return m_guard ? m_interface : nullptr; }
    QObject *object() const { return m_guard; }

private:
    Interface *m_interface = nullptr;
    QPointer<QObject> m_guard;
};
