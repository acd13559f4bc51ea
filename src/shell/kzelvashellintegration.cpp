// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvashellintegration.h"

#include "kzelvamainwindowclosehandler.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareathumbnailmgr.h"

// ---- menus and thumbnails -----------------------------------------------------

QObject *KZelvaShellIntegration::createMenuActionManager(KZelvaWorkAreaManager *manager)
{
    return manager ? new KZelvaWorkAreaMenuActionManager(manager) : nullptr;
}

QObject *KZelvaShellIntegration::createThumbnailManager(KZelvaWorkAreaManager *manager)
{
    if (!manager)
        return nullptr;
    auto *thumbnails = new KZelvaWorkAreaThumbnailMgr(manager);
    thumbnails->initialise();
    return thumbnails;
}

void KZelvaShellIntegration::addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (KZelvaWorkAreaMenuActionManager *menus = KZelvaWorkAreaMenuActionManager::instance())
        menus->addTabMenuWorkAreaAction(menu, tab, map);
}

void KZelvaShellIntegration::addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (KZelvaWorkAreaMenuActionManager *menus = KZelvaWorkAreaMenuActionManager::instance())
        menus->addTabMenuPostInfo(menu, tab, map);
}

// ---- close handlers ------------------------------------------------------------

KZelvaCloseHandler *KZelvaShellIntegration::createMainWindowCloseHandler(KZelvaMainWindow *window)
{
    return window ? new KZelvaMainWindowCloseHandler(window) : nullptr;
}
