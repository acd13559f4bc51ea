// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacentralarea.h"

#include "kzelvapage.h"
#include "kzelvasubpage.h"
#include "kzelvatab.h"
#include "kzelvatabbar.h"

KZelvaCentralArea::KZelvaCentralArea(KZelvaTabBar *tabBar, QWidget *parent)
    : QStackedWidget(parent)
    , m_tabBar(tabBar)
{
    connect(tabBar, &KZelvaTabBar::currentTabChanged, this, &KZelvaCentralArea::onCurrentTabChanged);
    // Only the page on top has updates enabled: switching the stack turns
    // updates off and on again for the whole stack, and a page with updates
    // off is passed over, so a switch costs the same with 10 pages or 2000.
    // A page with updates off still renders through grab().
    connect(this, &QStackedWidget::currentChanged, this, [this, top = QPointer<QWidget>()]() mutable {
        QWidget *shown = currentWidget();
        if (shown == top)
            return;
        if (shown)
            shown->setUpdatesEnabled(true);
        if (top && top->parentWidget() == this)
            top->setUpdatesEnabled(false);
        top = shown;
    });
}

QList<KZelvaPage *> KZelvaCentralArea::pages() const
{
    return m_pages;
}

QList<KZelvaSubPage *> KZelvaCentralArea::subPages() const
{
    QList<KZelvaSubPage *> result;
    if (!m_tabBar)
        return result;
    const QList<KZelvaTab *> tabs = m_tabBar->tabs();
    result.reserve(tabs.size());
    for (KZelvaTab *tab : tabs) {
        if (tab->subPage())
            result.append(tab->subPage());
    }
    return result;
}

KZelvaSubPage *KZelvaCentralArea::currentSubPage() const
{
    KZelvaTab *tab = m_tabBar ? m_tabBar->currentTab() : nullptr;
    return tab ? tab->subPage() : nullptr;
}

void KZelvaCentralArea::addSubPage(KZelvaSubPage *page, int index, bool activate)
{
    if (!page || !m_tabBar || indexOf(page) >= 0)
        return;
    addWidget(page);
    // Off until it is on top (the first page is on top at once).
    if (page != currentWidget())
        page->setUpdatesEnabled(false);
    KZelvaPage *group = pageFor(page->pageType());
    group->m_subPages.append(page);
    page->m_page = group;
    page->m_tab = m_tabBar->insertTab(page, index);
    connect(page, &QWidget::windowTitleChanged, this, [this, page] {
        if (m_tabBar && page->getTab())
            m_tabBar->tabTextChanged(page->getTab());
    });
    Q_EMIT subPageAdded(page);
    if (activate)
        activateSubPage(page);
}

KZelvaSubPage *KZelvaCentralArea::takeSubPage(KZelvaSubPage *page)
{
    if (!page || indexOf(page) < 0)
        return nullptr;
    Q_EMIT subPageRemoved(page);
    disconnect(page, &QWidget::windowTitleChanged, this, nullptr);
    if (KZelvaPage *group = page->page())
        group->m_subPages.removeAll(page);
    page->m_page = nullptr;
    KZelvaTab *tab = page->getTab();
    page->m_tab = nullptr;
    removeWidget(page);
    page->setParent(nullptr);
    page->setUpdatesEnabled(true);
    if (m_tabBar && tab)
        m_tabBar->removeTab(tab);
    return page;
}

void KZelvaCentralArea::removeSubPage(KZelvaSubPage *page)
{
    if (takeSubPage(page))
        delete page;
}

void KZelvaCentralArea::activateSubPage(KZelvaSubPage *page)
{
    if (!page || !m_tabBar || indexOf(page) < 0)
        return;
    if (m_tabBar->currentTab() == page->getTab() && currentWidget() == page && page->isVisibleByControl())
        return;
    Q_EMIT page->beforeActivated();
    m_tabBar->setCurrentTab(page->getTab());
}

void KZelvaCentralArea::onCurrentTabChanged()
{
    KZelvaSubPage *page = currentSubPage();
    if (!page)
        return;
    setCurrentWidget(page);
    Q_EMIT page->activated();
    Q_EMIT subPageActivated(page);
}

KZelvaPage *KZelvaCentralArea::pageFor(KZelvaPluginWidget::WidgetType type)
{
    for (KZelvaPage *page : qAsConst(m_pages)) {
        if (page->pageType() == type)
            return page;
    }
    auto *page = new KZelvaPage(type, this);
    m_pages.append(page);
    return page;
}
