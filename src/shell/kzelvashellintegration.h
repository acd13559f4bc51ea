// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkareashellhooks.h"

/*
 * The window and tab integration the manager calls through its shell
 * hooks: popup, tab menus, thumbnails and close handlers of this folder.
 * Installed by the module's entry, owned by the manager. GUI thread.
 */
class KZelvaShellIntegration : public KZelvaWorkAreaShellHooks
{
public:
    // menus and thumbnails
    QObject *createMenuActionManager(KZelvaWorkAreaManager *manager) override;
    QObject *createThumbnailManager(KZelvaWorkAreaManager *manager) override;
    void addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map) override;
    void addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map) override;

    // popup
    QObject *createPopup(KZelvaMainWindow *window, const QRect &anchor) override;
    void closePopup(QObject *popup) override;
    void refreshPopup(QObject *popup) override;

    // close handlers
    KZelvaCloseHandler *createMainWindowCloseHandler(KZelvaMainWindow *window) override;
};
