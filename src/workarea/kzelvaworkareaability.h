// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

/*
 * Switches of one work area, all on at construction. The third one lets an
 * item activation make its hidden work area current; the activation switch
 * decides whether a window is given the work area at all. Child of its
 * work area.
 */
class KZelvaWorkAreaAbility : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaAbility(QObject *parent = nullptr) : QObject(parent) {}

    bool isActivationEnabled() const { return m_activation; }
    void setActivationEnabled(bool on) { m_activation = on; }
    bool isPersistEnabled() const { return m_persist; }
    void setPersistEnabled(bool on) { m_persist = on; }
    bool isItemActivationSwitchEnabled() const { return m_itemActivationSwitch; }
    void setItemActivationSwitchEnabled(bool on) { m_itemActivationSwitch = on; }
    bool isMenuEnabled() const { return m_menu; }
    void setMenuEnabled(bool on) { m_menu = on; }

private:
    bool m_activation = true;
    bool m_persist = true;
    bool m_itemActivationSwitch = true;
    bool m_menu = true;
};
