// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvashellintegration.h"

#include "kzelvamainwindowclosehandler.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareathumbnailmgr.h"
#include "kzelvaworkareawidget.h"

#include <kzelvamainwindow.h>

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

// ---- popup ---------------------------------------------------------------------

QObject *KZelvaShellIntegration::createPopup(KZelvaMainWindow *window, const QRect &anchor)
{
    if (!window)
        return nullptr;
    auto *popup = new KZelvaWorkAreaWidget(window, window);
    popup->popup(anchor);
    return popup;
}

void KZelvaShellIntegration::closePopup(QObject *popup)
{
    if (auto *widget = qobject_cast<KZelvaWorkAreaWidget *>(popup))
        widget->closeWidget();
}

void KZelvaShellIntegration::refreshPopup(QObject *popup)
{
    if (auto *widget = qobject_cast<KZelvaWorkAreaWidget *>(popup))
        widget->refreshPage();
}

// ---- close handlers ------------------------------------------------------------

KZelvaCloseHandler *KZelvaShellIntegration::createMainWindowCloseHandler(KZelvaMainWindow *window)
{
    return window ? new KZelvaMainWindowCloseHandler(window) : nullptr;
}
