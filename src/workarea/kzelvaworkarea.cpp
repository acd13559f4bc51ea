// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkarea.h"

#include "kzelvaworkareaability.h"
#include "kzelvaworkareablocker.h"
#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaitemability.h"
#include "kzelvapersistconfig.h"
#include "ikzelvaworkareaowner.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareaserializer.h"
#include "kzelvaworkareastore.h"
#include "kzelvaworkareastorestate.h"

#include <isyncsettingsdata.h>
#include <kcoreapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvadoclosehelper.h>
#include <kzelvamainwindow.h>
#include <kzelvamulticontrolbool.h>
#include <kzelvapluginwidget.h>
#include <kzelvaqozsubpage.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvaworkareamanagerproxy.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QPair>
#include <QSet>
#include <QVector>

#include <algorithm>

namespace {

// A document page the host keeps for reuse carries this dynamic property:
// hidden, its document is closed; shown again, it holds another one.
constexpr char kTurboDocumentProperty[] = "isTurboDocument";

bool isTurboDocumentPage(const KZelvaSubPage *page)
{
    return qobject_cast<const KZelvaQozSubPage *>(page) && page->property(kTurboDocumentProperty).toBool();
}

QString currentPid()
{
    return QString::number(QCoreApplication::applicationPid());
}

} // namespace

KZelvaWorkArea::KZelvaWorkArea(IKZelvaWorkAreaOwner *manager, KZelvaWorkAreaStore *store, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_store(store)
    , m_activationBlocker(new KZelvaWorkareaBlocker(this))
    , m_saveBlocker(new KZelvaWorkareaBlocker(this))
    , m_ability(new KZelvaWorkAreaAbility(this))
{
}

KZelvaWorkArea::~KZelvaWorkArea()
{
    // Items and document copies are parented to the manager; they go with
    // their work area.
    qDeleteAll(m_items);
    qDeleteAll(m_copies);
}

int KZelvaWorkArea::subPageControlType()
{
    static const int type = KZelvaMultiControlBool::registerControlType(QStringLiteral("workareaSubPage"));
    return type;
}

bool KZelvaWorkArea::isExcludedPageType(int pageType)
{
    switch (pageType) {
    case KZelvaPluginWidget::StartPage:
    case KZelvaPluginWidget::ImageViewer:
    case KZelvaPluginWidget::SettingsPage:
    case KZelvaPluginWidget::AppCenter:
    case KZelvaPluginWidget::PluginPage:
    case KZelvaPluginWidget::ProxyPage:
    case KZelvaPluginWidget::CloudPanel: return true;
    default: return false;
    }
}

bool KZelvaWorkArea::isDocumentPageType(int pageType)
{
    switch (pageType) {
    case KZelvaPluginWidget::QozDocument:
    case KZelvaPluginWidget::SheetDocument:
    case KZelvaPluginWidget::SlideDocument:
    case KZelvaPluginWidget::PdfDocument: return true;
    default: return false;
    }
}

void KZelvaWorkArea::setData(const KZelvaWorkAreaData &data)
{
    if (data == m_data)
        return;
    m_data = data;
    announceDirty();
}

void KZelvaWorkArea::setResidual(bool residual, const QString &residualId)
{
    m_residual = residual;
    m_residualId = residualId;
}

KZelvaMainWindow *KZelvaWorkArea::window() const
{
    return m_window;
}

KZelvaWorkAreas *KZelvaWorkArea::owner() const
{
    return m_owner;
}

void KZelvaWorkArea::setOwner(KZelvaWorkAreas *owner)
{
    m_owner = owner;
}

void KZelvaWorkArea::attachToWindow(KZelvaMainWindow *window)
{
    if (m_window) {
        disconnect(m_window->tabBar(), nullptr, this, nullptr);
        disconnect(m_window->centralArea(), nullptr, this, nullptr);
        disconnect(m_window, nullptr, this, nullptr);
    }
    m_window = window;
    if (!window)
        return;
    KZelvaTabBar *bar = window->tabBar();
    KZelvaCentralArea *area = window->centralArea();
    connect(bar, &KZelvaTabBar::currentTabChanged, this, &KZelvaWorkArea::onTabActiveChanged);
    connect(area, &KZelvaCentralArea::subPageAdded, this, &KZelvaWorkArea::onSubPageAddedBefore,
            Qt::DirectConnection);
    connect(area, &KZelvaCentralArea::subPageAdded, this, &KZelvaWorkArea::onSubPageAdded,
            Qt::QueuedConnection);
    connect(area, &KZelvaCentralArea::subPageRemoved, this, &KZelvaWorkArea::onSubPageRemoved);
    connect(area, &KZelvaCentralArea::subPageActivated, this, &KZelvaWorkArea::onSubPageActivated);
    connect(bar, &KZelvaTabBar::tabMoveFinished, this, &KZelvaWorkArea::onTabMoveFinished);
    connect(bar, &KZelvaTabBar::tabLockChanged, this, &KZelvaWorkArea::onTabLockChanged);
    connect(window, &QObject::destroyed, this, &KZelvaWorkArea::onMainWindowDestroyed);
}

void KZelvaWorkArea::setVisible(bool visible)
{
    const bool changed = visible != m_visible;
    if (visible)
        show();
    else if (m_visible)
        hide();
    // What is shown is what a crash recovery brings back: the stored
    // "lastVisible" follows every change, in the record's next merged write.
    if (changed && !m_saveBlocker->isBlocked() && (m_ready || m_residual))
        requestWrite();
}

void KZelvaWorkArea::hide()
{
    m_visible = false;
    if (m_window) {
        const int type = subPageControlType();
        for (KZelvaWorkAreaItem *item : qAsConst(m_items)) {
            if (KZelvaSubPage *page = item->subPage())
                page->setVisible(type, false);
        }
    }
    if (m_manager->readSaveActivedWorkArea())
        return;
    announceDirty();
}

void KZelvaWorkArea::show()
{
    KZelvaWorkareaBlocker::Hold hold(m_saveBlocker);
    m_visible = true;
    if (m_data.pid != currentPid()) {
        m_data.pid = currentPid();
        announceDirty();
    }
    const int type = subPageControlType();
    for (KZelvaWorkAreaItem *item : qAsConst(m_items)) {
        if (KZelvaSubPage *page = item->subPage())
            page->setVisible(type, true);
    }
    if (m_mode == 1)
        fillDocumentCopies();
    adoptPagesWithoutItem();
}

void KZelvaWorkArea::adoptPagesWithoutItem()
{
    if (!m_window)
        return;
    const QList<KZelvaSubPage *> pages = m_window->centralArea()->subPages();
    for (KZelvaSubPage *page : pages) {
        if (!page->getWorkAreaItemId().isEmpty() || !qobject_cast<KZelvaQozSubPage *>(page)
            || isExcludedPageType(page->pageType()))
            continue;
        createItemForPage(page);
        connect(page, &KZelvaSubPage::visibleChanged, this, &KZelvaWorkArea::onSubPageVisibleChanged,
                Qt::UniqueConnection);
    }
}

void KZelvaWorkArea::connectItem(KZelvaWorkAreaItem *item)
{
    connect(item, &KZelvaWorkAreaItem::queryDestroy, this, &KZelvaWorkArea::onItemQueryDestroy,
            Qt::UniqueConnection);
    connect(item, &KZelvaWorkAreaItem::delayUpdateCacheFinished, this,
            &KZelvaWorkArea::onItemDelayUpdateCachedFinished, Qt::UniqueConnection);
}

KZelvaWorkAreaItem *KZelvaWorkArea::createItemForPage(KZelvaSubPage *page)
{
    auto *item = new KZelvaWorkAreaItem(m_manager);
    connectItem(item);
    item->attach(page);
    const QString id = KZelvaWorkAreaIdGenerator::newId();
    page->setWorkAreaItemId(id);
    KZelvaWorkAreaRecoverItem record;
    record.id = id;
    record.pageType = page->pageType();
    record.title = page->windowTitle();
    item->setRecord(record);
    item->setWaitingForPage(true);
    item->postDeferredRefresh();
    addItem(item);
    // The tab became current before it had an item id; it is the active one.
    if (m_visible && page->getTab() && page->getTab()->isChecked())
        setActiveItem(id, page->windowTitle());
    m_manager->removeFromWindowResidualList(m_window, id);
    return item;
}

void KZelvaWorkArea::addItem(KZelvaWorkAreaItem *item, bool restoring)
{
    if (!item)
        return;
    if (!m_residual) {
        KZelvaWorkAreaRecoverItem record = item->record();
        if (record.extMap.remove(QStringLiteral("lastClosedDateTime"))
            + record.extMap.remove(QStringLiteral("isResidual")))
            item->setRecord(record);
    }
    const QString id = item->effectiveId();
    m_items.insert(id, item);
    item->setWorkArea(this);
    connect(item, &KZelvaWorkAreaItem::activated, this, &KZelvaWorkArea::onItemActivated,
            Qt::UniqueConnection);
    connect(item, &KZelvaWorkAreaItem::beforeActivate, this, &KZelvaWorkArea::onItemBeforeActivate,
            Qt::UniqueConnection);
    connect(item, &KZelvaWorkAreaItem::persistCache, this, &KZelvaWorkArea::onSyncWorkArea,
            Qt::UniqueConnection);
    if (!restoring) {
        m_skippedIds.removeAll(id);
        if (!id.isEmpty() && item->record().pageType != -1)
            announceDirty();
    } else if (!m_restoredIds.contains(id)) {
        m_restoredIds.append(id);
    }
}

KZelvaWorkAreaItem *KZelvaWorkArea::takeItem(const QString &id)
{
    KZelvaWorkAreaItem *item = m_items.take(id);
    if (item) {
        disconnect(item, nullptr, this, nullptr);
        item->setWorkArea(nullptr);
        if (!m_removedIds.contains(id))
            m_removedIds.append(id);
    }
    return item;
}

KZelvaWorkAreaItem *KZelvaWorkArea::findItem(const QString &id) const
{
    return m_items.value(id);
}

QList<KZelvaWorkAreaItem *> KZelvaWorkArea::items() const
{
    QList<KZelvaWorkAreaItem *> result = m_items.values();
    // Tab positions are looked up once: a window may hold thousands of tabs.
    QHash<const KZelvaTab *, int> tabIndex;
    if (m_window) {
        const QList<KZelvaTab *> tabs = m_window->tabBar()->tabs();
        tabIndex.reserve(tabs.size());
        for (int i = 0; i < tabs.size(); ++i)
            tabIndex.insert(tabs.at(i), i);
    }
    const auto position = [&tabIndex](KZelvaWorkAreaItem *item) {
        KZelvaSubPage *page = item->subPage();
        const auto found = page ? tabIndex.constFind(page->getTab()) : tabIndex.constEnd();
        if (found != tabIndex.constEnd())
            return qint64(found.value());
        return (qint64(1) << 32) + item->record().tabIndex;
    };
    QVector<QPair<qint64, KZelvaWorkAreaItem *>> keyed;
    keyed.reserve(result.size());
    for (KZelvaWorkAreaItem *item : qAsConst(result))
        keyed.append({position(item), item});
    // Items without a tab at the same stored position go in id order, as a record lists them.
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : a.second->effectiveId() < b.second->effectiveId();
    });
    for (int i = 0; i < keyed.size(); ++i)
        result[i] = keyed.at(i).second;
    return result;
}

void KZelvaWorkArea::readItems(ISyncSettingsData *node)
{
    takeRecords(storedRecords(node, m_manager->isIndependentMode()));
}

void KZelvaWorkArea::takeStored(const KZelvaWorkAreaData &data, ISyncSettingsData *node)
{
    takeStoredRecords(data, storedRecords(node, m_manager->isIndependentMode()));
}

void KZelvaWorkArea::takeStoredRecords(const KZelvaWorkAreaData &data,
                                       const QVector<KZelvaWorkAreaRecoverItem> &records)
{
    KZelvaWorkareaBlocker::Hold hold(m_saveBlocker);
    m_data = data;
    QSet<QString> stored;
    for (const KZelvaWorkAreaRecoverItem &record : records)
        stored.insert(record.id);
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (stored.contains(it.key())) {
            ++it;
            continue;
        }
        KZelvaWorkAreaItem *item = it.value();
        it = m_items.erase(it);
        disconnect(item, nullptr, this, nullptr);
        delete item;
    }
    takeRecords(records);
    Q_EMIT dataChanged();
}

QList<KZelvaWorkArea *> KZelvaWorkArea::living(const QHash<QString, QPointer<KZelvaWorkArea>> &byId)
{
    QList<KZelvaWorkArea *> result;
    result.reserve(byId.size());
    for (const QPointer<KZelvaWorkArea> &workArea : byId) {
        if (workArea)
            result.append(workArea);
    }
    return result;
}

QVector<KZelvaWorkAreaRecoverItem> KZelvaWorkArea::storedRecords(ISyncSettingsData *node, bool independentMode)
{
    return KZelvaWorkAreaSerializer::readItems(node, independentMode);
}

void KZelvaWorkArea::takeRecords(const QVector<KZelvaWorkAreaRecoverItem> &records)
{
    for (const KZelvaWorkAreaRecoverItem &record : records) {
        if (KZelvaWorkAreaItem *existing = findItem(record.id)) {
            existing->setRecord(record);
            continue;
        }
        auto *item = new KZelvaWorkAreaItem(m_manager);
        item->setRecord(record);
        connectItem(item);
        addItem(item, true);
    }
}

void KZelvaWorkArea::setActiveItem(const QString &id, const QString &name)
{
    bool changed = false;
    if (m_data.activeItemId != id) {
        m_data.activeItemId = id;
        changed = true;
    }
    if (m_data.activeItemName != name) {
        m_data.activeItemName = name;
        changed = true;
    }
    if (changed)
        requestSave();
}

void KZelvaWorkArea::announceDirty()
{
    if (m_saveBlocker->isBlocked() || !(m_ready || m_residual))
        return;
    onDirtyStatus(false, true);
    if (!m_dirtyAnnounced) {
        m_dirtyAnnounced = true;
        Q_EMIT dirtyStatusChanged();
    }
}

void KZelvaWorkArea::onDirtyStatus(bool, bool dirty)
{
    if (!dirty)
        return;
    requestWrite();
}

void KZelvaWorkArea::requestWrite()
{
    // A residual work area's record is written by the residual records.
    if (m_residual)
        return;
    if (m_data.isDefault && m_items.isEmpty() && m_data.deviceType == KZelvaWorkAreaDefaultName::pcDeviceType())
        return;
    m_store->requestSave(this);
}

bool KZelvaWorkArea::hasPendingSave() const
{
    return m_store->hasPendingSave(this);
}

void KZelvaWorkArea::onDirtyStatusStartAction()
{
    save();
    Q_EMIT dataChanged();
}

bool KZelvaWorkArea::save()
{
    const bool written = write();
    if (written)
        m_store->flush();
    return written;
}

bool KZelvaWorkArea::write()
{
    if (m_residual)
        return false;
    ISyncSettingsData *node = m_store->workAreaSettings();
    KZelvaWorkAreaStoreState state;
    state.data = m_data;
    state.visible = m_visible;
    state.residual = m_residual;
    state.residualId = m_residualId;
    state.removedIds = m_removedIds;
    state.keptIds = m_keptIds;
    state.restoredIds = m_restoredIds;
    state.generation = m_store->writeGeneration();
    QStringList neverWritten;
    for (KZelvaWorkAreaItem *item : qAsConst(m_items)) {
        // Its ability forbids writing it at all (an OLE document): a sub-group
        // written before it said so goes too.
        if (!item->ability()->isSaveEnabled()) {
            neverWritten.append(item->effectiveId());
            state.removedIds.append(item->effectiveId());
            continue;
        }
        KZelvaWorkAreaStoreState::Item entry;
        entry.record = item->record();
        entry.groupId = item->effectiveId();
        entry.waitingForPage = item->isWaitingForPage();
        entry.saveFlag = item->saveFlag();
        entry.written = item->written();
        state.items.append(entry);
    }
    KZelvaWorkAreaSerializer::Options options;
    options.residualSettingSaveEnabled = KZelvaPersistConfig::residualSettingSaveEnabled();
    options.residualItemDeleteEnabled = KZelvaPersistConfig::residualItemDeleteEnabled();
    const bool written = KZelvaWorkAreaSerializer::Serialize(node, &state, options);
    if (written) {
        m_storedVisible = m_visible;
        m_data.lastRunDateTime = state.data.lastRunDateTime;
        m_removedIds = state.removedIds;
        m_keptIds = state.keptIds;
        m_restoredIds = state.restoredIds;
        m_skippedIds = state.skippedIds + neverWritten;
    }
    return written;
}

void KZelvaWorkArea::refreshCache()
{
    if (!m_window || !m_window->centralArea() || !m_visible)
        return;
    for (KZelvaWorkAreaItem *item : qAsConst(m_items))
        item->refresh();
}

void KZelvaWorkArea::fillDocumentCopies()
{
    if (!m_data.id.isEmpty() && m_dataCopy.id.isEmpty())
        m_dataCopy = m_data;
    if (m_items.isEmpty() || !m_copies.isEmpty())
        return;
    for (KZelvaWorkAreaItem *item : qAsConst(m_items)) {
        if (!isDocumentPageType(item->record().pageType))
            continue;
        auto *copy = new KZelvaWorkAreaItem(m_manager);
        copy->setRecord(item->record());
        const QString key = item->subPage() ? item->subPage()->getWorkAreaItemId() : item->record().id;
        delete m_copies.value(key);
        m_copies.insert(key, copy);
    }
}

void KZelvaWorkArea::onTabActiveChanged(KZelvaTab *tab)
{
    if (!m_window || m_window->isClosing() || !m_visible || !tab || !tab->subPage())
        return;
    KZelvaSubPage *page = tab->subPage();
    if (m_data.activeItemId != page->getWorkAreaItemId())
        m_data.activeItemId = page->getWorkAreaItemId();
    if (m_data.activeItemName != page->windowTitle())
        m_data.activeItemName = page->windowTitle();
}

void KZelvaWorkArea::onTabMoveFinished(KZelvaTab *)
{
}

void KZelvaWorkArea::onTabLockChanged(KZelvaTab *tab, bool locked)
{
    if (!tab || !tab->subPage())
        return;
    if (!locked && m_visible && !m_residual && m_manager->isTabManagerPanelEnabled()) {
        KZelvaSubPage *page = tab->subPage();
        KZelvaWorkAreaRecoverItem record;
        if (page->getRecoverItem(&record) && !record.id.isEmpty() && !findItem(record.id)) {
            auto *item = new KZelvaWorkAreaItem(m_manager);
            item->setRecord(record);
            connectItem(item);
            item->attach(page);
            addItem(item);
        }
    }
    refreshCache();
    announceDirty();
}

void KZelvaWorkArea::onMainWindowDestroyed(QObject *)
{
}

void KZelvaWorkArea::onSubPageAddedBefore(KZelvaSubPage *page)
{
    m_pendingPages.append(page);
}

void KZelvaWorkArea::onSubPageAdded(KZelvaSubPage *page)
{
    // The page may have been removed (and deleted) before this queued call.
    bool pending = false;
    for (int i = m_pendingPages.size() - 1; i >= 0; --i) {
        if (!m_pendingPages.at(i)) {
            m_pendingPages.removeAt(i);
        } else if (m_pendingPages.at(i).data() == page) {
            m_pendingPages.removeAt(i);
            pending = true;
        }
    }
    if (!pending)
        return;
    KZelvaWorkAreaManagerProxy::setManualRecoverDone(true);
    if (!m_visible || isExcludedPageType(page->pageType()))
        return;
    if (!page->isVisibleByControl() || isTurboDocumentPage(page))
        connect(page, &KZelvaSubPage::visibleChanged, this, &KZelvaWorkArea::onSubPageVisibleChanged,
                Qt::UniqueConnection);
    if (page->getWorkAreaItemId().isEmpty()) {
        createItemForPage(page);
        return;
    }
    KZelvaWorkAreaItem *item = findItem(page->getWorkAreaItemId());
    if (!item) {
        item = new KZelvaWorkAreaItem(m_manager);
        KZelvaWorkAreaRecoverItem record;
        record.id = page->getWorkAreaItemId();
        record.pageType = page->pageType();
        item->setRecord(record);
        connectItem(item);
        item->attach(page);
        addItem(item);
        item->postDeferredRefresh();
    } else {
        item->attach(page);
    }
    m_manager->removeFromWindowResidualList(m_window, item->effectiveId());
}

void KZelvaWorkArea::onSubPageVisibleChanged(bool visible)
{
    auto *page = qobject_cast<KZelvaSubPage *>(sender());
    if (!page)
        return;
    const bool turbo = isTurboDocumentPage(page);
    if (!visible) {
        // Hidden by the host, not by a switch: its document was closed and the
        // page waits for the next one, which becomes a new item.
        if (turbo && page->isVisibleByControl(subPageControlType()) && findItem(page->getWorkAreaItemId())) {
            removePage(page);
            page->setWorkAreaItemId(QString());
        }
        return;
    }
    if (!m_visible)
        return;
    if (page->getWorkAreaItemId().isEmpty() && !isExcludedPageType(page->pageType()))
        createItemForPage(page);
    if (!turbo)
        disconnect(page, &KZelvaSubPage::visibleChanged, this, &KZelvaWorkArea::onSubPageVisibleChanged);
}

void KZelvaWorkArea::onSubPageRemoved(KZelvaSubPage *page)
{
    removePage(page);
}

void KZelvaWorkArea::forgetPendingPage(KZelvaSubPage *page)
{
    for (int i = m_pendingPages.size() - 1; i >= 0; --i) {
        if (!m_pendingPages.at(i) || m_pendingPages.at(i).data() == page)
            m_pendingPages.removeAt(i);
    }
}

void KZelvaWorkArea::removePage(KZelvaSubPage *page)
{
    forgetPendingPage(page);
    if (!page || m_manager->isSettingsChangeRunning())
        return;
    const QString id = page->getWorkAreaItemId();
    KZelvaWorkAreaItem *item = id.isEmpty() ? nullptr : takeItem(id);
    if (!item) {
        if (page->isRelativeTabLocked())
            m_manager->keepFixedItem(m_window, page);
        return;
    }
    m_manager->keepRemovedItem(id, item);
    announceDirty();
}

void KZelvaWorkArea::onSubPageActivated(KZelvaSubPage *page)
{
    if (!m_window || m_window->isClosing() || m_activationBlocker->isBlocked() || !page)
        return;
    if (m_visible && isExcludedPageType(page->pageType())) {
        setActiveItem(QString(), page->windowTitle());
    } else if (page->isRelativeTabLocked() && findItem(page->getWorkAreaItemId())) {
        page->setProperty("lastAccessTime", QDateTime::currentMSecsSinceEpoch());
    }
}

void KZelvaWorkArea::onItemActivated(KZelvaWorkAreaItem *item)
{
    followItemActivation(item);
}

void KZelvaWorkArea::onItemBeforeActivate(KZelvaWorkAreaItem *item)
{
    followItemActivation(item);
}

void KZelvaWorkArea::followItemActivation(KZelvaWorkAreaItem *item)
{
    if (!item)
        return;
    if (!m_visible || !m_window) {
        if (!m_ability->isItemActivationSwitchEnabled() || m_residual)
            return;
        if (!m_owner) {
            KZelvaMainWindow *window = findRelativeZelvaMainWindow(item->subPage());
            KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
            if (areas)
                areas->addWorkArea(this);
        }
        if (m_owner) {
            KZelvaWorkareaBlocker::Hold hold(m_activationBlocker);
            m_owner->setCurrentWorkArea(this, false, true);
        }
        return;
    }
    if (KZelvaSubPage *page = item->subPage())
        setActiveItem(page->getWorkAreaItemId(), page->windowTitle());
    item->setLastActivationTime(QDateTime::currentMSecsSinceEpoch());
}

void KZelvaWorkArea::onItemQueryDestroy(const QString &id)
{
    KZelvaWorkAreaItem *item = m_items.value(id);
    if (!item) {
        // The page is gone, so the item's effective id fell back to its record id.
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if (it.value() == sender()) {
                item = it.value();
                break;
            }
        }
    }
    if (!item)
        return;
    takeItem(m_items.key(item));
    item->deleteLater();
    announceDirty();
}

void KZelvaWorkArea::onItemDelayUpdateCachedFinished(const QString &id)
{
    if (KZelvaWorkAreaItem *item = findItem(id))
        item->refresh();
    announceDirty();
}

void KZelvaWorkArea::onSyncWorkArea()
{
    announceDirty();
}

bool KZelvaWorkArea::event(QEvent *event)
{
    const int type = int(event->type());
    if (type == QueryCloseEvent) {
        KZelvaDoCloseLogHelper::beforeQueryCloseEvent(this);
        handleQueryClose();
        KZelvaDoCloseLogHelper::afterQueryCloseEvent(this);
    } else if (type == DoCloseEvent) {
        KZelvaDoCloseLogHelper::beforeDoCloseEvent(this);
        handleDoClose();
        KZelvaDoCloseLogHelper::afterDoCloseEvent(this);
    }
    return QObject::event(event);
}

void KZelvaWorkArea::handleQueryClose()
{
    if (!m_data.isNewCreate || m_data.isDefault || m_markedClosed) {
        refreshCache();
        announceDirty();
        save();
        auto *app = qobject_cast<KCoreApplication *>(QCoreApplication::instance());
        if (app && !m_residual && app->isQuitting() && m_manager->autoRecoverDefaultWorkAreaFlag() && m_window
            && m_window->isClosing())
            m_closedWithWindow = true;
        return;
    }
    m_markedClosed = true;
}

void KZelvaWorkArea::handleDoClose()
{
    if (!property("closeHandlerAbort").toBool() && m_owner)
        m_owner->removeWorkArea(this);
    Q_EMIT docloseFinished();
}
