// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvapluginwidget.h"
#include "kzelvashell_export.h"

#include <QList>
#include <QPointer>
#include <QStackedWidget>

class KZelvaPage;
class KZelvaSubPage;
class KZelvaTabBar;

/*
 * The central area of a main window: the stack of its sub pages, grouped
 * into pages by type, in the order of the window's tabs. Owns the sub-page
 * widgets. Signals announce pages added (after the tab exists), removed
 * (before the page is deleted) and activated.
 */
class KZELVASHELL_EXPORT KZelvaCentralArea : public QStackedWidget
{
    Q_OBJECT
public:
    KZelvaCentralArea(KZelvaTabBar *tabBar, QWidget *parent);

    QList<KZelvaPage *> pages() const;
    // The page of that type, created when the window has none yet.
    KZelvaPage *pageByType(KZelvaPluginWidget::WidgetType type) { return pageFor(type); }
    QList<KZelvaSubPage *> subPages() const;
    KZelvaSubPage *currentSubPage() const;

    // Takes ownership of `page` and gives it a tab at `index` (-1: at the end).
    void addSubPage(KZelvaSubPage *page, int index = -1, bool activate = true);
    // Takes `page` out of this window without deleting it; returns it.
    KZelvaSubPage *takeSubPage(KZelvaSubPage *page);
    // Removes and deletes `page` (no close protocol; see KZelvaMainWindow).
    void removeSubPage(KZelvaSubPage *page);
    void activateSubPage(KZelvaSubPage *page);

Q_SIGNALS:
    void subPageAdded(KZelvaSubPage *page);
    void subPageRemoved(KZelvaSubPage *page);
    void subPageActivated(KZelvaSubPage *page);

private:
    void onCurrentTabChanged();
    KZelvaPage *pageFor(KZelvaPluginWidget::WidgetType type);

    QPointer<KZelvaTabBar> m_tabBar;
    QList<KZelvaPage *> m_pages;
};
