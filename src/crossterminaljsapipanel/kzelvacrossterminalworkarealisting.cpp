// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalworkarealisting.h"

#include "kzelvacrossterminalpanelconfig.h"
#include "kzelvacrossterminalpanelrecords.h"
#include "kzelvacrossterminalresidualfilter.h"
#include "kzelvacrossterminaltabicon.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaresidualrules.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareasettingswrapper.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>

#include <QDateTime>
#include <QFileInfo>
#include <QMetaMethod>
#include <QSet>
#include <QUrl>
#include <QUuid>

#include <algorithm>

const QLatin1String KZelvaCrossTerminalWorkAreaListing::RefreshEventName("event.workarea.changedlistener");
const QLatin1String KZelvaCrossTerminalWorkAreaListing::FixedAreaId("fixedArea");

namespace {

using Records = KZelvaCrossTerminalPanelRecords;
using Items = QVector<KZelvaWorkAreaRecoverItem>;

const QLatin1String kListingFunction("generateWorkareaAndTagsJson");
// Where a merged residual entry is stored; only in the listing's copy.
const QLatin1String kSourceRecordKey("panelResidualRecordId");

bool noManager(KZelvaWorkAreaManager *manager)
{
    if (!manager)
        writeLog(1, QStringLiteral("%1 : KZelvaWorkAreaManager::instance() is nullptr").arg(kListingFunction));
    return !manager;
}

bool isShownInWindow(const KZelvaWorkArea *workArea)
{
    return workArea->window() && workArea->owner();
}

QList<KZelvaWorkArea *> shownWorkAreas(KZelvaWorkAreaManager *manager)
{
    QList<KZelvaWorkArea *> shown = manager->workAreas();
    shown.erase(std::remove_if(shown.begin(), shown.end(), [](KZelvaWorkArea *w) { return !isShownInWindow(w); }),
                shown.end());
    Records::sortWorkAreas(&shown);
    return shown;
}

// The host pages offer their extra details as invokable methods without
// arguments; a page type that lacks one simply gives nothing.
QVariant callPage(QObject *page, const char *name)
{
    const QMetaObject *meta = page->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.parameterCount() != 0 || method.name() != name)
            continue;
        const int type = method.returnType();
        if (type == QMetaType::Void || type == QMetaType::UnknownType)
            return QVariant();
        QVariant result(type, nullptr);
        const bool called = type == QMetaType::QVariant
            ? method.invoke(page, Qt::DirectConnection, Q_RETURN_ARG(QVariant, result))
            : method.invoke(page, Qt::DirectConnection, QGenericReturnArgument(method.typeName(), result.data()));
        return called ? result : QVariant();
    }
    return QVariant();
}

qint64 lastAccessTime(const KZelvaWorkAreaRecoverItem &record, const KZelvaSubPage *page)
{
    bool ok = false;
    qint64 ms = record.extMap.value(QStringLiteral("lastAccessTime")).toLongLong(&ok);
    if (!ok && page)
        ms = page->property("lastAccessTime").toLongLong(&ok);
    return ok ? ms : 0;
}

QString webSuffixOf(const KZelvaSubPage *page)
{
    return page ? page->property("webSuffix").toString() : QString();
}

// What makes two entries the same document: the cloud file id, or page type and path.
QStringList documentKeys(const KZelvaWorkAreaRecoverItem &item)
{
    QStringList keys;
    const QString cloudId = KZelvaResidualRules::cloudFileId(item);
    if (!cloudId.isEmpty())
        keys.append(QStringLiteral("cloud:") + cloudId);
    if (!item.filePath.isEmpty())
        keys.append(QString::number(item.pageType) + QLatin1Char(':') + item.filePath);
    return keys;
}

bool isResidualRecordId(const QString &id)
{
    return id == KZelvaResidualRecords::DefaultId || !QUuid(id).isNull();
}

} // namespace

QString KZelvaCrossTerminalWorkAreaListing::workAreaActivateItemId(KZelvaWorkAreaManager *manager,
                                                                   KZelvaMainWindow *window)
{
    const QLatin1String function("getWorkAreaActivateItemId");
    KZelvaWorkAreas *areas = manager && window ? manager->workAreasOf(window) : nullptr;
    if (!areas) {
        writeLog(1, QStringLiteral("%1, getWorkAreas is nullptr").arg(function));
        return QString();
    }
    KZelvaWorkArea *current = areas->currentWorkArea();
    if (!current) {
        writeLog(1, QStringLiteral("%1, getCurrentWorkArea is nullptr").arg(function));
        return QString();
    }
    return current->data().activeItemId;
}

void KZelvaCrossTerminalWorkAreaListing::addPageDetails(KZelvaSubPage *page, QJsonObject *tag)
{
    const int type = page->pageType();
    if (type == KZelvaPluginWidget::WebPage) {
        const QString site = callPage(page, "getCurrentUrl").toUrl().host();
        if (!site.isEmpty())
            tag->insert(QStringLiteral("site"), site);
    } else if (KZelvaResidualRules::isDocumentWidgetType(type)) {
        const QString fileType = callPage(page, "getPageTabFileType").toMap().value(QStringLiteral("fileType")).toString();
        if (!fileType.isEmpty())
            tag->insert(QStringLiteral("fileType"), fileType);
    }
    if (KZelvaCrossTerminalTabIcon::isIconPageType(type)) {
        // The host's tabs of these types have no browser delegate: the icon info decides.
        const QString icon = KZelvaCrossTerminalTabIcon::extraTabIcon(
            type, QIcon(), callPage(page, "getPageTabIconInfo").toMap());
        if (!icon.isEmpty())
            tag->insert(QStringLiteral("extraTabIcon"), icon);
    }
}

QJsonArray KZelvaCrossTerminalWorkAreaListing::tagsOf(KZelvaWorkArea *workArea, bool withPageDetails,
                                                      bool withLastAccessTime)
{
    const bool shown = isShownInWindow(workArea);
    Records::TagContext context;
    context.workAreaId = workArea->id();
    context.activeItemId = workArea->data().activeItemId;
    context.status = Records::windowStatus(shown ? workArea->window() : nullptr);
    context.workAreaOpen = shown;
    context.documentOpen = workArea->isVisible();
    context.withLastAccessTime = withLastAccessTime;
    QJsonArray tags;
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    for (KZelvaWorkAreaItem *item : items) {
        KZelvaWorkAreaRecoverItem record = item->record();
        record.id = item->effectiveId();
        KZelvaSubPage *page = item->subPage();
        context.lastAccessTime = lastAccessTime(record, page);
        context.webSuffix = webSuffixOf(page);
        QJsonObject tag = Records::tagRecord(record, context);
        if (withPageDetails && page)
            addPageDetails(page, &tag);
        tags.append(tag);
    }
    return tags;
}

QJsonObject KZelvaCrossTerminalWorkAreaListing::pluginPanelListing()
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (noManager(manager))
        return {};
    QList<KZelvaWorkArea *> all = manager->workAreas();
    Records::sortWorkAreas(&all);
    for (KZelvaWorkArea *workArea : qAsConst(all)) {
        if (isShownInWindow(workArea))
            workArea->refreshCache();
    }
    const bool withLastAccessTime = KZelvaCrossTerminalPanelConfig::read().tabManagerPanelEnabled;
    QJsonArray open;
    QJsonArray close;
    for (KZelvaWorkArea *workArea : qAsConst(all)) {
        if (isShownInWindow(workArea)) {
            open.append(Records::workAreaRecord(workArea, Records::windowStatus(workArea->window()),
                                                tagsOf(workArea, false, withLastAccessTime)));
        } else if (workArea->itemCount() == 0 && !workArea->data().isDefault) {
            writeLog(0, QStringLiteral("%1, remove empty closed workarea uid: %2").arg(kListingFunction, workArea->id()));
            manager->removeWorkArea(workArea);
        } else {
            close.append(Records::workAreaRecord(workArea, Records::None, tagsOf(workArea, false, withLastAccessTime)));
        }
    }
    return {{QStringLiteral("open"), open}, {QStringLiteral("close"), close}};
}

QJsonArray KZelvaCrossTerminalWorkAreaListing::fixedAreaTags(KZelvaWorkAreaManager *manager, KZelvaMainWindow *window,
                                                             bool withLastAccessTime, QStringList *listedIds)
{
    QJsonArray tags;
    if (!window || !window->tabBar())
        return tags;
    KZelvaWorkAreas *areas = manager->workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    Records::TagContext context;
    context.workAreaId = FixedAreaId;
    context.activeItemId = workAreaActivateItemId(manager, window);
    context.status = Records::windowStatus(current ? current->window() : nullptr);
    context.workAreaOpen = true;
    context.documentOpen = true;
    context.withLastAccessTime = withLastAccessTime;
    const QList<KZelvaTab *> tabs = window->tabBar()->tabs();
    for (KZelvaTab *tab : tabs) {
        KZelvaSubPage *page = tab ? tab->subPage() : nullptr;
        if (!page || page->pageType() == KZelvaPluginWidget::InvalidType || manager->workAreaOfPage(page))
            continue;
        const QString id = page->getWorkAreaItemId();
        if (id.isEmpty() || listedIds->contains(id))
            continue;
        KZelvaWorkAreaRecoverItem record;
        if (!page->getRecoverItem(&record)) {
            record.title = page->windowTitle();
            record.pageType = page->pageType();
        }
        record.id = id;
        context.lastAccessTime = lastAccessTime(record, page);
        context.webSuffix = webSuffixOf(page);
        QJsonObject tag = Records::tagRecord(record, context);
        addPageDetails(page, &tag);
        tags.append(tag);
        listedIds->append(id);
    }
    return tags;
}

bool KZelvaCrossTerminalWorkAreaListing::residualRecordExists(KZelvaWorkAreaManager *manager,
                                                             const QString &residualId, QString *path)
{
    // Residual ids name files: anything but "default" or a UUID is never looked up.
    KZelvaWorkAreaSettingsWrapper *wrapper = manager->settingsWrapper();
    const QString file = wrapper && isResidualRecordId(residualId)
        ? wrapper->getResidualCfgFilePath(residualId, QString())
        : QString();
    if (path)
        *path = file;
    return !file.isEmpty() && QFileInfo::exists(file);
}

Items KZelvaCrossTerminalWorkAreaListing::mergedResidualItems(KZelvaWorkAreaManager *manager)
{
    Items merged;
    KZelvaResidualRecords *records = manager->residualRecords();
    if (!records)
        return merged;
    QStringList ids = records->windowResidualIds();
    ids.prepend(KZelvaResidualRecords::DefaultId);
    for (const QString &id : qAsConst(ids)) {
        Items items;
        if (!residualRecordExists(manager, id) || !records->readRecord(id, nullptr, &items))
            continue;
        for (KZelvaWorkAreaRecoverItem &item : items) {
            writeLog(0, QStringLiteral("%1, merge default residualList  uid: %2 titleName: %3, suffix: %4")
                            .arg(kListingFunction, item.id, item.title, item.suffix));
            item.extMap.insert(kSourceRecordKey, id);
            merged.append(item);
        }
    }
    KZelvaResidualRules::sortNewestFirst(&merged);
    return merged;
}

KZelvaWorkAreaManager *KZelvaCrossTerminalWorkAreaListing::beginResidualScope(KZelvaCrossTerminalPanelConfig *config,
                                                                              ResidualScope *scope)
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (noManager(manager))
        return nullptr;
    *config = KZelvaCrossTerminalPanelConfig::read();
    const QList<KZelvaWorkArea *> shown = shownWorkAreas(manager);
    for (KZelvaWorkArea *workArea : shown) {
        const QList<KZelvaWorkAreaItem *> items = workArea->items();
        for (KZelvaWorkAreaItem *item : items) {
            scope->openIds.insert(item->effectiveId());
            const QStringList keys = documentKeys(item->record());
            for (const QString &key : keys)
                scope->openDocuments.insert(key);
        }
    }
    return manager;
}

QJsonObject KZelvaCrossTerminalWorkAreaListing::residualTags(KZelvaWorkAreaManager *manager, const ResidualScope &scope,
                                                             QStringList *invalidResidualIds)
{
    const Items residual = mergedResidualItems(manager);
    KZelvaCrossTerminalResidualFilter::Checks checks;
    checks.isOpen = [&scope](const KZelvaWorkAreaRecoverItem &item) { return scope.openIds.contains(item.id); };
    checks.isFixedItem = [&scope](const KZelvaWorkAreaRecoverItem &item) { return scope.fixedIds.contains(item.id); };
    checks.isValidWorkAreaDoc = [&scope](const KZelvaWorkAreaRecoverItem &item) {
        const QStringList keys = documentKeys(item);
        return std::any_of(keys.begin(), keys.end(),
                           [&](const QString &key) { return scope.openDocuments.contains(key); });
    };
    checks.recordFileExists = [manager](const QString &id) { return residualRecordExists(manager, id); };
    const KZelvaCrossTerminalResidualFilter::Result filtered = KZelvaCrossTerminalResidualFilter::filter(
        residual, scope.maxDays, scope.maxVisible, QDateTime::currentMSecsSinceEpoch(), checks);
    if (invalidResidualIds)
        *invalidResidualIds = filtered.invalidIds;

    QJsonArray close;
    Records::TagContext context;
    context.withLastAccessTime = scope.withLastAccessTime;
    for (const KZelvaWorkAreaRecoverItem &item : filtered.listed) {
        context.workAreaId = item.extMap.value(kSourceRecordKey).toString();
        context.lastAccessTime = KZelvaResidualRules::closedTime(item);
        close.append(Records::tagRecord(item, context));
    }
    QJsonObject listing{{QStringLiteral("close"), close}};
    if (!residual.isEmpty()) {
        listing.insert(QStringLiteral("residualConfigTipInfo"),
                       QJsonObject{{QStringLiteral("maxDayRange"), scope.maxDays},
                                   {QStringLiteral("maxVisibilityNum"), scope.maxVisible},
                                   {QStringLiteral("visible"), filtered.visible}});
        writeLog(0, QStringLiteral("%1, residualList nCnt: %2 itemVisiblCnt: %3 nMaxVisiblityNum: %4, dayRange: %5")
                        .arg(kListingFunction, QString::number(residual.size()), QString::number(close.size()),
                             QString::number(scope.maxVisible), QString::number(scope.maxDays)));
    }
    return listing;
}

QJsonObject KZelvaCrossTerminalWorkAreaListing::hostPanelListing(QStringList *invalidResidualIds)
{
    KZelvaCrossTerminalPanelConfig config;
    ResidualScope scope;
    KZelvaWorkAreaManager *manager = beginResidualScope(&config, &scope);
    if (!manager)
        return {};
    if (config.residualSettingSaveEnabled && manager->residualRecords())
        manager->residualRecords()->syncFlushWindowResidualSettings();

    KZelvaApplication *app = KZelvaApplication::instance();
    QStringList listedIds;
    QJsonArray open =
        fixedAreaTags(manager, app ? app->currentMainWindow() : nullptr, config.tabManagerPanelEnabled, &listedIds);
    scope.fixedIds = listedIds;
    const QList<KZelvaWorkArea *> shown = shownWorkAreas(manager);
    for (KZelvaWorkArea *workArea : shown) {
        const QJsonArray tags = tagsOf(workArea, true, config.tabManagerPanelEnabled);
        for (const QJsonValue &tag : tags) {
            const QString id = tag.toObject().value(QStringLiteral("tagId")).toString();
            if (!listedIds.contains(id)) {
                listedIds.append(id);
                open.append(tag);
            }
        }
    }
    scope.maxDays = config.maxResidualDateTimeRange;
    scope.maxVisible = config.maxResidualVisibilityNum;
    scope.withLastAccessTime = config.tabManagerPanelEnabled;
    QJsonObject listing = residualTags(manager, scope, invalidResidualIds);
    listing.insert(QStringLiteral("open"), open);
    return listing;
}

QJsonObject KZelvaCrossTerminalWorkAreaListing::pluginPanelResidualListing()
{
    KZelvaCrossTerminalPanelConfig config;
    ResidualScope scope;
    KZelvaWorkAreaManager *manager = beginResidualScope(&config, &scope);
    if (!manager)
        return {};
    KZelvaApplication *app = KZelvaApplication::instance();
    fixedAreaTags(manager, app ? app->currentMainWindow() : nullptr, false, &scope.fixedIds);
    // Without the shell's tab-manager panel every panel value reads 0: the
    // plug-in panel then keeps to the values' own defaults.
    scope.maxDays = config.tabManagerPanelEnabled ? config.maxResidualDateTimeRange : DefaultMaxResidualDays;
    scope.maxVisible = config.tabManagerPanelEnabled ? config.maxResidualVisibilityNum : DefaultMaxResidualVisible;
    return residualTags(manager, scope, nullptr);
}

bool KZelvaCrossTerminalWorkAreaListing::residualItem(const QString &residualId, const QString &tagId,
                                                      KZelvaWorkAreaRecoverItem *item)
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    Items items;
    if (!manager || tagId.isEmpty() || !residualRecordExists(manager, residualId) || !manager->residualRecords()
        || !manager->residualRecords()->readRecord(residualId, nullptr, &items))
        return false;
    const auto found = std::find_if(items.cbegin(), items.cend(),
                                    [&tagId](const KZelvaWorkAreaRecoverItem &i) { return i.id == tagId; });
    if (found == items.cend())
        return false;
    *item = *found;
    return true;
}

QJsonObject KZelvaCrossTerminalWorkAreaListing::residualWindowTags(const QString &residualId)
{
    const QLatin1String function("generateResidualTagsJson");
    if (residualId.isEmpty()) {
        writeLog(1, QStringLiteral("%1, strResidualId is empty").arg(function));
        return {};
    }
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager) {
        writeLog(1, QStringLiteral("%1, KZelvaWorkAreaManager::instance() is nullptr, strResidualId: %2")
                        .arg(function, residualId.left(64)));
        return {};
    }
    QString file;
    Items items;
    if (!residualRecordExists(manager, residualId, &file) || !manager->residualRecords()
        || !manager->residualRecords()->readRecord(residualId, nullptr, &items)) {
        writeLog(1, QStringLiteral("%1, getResidualCfgFilePath file not exists strResidualId: %2, residualCfgFile: %3")
                        .arg(function, residualId.left(64), file));
        return {};
    }
    KZelvaResidualRules::sortNewestFirst(&items);
    Records::TagContext context;
    context.workAreaId = residualId;
    context.withLastAccessTime = KZelvaCrossTerminalPanelConfig::read().tabManagerPanelEnabled;
    QJsonArray close;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
        context.lastAccessTime = KZelvaResidualRules::closedTime(item);
        close.append(Records::tagRecord(item, context));
    }
    writeLog(0, QStringLiteral("%1, strResidualId: %2, itemCnt: %3 ")
                    .arg(function, residualId, QString::number(items.size())));
    return {{QStringLiteral("close"), close}};
}
