// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvatab.h"

#include "kzelvamainwindow.h"
#include "kzelvasubpage.h"
#include "kzelvatabbar.h"

#include <QCursor>

KZelvaTab::KZelvaTab(KZelvaSubPage *page, KZelvaTabBar *bar)
    : QObject(bar)
    , m_page(page)
{
}

KZelvaTabBar *KZelvaTab::tabBar() const
{
    return qobject_cast<KZelvaTabBar *>(parent());
}

QString KZelvaTab::text() const
{
    return m_page ? m_page->windowTitle() : QString();
}

void KZelvaTab::setLock(bool locked)
{
    if (m_locked == locked)
        return;
    m_locked = locked;
    if (KZelvaTabBar *bar = tabBar()) {
        bar->tabTextChanged(this);
        Q_EMIT bar->tabLockChanged(this, locked);
    }
}

bool KZelvaTab::isChecked() const
{
    KZelvaTabBar *bar = tabBar();
    return bar && bar->currentTab() == this;
}

void KZelvaTab::activate()
{
    if (m_page)
        m_page->activate();
}

bool KZelvaTab::tryClose()
{
    KZelvaMainWindow *window = findRelativeZelvaMainWindow(m_page);
    return window && window->closeSubPage(m_page);
}

void KZelvaTab::popupMenu()
{
    popupMenu(QCursor::pos());
}

void KZelvaTab::popupMenu(const QPoint &globalPos)
{
    if (KZelvaTabBar *bar = tabBar())
        Q_EMIT bar->tabContextMenuRequested(this, globalPos);
}
