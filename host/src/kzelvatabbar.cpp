// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvatabbar.h"

#include "kzelvasubpage.h"
#include "kzelvatab.h"

#include <QHBoxLayout>
#include <QTabBar>
#include <QStringList>
#include <QVariant>

namespace {
// Up to this many added, removed or renamed tabs the shown strip takes them one by one.
constexpr int kChangesLaidOutOneByOne = 8;
} // namespace

KZelvaTabBar::KZelvaTabBar(QWidget *parent)
    : QWidget(parent)
    , m_strip(new QTabBar(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_strip);
    m_strip->setMovable(true);
    m_strip->setTabsClosable(true);
    m_strip->setDocumentMode(true);
    m_strip->setExpanding(false);
    m_strip->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_strip, &QTabBar::currentChanged, this, &KZelvaTabBar::onStripCurrentChanged);
    connect(m_strip, &QTabBar::tabMoved, this, &KZelvaTabBar::onStripTabMoved);
    connect(m_strip, &QTabBar::tabCloseRequested, this, [this](int index) {
        if (KZelvaTab *tab = stripTab(index))
            tab->tryClose();
    });
    connect(m_strip, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (KZelvaTab *tab = stripTab(m_strip->tabAt(pos)))
            Q_EMIT tabContextMenuRequested(tab, m_strip->mapToGlobal(pos));
    });
}

KZelvaTabBar::~KZelvaTabBar() = default;

QList<KZelvaTab *> KZelvaTabBar::tabs() const
{
    QList<KZelvaTab *> result;
    result.reserve(m_tabs.size());
    for (const QPointer<KZelvaTab> &tab : m_tabs) {
        if (tab)
            result.append(tab);
    }
    return result;
}

QList<KZelvaTab *> KZelvaTabBar::visibleTabs() const
{
    QList<KZelvaTab *> result;
    for (const QPointer<KZelvaTab> &tab : m_tabs) {
        if (tab && tab->subPage() && tab->subPage()->isVisibleByControl())
            result.append(tab);
    }
    return result;
}

int KZelvaTabBar::indexOf(const KZelvaTab *tab) const
{
    for (int i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs.at(i) == tab)
            return i;
    }
    return -1;
}

KZelvaTab *KZelvaTabBar::tabAt(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs.at(index).data() : nullptr;
}

void KZelvaTabBar::setCurrentTab(KZelvaTab *tab)
{
    if (tab == m_current || (tab && indexOf(tab) < 0))
        return;
    if (tab)
        Q_EMIT tabBeforeActive(tab);
    m_current = tab;
    scheduleSync();
    Q_EMIT currentTabChanged(tab);
}

void KZelvaTabBar::moveTab(KZelvaTab *tab, int to)
{
    const int from = indexOf(tab);
    if (from < 0)
        return;
    to = qBound(0, to, m_tabs.size() - 1);
    if (from != to)
        m_tabs.move(from, to);
    scheduleSync();
    Q_EMIT tabMoveFinished(tab);
}

KZelvaTab *KZelvaTabBar::insertTab(KZelvaSubPage *page, int index)
{
    auto *tab = new KZelvaTab(page, this);
    if (index < 0 || index > m_tabs.size())
        index = m_tabs.size();
    m_tabs.insert(index, tab);
    scheduleSync();
    return tab;
}

void KZelvaTabBar::removeTab(KZelvaTab *tab)
{
    const int index = indexOf(tab);
    if (index < 0)
        return;
    m_tabs.removeAt(index);
    if (m_current == tab) {
        m_current = nullptr;
        // The neighbour that slid into the closed tab's place takes over.
        ensureVisibleCurrent(index);
    }
    tab->deleteLater();
    scheduleSync();
}

void KZelvaTabBar::tabVisibilityChanged(KZelvaTab *)
{
    scheduleSync();
    // Hiding several pages in a row (a work-area switch) must not make each
    // of them current in turn; decide once the changes have settled.
    if (m_ensurePending)
        return;
    m_ensurePending = true;
    QMetaObject::invokeMethod(this, [this] {
        m_ensurePending = false;
        ensureVisibleCurrent();
    }, Qt::QueuedConnection);
}

void KZelvaTabBar::tabTextChanged(KZelvaTab *)
{
    scheduleSync();
}

void KZelvaTabBar::ensureVisibleCurrent(int anchor)
{
    if (m_current && m_current->subPage() && m_current->subPage()->isVisibleByControl())
        return;
    // Prefer the visible tab closest to the old position.
    if (anchor < 0)
        anchor = m_current ? indexOf(m_current) : 0;
    KZelvaTab *best = nullptr;
    int bestDistance = INT_MAX;
    for (int i = 0; i < m_tabs.size(); ++i) {
        KZelvaTab *tab = m_tabs.at(i);
        if (!tab || !tab->subPage() || !tab->subPage()->isVisibleByControl())
            continue;
        const int distance = qAbs(i - anchor);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = tab;
        }
    }
    if (best)
        best->activate();
    else if (m_current)
        setCurrentTab(nullptr);
}

void KZelvaTabBar::scheduleSync()
{
    if (m_syncPending)
        return;
    m_syncPending = true;
    // A posted call rather than a zero timer: it runs with the next round of
    // posted events, after the changes that asked for it.
    QMetaObject::invokeMethod(this, &KZelvaTabBar::syncStrip, Qt::QueuedConnection);
}

void KZelvaTabBar::syncStrip()
{
    m_syncPending = false;
    m_syncing = true;
    const QList<KZelvaTab *> visible = visibleTabs();
    QStringList texts;
    texts.reserve(visible.size());
    int changes = qAbs(m_strip->count() - visible.size());
    for (int i = 0; i < visible.size(); ++i) {
        KZelvaTab *tab = visible.at(i);
        texts.append(tab->isLock() ? QStringLiteral("\U0001F512 ") + tab->text() : tab->text());
        if (i < m_strip->count() && m_strip->tabText(i) != texts.last())
            ++changes;
    }
    // A shown strip lays out all its tabs again after each added, removed
    // or renamed one. Many changes (a work-area switch) are made while it is
    // hidden, and it is laid out once when it shows again; not while it has
    // the keyboard focus, which hiding would move elsewhere.
    const bool hideWhileChanging = changes > kChangesLaidOutOneByOne && m_strip->isVisible() && !m_strip->hasFocus();
    if (hideWhileChanging)
        m_strip->hide();
    while (m_strip->count() > visible.size())
        m_strip->removeTab(m_strip->count() - 1);
    while (m_strip->count() < visible.size())
        m_strip->addTab(QString());
    int currentIndex = -1;
    for (int i = 0; i < visible.size(); ++i) {
        KZelvaTab *tab = visible.at(i);
        if (m_strip->tabText(i) != texts.at(i))
            m_strip->setTabText(i, texts.at(i));
        m_strip->setTabData(i, QVariant::fromValue(static_cast<QObject *>(tab)));
        m_strip->setTabToolTip(i, tab->subPage() ? tab->subPage()->toolTip() : QString());
        if (tab == m_current)
            currentIndex = i;
    }
    m_strip->setCurrentIndex(currentIndex);
    if (hideWhileChanging)
        m_strip->show();
    m_syncing = false;
}

KZelvaTab *KZelvaTabBar::stripTab(int index) const
{
    if (index < 0 || index >= m_strip->count())
        return nullptr;
    return qobject_cast<KZelvaTab *>(m_strip->tabData(index).value<QObject *>());
}

void KZelvaTabBar::onStripCurrentChanged(int index)
{
    if (m_syncing)
        return;
    if (KZelvaTab *tab = stripTab(index))
        tab->activate();
}

void KZelvaTabBar::onStripTabMoved(int from, int to)
{
    if (m_syncing)
        return;
    // The strip shows only the visible tabs; in the full list the moved tab
    // takes the place of the visible neighbour it was dropped next to.
    KZelvaTab *moved = stripTab(to);
    KZelvaTab *neighbour = stripTab(to > from ? to - 1 : to + 1);
    if (!moved || !neighbour)
        return;
    moveTab(moved, indexOf(neighbour));
}

KZelvaTab *KZelvaTabBar::currentTab() const
{
    return m_current;
}
