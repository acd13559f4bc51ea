// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvaworkareamenus.h"

#include <QCursor>
#include <QRect>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

class QAction;
class QFontMetrics;
class QWidget;
class KZelvaMainWindow;
class KZelvaMenu;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWorkArea;
class KZelvaWorkAreaManager;
class KZelvaWorkAreaOperations;
class KZelvaWorkAreaTabMenuInfoCollectter;

/*
 * The work-area entries of the host's tab context menu (a "move to" submenu
 * with a new-window entry and one entry per other work area) and the small
 * menu the work-area page opens for a listed tab (Open, Close, the same
 * submenu). Every action carries the ids it acts on as dynamic properties
 * ("srcWorkAreaId", "srcWorkAreaItemId", "relativeWorkAreaId",
 * "desWorkAreaId"); the trigger slots read them from the sending action and
 * carry the step out through the work-area operations. Holds the tab-menu
 * collector. Child of the manager, created at its initialisation; GUI thread.
 */
class KZelvaWorkAreaMenuActionManager : public QObject, public IKZelvaWorkAreaMenus
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaMenuActionManager(KZelvaWorkAreaManager *manager);
    ~KZelvaWorkAreaMenuActionManager() override;

    // The menu action manager of the live manager, or null.
    static KZelvaWorkAreaMenuActionManager *instance();

    KZelvaWorkAreaTabMenuInfoCollectter *collector() const { return m_collector; }

    void addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map = QVariantMap()) override;
    // Attaches the collector to `menu` with the extra fields of `tab`.
    bool addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map = QVariantMap()) override;

    // The page's menu for tab `tagId` of work area `workAreaId`, listed in
    // the popup of `window`. When the tab is open its own context menu is
    // asked for (at `at`) and null returned; null too (with a log line) for
    // unknown ids. The caller owns the menu.
    KZelvaMenu *createTagMenu(KZelvaMainWindow *window, const QString &workAreaId, const QString &tagId,
                              QWidget *parent = nullptr, const QPoint &at = QCursor::pos());
    // createTagMenu() shown at `anchor`'s bottom left corner (a screen
    // rectangle: the page's tile) or, without one, at the cursor; never
    // blocks (the menu deletes itself when it hides). False when no menu of
    // ours was shown.
    bool popupMenu(KZelvaMainWindow *window, const QString &workAreaId, const QString &tagId, QWidget *parent = nullptr,
                   const QRect &anchor = QRect());

    // Text of a work area's entry in the submenu.
    static QString entryText(const KZelvaWorkArea *workArea, bool panelEnabled, const QFontMetrics &metrics,
                             int maxWidth);
    // `title` without its file extension: from the last '.' up to the next blank or tab.
    static QString titleWithoutExtension(const QString &title);

public Q_SLOTS:
    void onWorkAreaItemTrigger();
    void onWorkAreaItemHover();
    void onCreateAreaItemTrigger();
    void onOpenActionTrigger();
    void onCloseActionTrigger();

private:
    void addWorkAreaSubmenu(KZelvaMenu *menu, KZelvaWorkArea *source, const QString &itemId,
                            KZelvaWorkArea *relative, KZelvaSubPage *page);
    KZelvaWorkArea *relativeWorkAreaOf(KZelvaMainWindow *window) const;
    KZelvaWorkAreaOperations *operations() const;
    KZelvaMainWindow *windowFor(const QString &relativeWorkAreaId, KZelvaWorkArea *fallback) const;

    KZelvaWorkAreaManager *m_manager;
    KZelvaWorkAreaTabMenuInfoCollectter *m_collector;
};
