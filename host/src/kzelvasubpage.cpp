// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvasubpage.h"

#include "kzelvacentralarea.h"
#include "kzelvamainwindow.h"
#include "kzelvapage.h"
#include "kzelvatab.h"
#include "kzelvatabbar.h"
#include "kzelvaworkareadata.h"

KZelvaSubPage::KZelvaSubPage(KZelvaPluginWidget::WidgetType type, QWidget *parent)
    : QWidget(parent)
    , m_type(type)
{
}

KZelvaSubPage::~KZelvaSubPage() = default;

KZelvaTab *KZelvaSubPage::getTab() const
{
    return m_tab;
}

KZelvaPage *KZelvaSubPage::page() const
{
    return m_page;
}

KZelvaMainWindow *KZelvaSubPage::mainWindow() const
{
    return findRelativeZelvaMainWindow(this);
}

bool KZelvaSubPage::isRelativeTabLocked() const
{
    return m_tab && m_tab->isLock();
}

bool KZelvaSubPage::moveTo(KZelvaMainWindow *window, int index)
{
    KZelvaMainWindow *from = mainWindow();
    if (!window || !from || window->isClosing())
        return false;
    if (from == window) {
        if (m_tab)
            window->tabBar()->moveTab(m_tab, index < 0 ? window->tabBar()->count() - 1 : index);
        return true;
    }
    from->centralArea()->takeSubPage(this);
    window->centralArea()->addSubPage(this, index, true);
    return true;
}

void KZelvaSubPage::setVisible(int controlType, bool visible)
{
    if (!m_visibility.set(controlType, visible))
        return;
    if (m_tab) {
        if (KZelvaTabBar *bar = m_tab->tabBar())
            bar->tabVisibilityChanged(m_tab);
    }
    Q_EMIT visibleChanged(m_visibility.value());
}

void KZelvaSubPage::activate()
{
    if (KZelvaMainWindow *window = mainWindow())
        window->centralArea()->activateSubPage(this);
}

bool KZelvaSubPage::getRecoverItem(KZelvaWorkAreaRecoverItem *item) const
{
    if (!item)
        return false;
    item->id = m_workAreaItemId;
    item->title = windowTitle();
    item->pageType = m_type;
    KZelvaMainWindow *window = mainWindow();
    item->tabIndex = window && m_tab ? window->tabBar()->indexOf(m_tab) : -1;
    item->bLock = isRelativeTabLocked();
    return true;
}

KZelvaMainWindow *findRelativeZelvaMainWindow(const QWidget *page)
{
    if (!page)
        return nullptr;
    return qobject_cast<KZelvaMainWindow *>(page->window());
}
