// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QRect>
#include <QVariantMap>

class QObject;
class KZelvaCloseHandler;
class KZelvaMainWindow;
class KZelvaMenu;
class KZelvaTab;
class KZelvaWorkAreaManager;

/*
 * What the manager asks of the window and tab integration (popup, menus,
 * thumbnails, close handlers), which is built on top of the model and so
 * cannot be linked from it. The module's entry installs one implementation
 * into the manager right after creating it (setShellHooks); the manager
 * owns it. Every method has a do-nothing default, so a missing piece only
 * means a missing feature. GUI thread.
 */
class KZelvaWorkAreaShellHooks
{
public:
    virtual ~KZelvaWorkAreaShellHooks() = default;

    // Initialisation: the menu action manager (with its tab-menu collector)
    // and the thumbnail manager, both children of `manager`.
    virtual QObject *createMenuActionManager(KZelvaWorkAreaManager *manager) { Q_UNUSED(manager) return nullptr; }
    virtual QObject *createThumbnailManager(KZelvaWorkAreaManager *manager) { Q_UNUSED(manager) return nullptr; }

    // The work-area popup of `window` anchored at `anchor`, or null.
    virtual QObject *createPopup(KZelvaMainWindow *window, const QRect &anchor)
    {
        Q_UNUSED(window) Q_UNUSED(anchor) return nullptr;
    }
    // Closes a popup made by createPopup() (its closeWidget()).
    virtual void closePopup(QObject *popup) { Q_UNUSED(popup) }
    // Runs the popup page's "onRefreshCallback()".
    virtual void refreshPopup(QObject *popup) { Q_UNUSED(popup) }

    virtual void addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
    {
        Q_UNUSED(menu) Q_UNUSED(tab) Q_UNUSED(map)
    }
    virtual void addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
    {
        Q_UNUSED(menu) Q_UNUSED(tab) Q_UNUSED(map)
    }

    virtual KZelvaCloseHandler *createMainWindowCloseHandler(KZelvaMainWindow *window)
    {
        Q_UNUSED(window) return nullptr;
    }
};
