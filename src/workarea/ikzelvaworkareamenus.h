// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QVariantMap>

class KZelvaMenu;
class KZelvaTab;

/*
 * The tab-menu entries of the work areas (the menu action manager). Created
 * by the module's assembly during the manager's initialisation, a child of
 * the manager. GUI thread.
 */
class IKZelvaWorkAreaMenus
{
public:
    virtual ~IKZelvaWorkAreaMenus() = default;
    virtual void addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map) = 0;
    virtual bool addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map) = 0;
};
