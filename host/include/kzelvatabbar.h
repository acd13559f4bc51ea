// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QTabBar;
class KZelvaSubPage;
class KZelvaTab;

/*
 * The tab bar of a main window. It holds every tab of the window in order;
 * the strip shows the tabs whose sub page is visible. The current tab is
 * the checked one; when it is hidden, the nearest visible tab becomes
 * current once the visibility changes have settled. Owned by its window.
 */
class KZELVASHELL_EXPORT KZelvaTabBar : public QWidget
{
    Q_OBJECT
public:
    explicit KZelvaTabBar(QWidget *parent = nullptr);
    ~KZelvaTabBar() override;

    QList<KZelvaTab *> tabs() const;
    QList<KZelvaTab *> visibleTabs() const;
    int count() const { return m_tabs.size(); }
    int indexOf(const KZelvaTab *tab) const;
    KZelvaTab *tabAt(int index) const;
    KZelvaTab *currentTab() const;
    void setCurrentTab(KZelvaTab *tab);
    // Moves `tab` to position `to` of the full list.
    void moveTab(KZelvaTab *tab, int to);

    // Used by the central area when pages come and go.
    KZelvaTab *insertTab(KZelvaSubPage *page, int index);
    void removeTab(KZelvaTab *tab);
    void tabVisibilityChanged(KZelvaTab *tab);
    void tabTextChanged(KZelvaTab *tab);

Q_SIGNALS:
    void tabBeforeActive(KZelvaTab *tab);
    void currentTabChanged(KZelvaTab *tab);
    void tabMoveFinished(KZelvaTab *tab);
    void tabLockChanged(KZelvaTab *tab, bool locked);
    void tabCloseRequested(KZelvaTab *tab);
    void tabContextMenuRequested(KZelvaTab *tab, const QPoint &globalPos);

private:
    friend class KZelvaTab;
    void scheduleSync();
    void syncStrip();
    void ensureVisibleCurrent(int anchor = -1);
    void onStripCurrentChanged(int index);
    void onStripTabMoved(int from, int to);
    KZelvaTab *stripTab(int index) const;

    QList<QPointer<KZelvaTab>> m_tabs;
    QPointer<KZelvaTab> m_current;
    QTabBar *m_strip = nullptr;
    bool m_syncPending = false;
    bool m_ensurePending = false;
    bool m_syncing = false;
};
