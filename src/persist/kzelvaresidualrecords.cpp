// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaresidualrecords.h"

#include "ikzelvaresidualworkareas.h"
#include "kresidualcfghelperasynctask.h"
#include "kzelvapersistconfig.h"
#include "kzelvaresidualrules.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaserializer.h"
#include "kzelvaworkareasettingswrapper.h"

#include <isyncsettingsdata.h>
#include <kaccountsdkproxy.h>
#include <kdcinfo.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>
#include <kthreadtaskposter.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonObject>
#include <QUuid>

const QLatin1String KZelvaResidualRecords::DefaultId("default");

namespace {

constexpr char kWindowIndexGroup[] = "windowResidualList";
constexpr char kOptimizeTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
constexpr int kOptimizeIntervalSecs = 3600;
// Another process may have written a record and not listed it yet.
constexpr int kMinimumFileAgeSecs = 60;

} // namespace

void KZelvaResidualRecords::stampClosed(KZelvaWorkAreaRecoverItem *item, const QString &relativeWorkAreaId, qint64 nowMs)
{
    item->extMap.insert(QStringLiteral("lastClosedDateTime"), nowMs);
    item->extMap.insert(QStringLiteral("isResidual"), true);
    if (!relativeWorkAreaId.isEmpty())
        item->extMap.insert(QStringLiteral("relativeWorkAreaId"), relativeWorkAreaId);
    const QString cloudId = KZelvaResidualRules::cloudFileId(*item);
    if (!cloudId.isEmpty())
        item->extMap.insert(QStringLiteral("recoverFileId"), cloudId);
}

namespace {

bool fileExists(const QString &path)
{
    return QFileInfo::exists(path);
}

void logRemoved(const char *slot, const QStringList &removed)
{
    writeLog(0, QStringLiteral("%1, removed listResidualuid: %2").arg(QLatin1String(slot), removed.join(QLatin1Char(','))));
}

int indexOfItem(const QVector<KZelvaWorkAreaRecoverItem> &items, const QString &id)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).id == id)
            return i;
    }
    return -1;
}

} // namespace

KZelvaResidualRecords::KZelvaResidualRecords(KZelvaWorkAreaSettingsWrapper *wrapper, QObject *parent)
    : QObject(parent)
    , m_wrapper(wrapper)
{
}

KZelvaResidualRecords::~KZelvaResidualRecords()
{
    waitForTasks();
    qDeleteAll(m_tasks);
}

QString KZelvaResidualRecords::storageUser() const
{
    return KZelvaWorkAreaSettingsWrapper::storageUser(m_wrapper ? m_wrapper->residualUserId() : QString());
}

KSyncSettings *KZelvaResidualRecords::settingsFor(const QString &residualId)
{
    if (!m_wrapper || residualId.isEmpty())
        return nullptr;
    return m_wrapper->residualSettings(residualId, false);
}

ISyncSettingsData *KZelvaResidualRecords::rootOf(KSyncSettings *settings) const
{
    return settings ? KZelvaWorkAreaSettingsWrapper::rewound(settings->data()) : nullptr;
}

bool KZelvaResidualRecords::readRecord(const QString &residualId, KZelvaWorkAreaData *data,
                                       QVector<KZelvaWorkAreaRecoverItem> *items)
{
    ISyncSettingsData *root = rootOf(settingsFor(residualId));
    if (!root || !root->childGroups().contains(residualId))
        return false;
    root->beginGroup(residualId);
    if (data) {
        KZelvaWorkAreaSerializer::UnSerialize(root, data);
        data->id = root->value(QStringLiteral("id"));
    }
    if (items)
        *items = KZelvaWorkAreaSerializer::readItems(root, false);
    root->endGroup();
    return true;
}

bool KZelvaResidualRecords::writeRecord(const QString &residualId, const KZelvaWorkAreaData &data,
                                        const QVector<KZelvaWorkAreaRecoverItem> &items,
                                        const QStringList &removedIds, bool flush)
{
    KSyncSettings *settings = settingsFor(residualId);
    ISyncSettingsData *root = rootOf(settings);
    if (!root) {
        writeLog(2, QStringLiteral("%1, residualId: %2 has no settings, not written")
                        .arg(QStringLiteral("writeRecord"), residualId));
        return false;
    }
    KZelvaWorkAreaStoreState state;
    state.data = data;
    state.residual = true;
    state.residualId = residualId;
    state.removedIds = removedIds;
    for (const KZelvaWorkAreaRecoverItem &item : items) {
        KZelvaWorkAreaStoreState::Item entry;
        entry.record = item;
        entry.groupId = item.id;
        state.items.append(entry);
    }
    KZelvaWorkAreaSerializer::Options options;
    options.residualSettingSaveEnabled = KZelvaPersistConfig::residualSettingSaveEnabled();
    options.residualItemDeleteEnabled = KZelvaPersistConfig::residualItemDeleteEnabled();
    const bool written = KZelvaWorkAreaSerializer::Serialize(root, &state, options, [settings, flush] {
        if (flush)
            settings->flush();
    });
    if (written)
        Q_EMIT residualChanged(residualId);
    return written;
}

QStringList KZelvaResidualRecords::windowResidualIds()
{
    QStringList ids;
    ISyncSettingsData *root = rootOf(settingsFor(QStringLiteral("residual")));
    if (!root)
        return ids;
    root->beginGroup(QLatin1String(kWindowIndexGroup));
    QVector<QPair<qint64, QString>> entries;
    const QStringList keys = root->childKeys();
    for (const QString &key : keys) {
        if (!QUuid(key).isNull())
            entries.append({root->value(key).toLongLong(), key});
    }
    root->endGroup();
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (const auto &entry : qAsConst(entries))
        ids.append(entry.second);
    return ids;
}

void KZelvaResidualRecords::addToWindowIndex(const QString &residualId, qint64 closedMs)
{
    KSyncSettings *settings = settingsFor(QStringLiteral("residual"));
    ISyncSettingsData *root = rootOf(settings);
    if (!root)
        return;
    root->beginGroup(QLatin1String(kWindowIndexGroup));
    root->setValue(residualId, QString::number(closedMs));
    root->endGroup();
    settings->flush();
}

void KZelvaResidualRecords::removeFromWindowIndex(const QString &residualId)
{
    KSyncSettings *settings = settingsFor(QStringLiteral("residual"));
    ISyncSettingsData *root = rootOf(settings);
    if (!root)
        return;
    root->beginGroup(QLatin1String(kWindowIndexGroup));
    const bool had = root->contains(residualId);
    root->remove(residualId);
    root->endGroup();
    if (had)
        settings->flush();
}

QString KZelvaResidualRecords::saveWindowResidualCfgFile(const QString &residualId,
                                                         const KZelvaWorkAreaData &liveWorkArea,
                                                         const QVector<KZelvaWorkAreaRecoverItem> &items)
{
    const QString name = QStringLiteral("saveWindowResidualCfgFile");
    if (!KZelvaPersistConfig::residualSettingSaveEnabled() || items.isEmpty())
        return QString();
    const QString id = residualId.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : residualId;
    writeLog(0, QStringLiteral("%1, oldUuid: %2, residualUuid: %3").arg(name, liveWorkArea.id, id));

    KZelvaWorkAreaData data = liveWorkArea;
    QVector<KZelvaWorkAreaRecoverItem> merged;
    KZelvaWorkAreaData stored;
    if (readRecord(id, &stored, &merged) && !stored.id.isEmpty())
        data.id = stored.id;
    for (const KZelvaWorkAreaRecoverItem &item : items) {
        const int at = indexOfItem(merged, item.id);
        if (at >= 0)
            merged[at] = item;
        else
            merged.append(item);
    }
    if (!writeRecord(id, data, merged, {}, true))
        return QString();
    if (residualId.isEmpty()) {
        addToWindowIndex(id, QDateTime::currentMSecsSinceEpoch());
        trimWindowRecords();
    }
    removeInvalidResidualItems(id);
    return id;
}

void KZelvaResidualRecords::trimWindowRecords()
{
    const int max = KZelvaPersistConfig::maxWindowResidualVisibilityNum();
    const QStringList ids = windowResidualIds();
    if (max <= 0 || ids.size() <= max)
        return;
    for (int i = max; i < ids.size(); ++i)
        removeWindowResidualSettingData(ids.at(i));
    cleanInvalidWindowResidualCfgFile(windowResidualIds() << DefaultId, KResidualCfgHelperAsyncTask::RemoveUnlisted);
}

bool KZelvaResidualRecords::addWorkAreaFixedResidualItem(const QString &residualId, KZelvaWorkAreaRecoverItem item,
                                                         const QString &relativeWorkAreaId, int closeMode)
{
    const QString name = QStringLiteral("addWorkAreaFixedResidualItem");
    if (!KZelvaResidualRules::isSavedCloseMode(closeMode)) {
        writeLog(0, QStringLiteral("%1 closeMode: %2 not support save fixedResidualItem").arg(name).arg(closeMode));
        return false;
    }
    if (item.id.isEmpty())
        return false;
    const QString target = residualId.isEmpty() ? QString(DefaultId) : residualId;
    stampClosed(&item, relativeWorkAreaId, QDateTime::currentMSecsSinceEpoch());

    KZelvaWorkAreaData data;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!readRecord(target, &data, &items) || data.id.isEmpty()) {
        data = KZelvaWorkAreaData();
        data.id = target;
        data.name = target;
        data.createDateTime = quint32(QDateTime::currentSecsSinceEpoch());
    }
    const int at = indexOfItem(items, item.id);
    if (at >= 0) {
        writeLog(0, QStringLiteral("%1, includedResidualItem, uid: %2").arg(name, item.id));
        items[at] = item;
    } else {
        writeLog(0, QStringLiteral("%1 addResidualItem uid: %2").arg(name, item.id));
        items.append(item);
    }
    if (!KZelvaPersistConfig::residualSettingSaveEnabled())
        return true;
    if (!writeRecord(target, data, items, {}, true))
        return false;
    removeInvalidResidualItems(target);
    return true;
}

bool KZelvaResidualRecords::updateWindowResidualItemInfo(const QString &residualId,
                                                         const KZelvaWorkAreaRecoverItem &item)
{
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!readRecord(residualId, nullptr, &items))
        return false;
    const int at = indexOfItem(items, item.id);
    if (at < 0)
        return false;
    // The closing stamps stay; what the tab reports now replaces the rest.
    KZelvaWorkAreaRecoverItem updated = item;
    for (const char *key : {"lastClosedDateTime", "isResidual", "relativeWorkAreaId"}) {
        const QString k = QLatin1String(key);
        if (items.at(at).extMap.contains(k))
            updated.extMap.insert(k, items.at(at).extMap.value(k));
    }
    return syncUpdateResidualWorkAreaItem(residualId, updated);
}

bool KZelvaResidualRecords::syncUpdateResidualWorkAreaItem(const QString &residualId,
                                                           const KZelvaWorkAreaRecoverItem &item)
{
    KZelvaWorkAreaData data;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!readRecord(residualId, &data, &items))
        return false;
    const int at = indexOfItem(items, item.id);
    if (KZelvaResidualRules::isDocument(item) && !fileExists(item.filePath)) {
        writeLog(0, QStringLiteral("%1, residualList removeItem uuid: %2 titleName: %3, filePath: %4")
                        .arg(QStringLiteral("syncUpdateResidualWorkAreaItem"), item.id, item.title, item.filePath));
        return at >= 0 && removeResidualWorkAreaItems(residualId, {item.id}, true);
    }
    if (at >= 0)
        items[at] = item;
    else
        items.append(item);
    return writeRecord(residualId, data, items, {}, true);
}

bool KZelvaResidualRecords::removeResidualWorkAreaItems(const QString &residualId, const QStringList &itemIds,
                                                        bool flush)
{
    KZelvaWorkAreaData data;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (itemIds.isEmpty() || !readRecord(residualId, &data, &items))
        return false;
    QVector<KZelvaWorkAreaRecoverItem> kept;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
        if (!itemIds.contains(item.id))
            kept.append(item);
    }
    if (kept.size() == items.size())
        return false;
    return writeRecord(residualId, data, kept, itemIds, flush);
}

QString KZelvaResidualRecords::findRecordOf(const QString &workAreaId)
{
    if (workAreaId.isEmpty())
        return QString();
    QStringList ids = windowResidualIds();
    ids.prepend(DefaultId);
    if (ids.contains(workAreaId))
        return workAreaId;
    for (const QString &id : qAsConst(ids)) {
        KZelvaWorkAreaData data;
        if (readRecord(id, &data, nullptr) && data.id == workAreaId)
            return id;
    }
    return QString();
}

bool KZelvaResidualRecords::removeResidualItem(const QString &workAreaId, const QString &tagId, bool syncCfg)
{
    if (!KZelvaPersistConfig::residualItemDeleteEnabled()) {
        writeLog(2, QStringLiteral("%1 : residualItemDeleteEnabled is false").arg(QStringLiteral("removeResidualItem")));
        return false;
    }
    const QString residualId = findRecordOf(workAreaId);
    if (residualId.isEmpty() || tagId.isEmpty())
        return false;
    return removeResidualWorkAreaItems(residualId, {tagId}, syncCfg);
}

bool KZelvaResidualRecords::removeAllResidualItems(bool syncCfg)
{
    if (!KZelvaPersistConfig::residualItemDeleteEnabled()) {
        writeLog(2, QStringLiteral("%1 : residualItemDeleteEnabled is false").arg(QStringLiteral("removeAllResidualItems")));
        return false;
    }
    bool any = false;
    const QStringList windows = windowResidualIds();
    for (const QString &id : windows)
        any = removeWindowResidualSettingData(id) || any;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (readRecord(DefaultId, nullptr, &items)) {
        QStringList ids;
        for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items))
            ids.append(item.id);
        any = removeResidualWorkAreaItems(DefaultId, ids, syncCfg) || any;
    }
    return any;
}

bool KZelvaResidualRecords::removeResidualUidSetting(const QString &residualId)
{
    KSyncSettingsManager *manager = m_wrapper ? m_wrapper->settingsManager() : nullptr;
    if (!manager || residualId.isEmpty())
        return false;
    const bool removed = manager->removeUserSettings(storageUser(), residualId);
    m_wrapper->removeResidualSettings(false, residualId);
    deleteWindowResidualWorkArea(residualId);
    writeLog(0, QStringLiteral("%1, removeSettings finished, bRet: %2, strResidualId: %3")
                    .arg(QStringLiteral("removeResidualUidSetting"))
                    .arg(removed)
                    .arg(residualId));
    Q_EMIT residualChanged(residualId);
    return removed;
}

bool KZelvaResidualRecords::removeWindowResidualSettingData(const QString &residualId)
{
    if (residualId.isEmpty())
        return false;
    removeFromWindowIndex(residualId);
    return removeResidualUidSetting(residualId);
}

void KZelvaResidualRecords::deleteWindowResidualWorkArea(const QString &residualId)
{
    if (m_workAreas && !residualId.isEmpty())
        m_workAreas->deleteWindowResidualWorkArea(residualId);
}

int KZelvaResidualRecords::removeInvalidResidualItems(const QString &residualId)
{
    const QString name = QStringLiteral("removeInvalidResidualItems");
    if (!KZelvaPersistConfig::residualSettingSaveEnabled() || !KZelvaPersistConfig::residualItemOptimizeEnabled())
        return 0;
    if (m_workAreas && m_workAreas->residualWorkAreaMode(residualId) == 1) {
        writeLog(0, QStringLiteral("%1, residualId: %2 mode 1, not trimmed").arg(name, residualId));
        return 0;
    }
    ISyncSettingsData *root = rootOf(settingsFor(residualId));
    if (!root || root->size() < KZelvaPersistConfig::defaultOptimizeFileSize())
        return 0;
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime last = QDateTime::fromString(KZelvaPersistConfig::lastResidualOptimizeTime(),
                                                 QLatin1String(kOptimizeTimeFormat));
    if (last.isValid() && last.secsTo(now) >= 0 && last.secsTo(now) < kOptimizeIntervalSecs)
        return 0;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!readRecord(residualId, nullptr, &items))
        return 0;
    const int maxNum = KZelvaPersistConfig::maxResidualVisibilityNum();
    if (items.size() <= maxNum) {
        writeLog(0, QStringLiteral("%1, nItemCnt: %2, nMaxResidualNum: %3").arg(name).arg(items.size()).arg(maxNum));
        return 0;
    }
    KZelvaPersistConfig::setLastResidualOptimizeTime(now.toString(QLatin1String(kOptimizeTimeFormat)));
    const QStringList invalid = KZelvaResidualRules::invalidItemIds(
        items, maxNum, KZelvaPersistConfig::maxResidualDateTimeRange(), now.toMSecsSinceEpoch(), fileExists);
    getDcInfo()->postGeneralEvent(QStringLiteral("heels_residual_check_invalid"),
                                  {{QStringLiteral("total"), QString::number(items.size())},
                                   {QStringLiteral("invalid_num"), QString::number(invalid.size())}});
    if (invalid.isEmpty()) {
        writeLog(0, QStringLiteral("%1, residualId: %2 listItemId is empty").arg(name, residualId));
        return 0;
    }
    removeResidualWorkAreaItems(residualId, invalid, true);
    writeLog(0, QStringLiteral("%1, residualId: %2, removeResidualItem finished, totalCnt: %3, nInvalidCount: %4")
                    .arg(name, residualId)
                    .arg(items.size())
                    .arg(invalid.size()));
    return invalid.size();
}

int KZelvaResidualRecords::tryRemoveResidualCfgDuplicateData(const QString &residualId)
{
    if (!KZelvaPersistConfig::residualSettingSaveEnabled())
        return 0;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!readRecord(residualId, nullptr, &items) || items.isEmpty())
        return 0;
    const QStringList duplicates = KZelvaResidualRules::duplicateItemIds(items);
    if (duplicates.isEmpty())
        return 0;
    removeResidualWorkAreaItems(residualId, duplicates, true);
    return duplicates.size();
}

KThreadTaskPoster *KZelvaResidualRecords::poster()
{
    if (!m_poster)
        m_poster = new KThreadTaskPoster(this);
    return m_poster;
}

bool KZelvaResidualRecords::runTask(const QString &cfgFile, const QStringList &ids, int mode, const char *slot)
{
    if (cfgFile.isEmpty())
        return false;
    auto *task = new KResidualCfgHelperAsyncTask(poster(), cfgFile, ids, mode, this);
    task->setMinimumAge(kMinimumFileAgeSecs);
    connect(task, SIGNAL(sigRunComplete(QStringList)), this, slot);
    connect(task, &KResidualCfgHelperAsyncTask::sigRunComplete, task, &QObject::deleteLater);
    m_tasks.removeAll(nullptr);
    m_tasks.append(task);
    return task->start();
}

bool KZelvaResidualRecords::cleanInvalidWindowResidualCfgFile(const QStringList &ids, int mode)
{
    if (!KZelvaPersistConfig::residualSettingSaveEnabled())
        return false;
    if (QCoreApplication::closingDown()) {
        writeLog(0, QStringLiteral("%1, cleanInvalidWindowResidualCfgFile qApp->closingDown return")
                        .arg(QStringLiteral("runResidualCfgRemovedAsyncTask")));
        return false;
    }
    const QString file = m_wrapper ? m_wrapper->getResidualCfgFilePath(QStringLiteral("residual"), storageUser())
                                   : QString();
    return runTask(file, ids, mode, SLOT(onResidualRunComplete(QStringList)));
}

bool KZelvaResidualRecords::clearDefaultWindowResidualCfgFile()
{
    if (!KZelvaPersistConfig::residualItemDeleteEnabled())
        return false;
    if (QCoreApplication::closingDown()) {
        writeLog(0, QStringLiteral("%1, clearDefaultWindowResidualCfgFile qApp->closingDown return")
                        .arg(QStringLiteral("runDefaultResidualCfgClearAsyncTask")));
        return false;
    }
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->getAccountSDK() && !app->getAccountSDK()->isLogined())
        return false;
    // The open record is emptied first, so nothing writes it back.
    removeResidualUidSetting(DefaultId);
    const QString file = m_wrapper ? m_wrapper->getResidualCfgFilePath(DefaultId, storageUser()) : QString();
    return runTask(file, windowResidualIds(), KResidualCfgHelperAsyncTask::RemoveUnlisted,
                   SLOT(onDefaultResidualRunComplete(QStringList)));
}

void KZelvaResidualRecords::onResidualRunComplete(const QStringList &removed)
{
    logRemoved("onResidualRunComplete", removed);
}

void KZelvaResidualRecords::onDefaultResidualRunComplete(const QStringList &removed)
{
    logRemoved("onDefaultResidualRunComplete", removed);
}

void KZelvaResidualRecords::syncFlushWindowResidualSettings()
{
    if (m_wrapper)
        m_wrapper->syncFlushWindowResidualSettings();
}

void KZelvaResidualRecords::waitForTasks()
{
    if (m_poster)
        m_poster->waitForIdle();
}

void KZelvaResidualRecords::addWindowFixedItem(KZelvaMainWindow *window, const KZelvaWorkAreaRecoverItem &item)
{
    if (!window || item.id.isEmpty())
        return;
    if (!m_windowFixedItems.contains(window))
        connect(window, &QObject::destroyed, this, [this, window] { m_windowFixedItems.remove(window); });
    QVector<KZelvaWorkAreaRecoverItem> &items = m_windowFixedItems[window];
    const int at = indexOfItem(items, item.id);
    if (at >= 0)
        items[at] = item;
    else
        items.append(item);
}

QVector<KZelvaWorkAreaRecoverItem> KZelvaResidualRecords::windowFixedItems(KZelvaMainWindow *window) const
{
    return m_windowFixedItems.value(window);
}

void KZelvaResidualRecords::removeFromWindowList(KZelvaMainWindow *window, const QString &itemId)
{
    auto it = m_windowFixedItems.find(window);
    if (it == m_windowFixedItems.end())
        return;
    const int at = indexOfItem(*it, itemId);
    if (at >= 0)
        it->remove(at);
}

void KZelvaResidualRecords::forgetWindow(KZelvaMainWindow *window)
{
    m_windowFixedItems.remove(window);
}

QJsonArray KZelvaResidualRecords::residualList()
{
    QJsonArray list;
    QStringList ids = windowResidualIds();
    ids.prepend(DefaultId);
    for (const QString &id : qAsConst(ids)) {
        const QString file = m_wrapper ? m_wrapper->getResidualCfgFilePath(id, storageUser()) : QString();
        if (file.isEmpty() || !QFileInfo::exists(file)) {
            if (id != DefaultId)
                writeLog(2, QStringLiteral("%1, getResidualCfgFilePath file not exists strResidualId: %2, residualCfgFile: %3")
                                .arg(QStringLiteral("residualList"), id, file));
            continue;
        }
        KZelvaWorkAreaData data;
        QVector<KZelvaWorkAreaRecoverItem> items;
        if (!readRecord(id, &data, &items))
            continue;
        KZelvaResidualRules::sortNewestFirst(&items);
        QJsonArray itemList;
        for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
            itemList.append(QJsonObject{
                {QStringLiteral("id"), item.id},
                {QStringLiteral("title"), item.title},
                {QStringLiteral("filePath"), item.filePath},
                {QStringLiteral("pageType"), item.pageType},
                {QStringLiteral("suffix"), item.suffix},
                {QStringLiteral("lastClosedDateTime"), KZelvaResidualRules::closedTime(item)},
                {QStringLiteral("isResidual"), item.extMap.value(QStringLiteral("isResidual")).toBool()},
                {QStringLiteral("relativeWorkAreaId"), item.extMap.value(QStringLiteral("relativeWorkAreaId")).toString()}});
        }
        list.append(QJsonObject{{QStringLiteral("residualId"), id},
                                {QStringLiteral("workAreaId"), data.id},
                                {QStringLiteral("name"), data.name},
                                {QStringLiteral("lastRunDateTime"), qint64(data.lastRunDateTime)},
                                {QStringLiteral("items"), itemList}});
    }
    return list;
}
