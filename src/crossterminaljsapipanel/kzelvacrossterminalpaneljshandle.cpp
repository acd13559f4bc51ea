// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljshandle.h"

#include "kresidualcfghelperasynctask.h"
#include "kzelvacrossterminalpaneljseventobj.h"
#include "kzelvacrossterminalpanelutil.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaresidualworkareas.h"
#include "kzelvawindowlifecycle.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"

#include "kzelvacrossterminalnotifyproxy.h"

#include "kzelvacrossterminalpanelconfig.h"
#include "kzelvapersistconfig.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"

#include <kcloudsvrproxy.h>
#include <kjsapiutil.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>
#include <kzelvastartup.h>
#include <kzelvatab.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QUuid>

namespace {
// The script core registration of the event object reached its last stage.
constexpr int kRegisteredState = 3;
constexpr int kShownChars = 128;

QJsonObject ret(int code, const QString &message, const QJsonValue &value = QJsonValue())
{
    QJsonObject result;
    KJSApiUtil::setRetVal(&result, code, message, value);
    return result;
}

QString text(const QVariantMap &args, const char *key)
{
    const QVariant v = args.value(QLatin1String(key));
    return v.userType() == QMetaType::QString ? v.toString() : QString();
}

QString shown(const QString &value)
{
    return value.left(kShownChars);
}

// The live tab of `itemId` in `window`.
KZelvaSubPage *pageOf(KZelvaMainWindow *window, const QString &itemId)
{
    if (!window || !window->centralArea() || itemId.isEmpty())
        return nullptr;
    const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
    for (KZelvaSubPage *page : pages) {
        if (page && page->getWorkAreaItemId() == itemId)
            return page;
    }
    return nullptr;
}

KZelvaWorkAreaOperations *operationsOf(KZelvaWorkAreaManager *manager)
{
    return manager->findChild<KZelvaWorkAreaOperations *>(QString(), Qt::FindDirectChildrenOnly);
}

// A document already open in some window (same file path).
bool isOpenAnywhere(const QString &path)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app || path.isEmpty())
        return false;
    const QList<KZelvaMainWindow *> windows = app->mainWindows();
    for (KZelvaMainWindow *window : windows) {
        if (!window || !window->centralArea())
            continue;
        const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
        for (KZelvaSubPage *page : pages) {
            auto *doc = qobject_cast<KZelvaQozSubPage *>(page);
            if (doc && doc->getDocPath() == path)
                return true;
        }
    }
    return false;
}

} // namespace

KZelvaCrossTerminalPanelJsHandle::KZelvaCrossTerminalPanelJsHandle(QObject *parent)
    : QObject(parent)
{
}

KZelvaCrossTerminalPanelJsHandle *KZelvaCrossTerminalPanelJsHandle::instance()
{
    static QPointer<KZelvaCrossTerminalPanelJsHandle> handle;
    if (!handle)
        handle = new KZelvaCrossTerminalPanelJsHandle(QCoreApplication::instance());
    return handle;
}

KZelvaCrossTerminalPanelJsEventObj *KZelvaCrossTerminalPanelJsHandle::eventObject() const
{
    KZelvaCrossTerminalPanelJsEventObj *object = KZelvaCrossTerminalPanelJsEventObj::instance();
    return object->state() >= kRegisteredState ? object : nullptr;
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::generateWorkareaAndTagsJson()
{
    QStringList invalid;
    const QJsonObject listing = KZelvaCrossTerminalWorkAreaListing::hostPanelListing(&invalid);
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!invalid.isEmpty() && manager && manager->isInitialised())
        manager->residualRecords()->cleanInvalidWindowResidualCfgFile(invalid,
                                                                      KResidualCfgHelperAsyncTask::RemoveListed);
    return listing;
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::generateResidualTagsJson(const QString &residualId)
{
    return KZelvaCrossTerminalWorkAreaListing::residualWindowTags(residualId);
}

void KZelvaCrossTerminalPanelJsHandle::notifyRefreshListData()
{
    const QString name = QStringLiteral("notifyRefreshListData");
    KZelvaCrossTerminalPanelJsEventObj *events = eventObject();
    if (!events) {
        writeLog(1, QStringLiteral("%1 : m_panelJsObjApiEvent is nullptr").arg(name));
        return;
    }
    const QString payload =
        QString::fromUtf8(QJsonDocument(generateWorkareaAndTagsJson()).toJson(QJsonDocument::Compact));
    const int listeners = events->dispatchEvent(KZelvaCrossTerminalWorkAreaListing::RefreshEventName, payload);
    writeLog(0, QStringLiteral("%1 : %2 sent to %3 listeners")
                    .arg(name, KZelvaCrossTerminalWorkAreaListing::RefreshEventName)
                    .arg(listeners));
}

void KZelvaCrossTerminalPanelJsHandle::setPanelUtil(KZelvaCrossTerminalPanelUtil *util)
{
    if (!util) {
        writeLog(1, QStringLiteral("%1 : panelUtil is nullptr").arg(QStringLiteral("setPanelUtil")));
        return;
    }
    m_util = util;
}

void KZelvaCrossTerminalPanelJsHandle::setPanelVisible(bool visible)
{
    m_panelVisible = visible;
    writeLog(0, QStringLiteral("%1 : m_CrossTerminalPanelShow = %2")
                    .arg(QStringLiteral("updatePanelVisibleState"))
                    .arg(visible));
    if (m_util)
        m_util->setPanelVisible(visible);
    // A panel that just showed lists what is there now.
    if (visible)
        notifyRefreshListData();
}

KZelvaCrossTerminalPanelUtil *KZelvaCrossTerminalPanelJsHandle::panelUtil() const
{
    return m_util.data();
}

bool KZelvaCrossTerminalPanelJsHandle::isSupportRestartCirraProcess()
{
    static const bool on = krt::KQOZCloudSettings::boolValue(QStringLiteral("usercenter"),
                                                             QStringLiteral("isSupportRestartCirraProcess"), true);
    return on;
}

bool KZelvaCrossTerminalPanelJsHandle::removeResidualItem(const QString &workAreaId, const QString &tagId, bool sync)
{
    const QString name = QStringLiteral("removeResidualItem");
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    const QString residualId =
        manager && manager->isInitialised() ? manager->residualRecords()->findRecordOf(workAreaId) : QString();
    if (residualId.isEmpty()) {
        writeLog(2, QStringLiteral("%1, workArea is nullptr, not exist workareaId: %2, tagId: %3, bSyncCfgFlag: %4")
                        .arg(name, workAreaId.left(64), tagId.left(64))
                        .arg(sync));
        return false;
    }
    return removeFromRecord(residualId, workAreaId, tagId, sync);
}

bool KZelvaCrossTerminalPanelJsHandle::removeFromRecord(const QString &residualId, const QString &workAreaId,
                                                        const QString &tagId, bool sync)
{
    const QString name = QStringLiteral("removeResidualItem");
    KZelvaResidualRecords *records = KZelvaWorkAreaManager::instance()->residualRecords();
    if (!records->removeResidualItem(residualId, tagId, sync)) {
        writeLog(2, QStringLiteral("%1, workAreaItem is nullptr, not exist, workareaId: %2, tag: %3, bSyncCfgFlag: %4")
                        .arg(name, workAreaId.left(64), tagId.left(64))
                        .arg(sync));
        return false;
    }
    QVector<KZelvaWorkAreaRecoverItem> left;
    if (records->readRecord(residualId, nullptr, &left) && !left.isEmpty())
        return true;
    writeLog(0, QStringLiteral("%1, workAreaItem getItemCount is empty, workareaId: %2, bSyncCfgFlag: %3")
                    .arg(name, workAreaId.left(64))
                    .arg(sync));
    if (residualId == KZelvaResidualRecords::DefaultId) {
        if (QCoreApplication::closingDown()) {
            writeLog(0, QStringLiteral("%1, clearDefaultWindowResidualCfgFile qApp->closingDown return").arg(name));
            return true;
        }
        records->clearDefaultWindowResidualCfgFile();
        return true;
    }
    writeLog(0, QStringLiteral("%1, workAreaId: %2, removeResidualUidSettingFile: %2, bSyncCfgFlag: %3")
                    .arg(name, residualId)
                    .arg(sync));
    records->removeWindowResidualSettingData(residualId);
    return true;
}

bool KZelvaCrossTerminalPanelJsHandle::removeAllResidualItems(bool sync)
{
    const QString name = QStringLiteral("removeAllResidualItems");
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager || !manager->isInitialised())
        return false;
    KZelvaResidualRecords *records = manager->residualRecords();
    QStringList ids = records->windowResidualIds();
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (records->readRecord(KZelvaResidualRecords::DefaultId, nullptr, &items) && !items.isEmpty())
        ids.prepend(KZelvaResidualRecords::DefaultId);
    if (ids.isEmpty()) {
        writeLog(0, QStringLiteral("removeAllResidualItems::getResidualAreas is empty, bSyncCfgFlag: %1").arg(sync));
        return false;
    }
    writeLog(0, QStringLiteral("%1, listWorkAreas.count: %2, bSyncCfgFlag: %3").arg(name).arg(ids.size()).arg(sync));
    const bool removed = records->removeAllResidualItems(sync);
    if (removed && !QCoreApplication::closingDown())
        records->clearDefaultWindowResidualCfgFile();
    return removed;
}

void KZelvaCrossTerminalPanelJsHandle::checkAndRestartCirraProcess(const QString &app)
{
    const QString name = QStringLiteral("checkAndRestartCirraProcess");
    if (!isSupportRestartCirraProcess()) {
        writeLog(0, QStringLiteral("%1 appname: %2, isSupportRestartCirraProcess = false break").arg(name, app));
        return;
    }
    KZelvaApplication *zelva = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = zelva ? zelva->cloudSvrProxy() : nullptr;
    if (cloud && !cloud->checkCirraRunning()) {
        cloud->startCirraProcess(QString(), false);
        writeLog(0, QStringLiteral("%1 appname: %2, startCirraProcess success").arg(name, app));
    }
}

QString KZelvaCrossTerminalPanelJsHandle::triggerEventNotify(const QString &operation, const QJsonObject &param)
{
    const QString name = QStringLiteral("triggerEventNotify");
    const QString app = KZelvaCrossTerminalNotifyProxy::appName();
    checkAndRestartCirraProcess(app);
    KZelvaApplication *zelva = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = zelva ? zelva->cloudSvrProxy() : nullptr;
    if (!cloud || !cloud->isLogined()) {
        writeLog(2, QStringLiteral("%1 appname: %2, not logged in, %3 not sent").arg(name, app, operation));
        return QString();
    }
    const QString uuid = QUuid::createUuid().toString(QUuid::WithBraces);
    m_requestId = uuid;
    const QJsonObject message{{QStringLiteral("appname"), app},
                              {QStringLiteral("operation"), operation},
                              {QStringLiteral("uuid"), uuid},
                              {QStringLiteral("param"), param}};
    const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
    NotifyWebPageEventArg arg;
    arg.__set_business(KZelvaCrossTerminalNotifyProxy::Source.data());
    arg.__set_eventName(KZelvaCrossTerminalNotifyProxy::Channel.data());
    arg.__set_message(text.toStdString());
    const QString requestId =
        cloud->asyncCall(QStringLiteral("notifyWebPageEvent"), {&arg, "NotifyWebPageEventArg"}, nullptr, QString());
    writeLog(0, QStringLiteral("%1 appname: %2, strParam: %3, bCirraRunning: %4, uuid: %5, requestId: %6")
                    .arg(name, app, text.left(512))
                    .arg(cloud->checkCirraRunning())
                    .arg(uuid, requestId));
    return uuid;
}

bool KZelvaCrossTerminalPanelJsHandle::isResidualItemDeleteEnabled() const
{
    return KZelvaPersistConfig::residualItemDeleteEnabled();
}

KZelvaMainWindow *KZelvaCrossTerminalPanelJsHandle::openedWindow(const QString &residualId) const
{
    return m_openedWindows.value(residualId).data();
}

QJsonArray KZelvaCrossTerminalPanelJsHandle::currentTabList()
{
    return generateWorkareaAndTagsJson().value(QStringLiteral("open")).toArray();
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::openTab(const QVariantMap &args)
{
    const QString name = QStringLiteral("openTag");
    const QString workAreaId = text(args, "workAreaId");
    const QString tagId = text(args, "tagId");
    const bool isResidual = args.value(QStringLiteral("isResidual")).toBool();
    if (workAreaId.isEmpty() || tagId.isEmpty())
        return ret(1, QStringLiteral("openTag::workAreaId/tagId is empty"));
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return ret(1, QStringLiteral("openTag::zelvaApp is nullptr"));
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager || !manager->isInitialised())
        return ret(1, QStringLiteral("openTag::KZelvaWorkAreaManager instance is nullptr"));
    writeLog(0, QStringLiteral("%1 : workAreaId = %2, tagId = %3, isClosedItem = %4")
                    .arg(name, shown(workAreaId), shown(tagId))
                    .arg(isResidual));
    KZelvaMainWindow *current = app->currentMainWindow();
    if (workAreaId == KZelvaCrossTerminalWorkAreaListing::FixedAreaId) {
        KZelvaSubPage *page = pageOf(current, tagId);
        if (page)
            page->activate();
        writeLog(0, QStringLiteral("%1, fixedItem workAreaId = %2, tagId = %3, bRet = %4")
                        .arg(name, workAreaId, shown(tagId))
                        .arg(page != nullptr));
        return page ? ret(0, QString(), true) : ret(1, QStringLiteral("openTag, fixedItem is not open"));
    }
    if (isResidual) {
        // A recently-closed document: reopened from its record in the
        // current window.
        KZelvaResidualRecords *records = manager->residualRecords();
        const QString residualId = records->findRecordOf(workAreaId);
        QVector<KZelvaWorkAreaRecoverItem> items;
        if (residualId.isEmpty() || !records->readRecord(residualId, nullptr, &items))
            return ret(1, QStringLiteral("openTag, openClosedItem workArea is nullptr"));
        for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
            if (item.id != tagId)
                continue;
            KZelvaSubPage *page = recoverFile(current, item,
                                              {{QStringLiteral("from"), QStringLiteral("crossTerminalPanel")},
                                               {QStringLiteral("url"), item.filePath}});
            return page ? ret(0, QString(), true) : ret(1, QStringLiteral("openTag, openClosedItem recover failed"));
        }
        return ret(1, QStringLiteral("openTag, openClosedItem getItem is nullptr"));
    }
    KZelvaWorkArea *workArea = manager->workArea(workAreaId);
    if (!workArea)
        return ret(1, QStringLiteral("openTag, openClosedItem workArea is nullptr"));
    KZelvaWorkAreaItem *item = workArea->findItem(tagId);
    if (!item)
        return ret(1, QStringLiteral("openTag, openClosedItem getItem is nullptr"));
    KZelvaMainWindow *window = workArea->window() && workArea->owner() ? workArea->window() : current;
    KZelvaWorkAreaOperations *ops = operationsOf(manager);
    if (!ops)
        return ret(1, QStringLiteral("openTag::KZelvaWorkAreaManager instance is nullptr"));
    if (item->subPage())
        return ret(0, QString(), ops->openTag(window, workAreaId, tagId));
    // A closed document of a work area comes back into it.
    ops->switchWorkArea(window, workAreaId);
    KZelvaSubPage *page = recoverFile(window, item->record(),
                                      {{QStringLiteral("from"), QStringLiteral("crossTerminalPanel")},
                                       {QStringLiteral("url"), item->record().filePath}});
    return page ? ret(0, QString(), true) : ret(1, QStringLiteral("openTag, openClosedItem recover failed"));
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::closeTab(const QVariantMap &args)
{
    const QString workAreaId = text(args, "workAreaId");
    const QString tagId = text(args, "tagId");
    const bool isResidual = args.value(QStringLiteral("isResidual")).toBool();
    if (workAreaId.isEmpty() || tagId.isEmpty())
        return ret(1, QStringLiteral("closeTag::workAreaId/tagId is empty"));
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager || !manager->isInitialised())
        return ret(1, QStringLiteral("closeTag::KZelvaWorkAreaManager::instance is empty"));
    KZelvaSubPage *page = nullptr;
    if (workAreaId == KZelvaCrossTerminalWorkAreaListing::FixedAreaId) {
        KZelvaApplication *app = KZelvaApplication::instance();
        page = pageOf(app ? app->currentMainWindow() : nullptr, tagId);
    } else {
        KZelvaWorkArea *workArea = manager->workArea(workAreaId);
        if (!workArea)
            return ret(1, QStringLiteral("closeTag:: workArea is nullptr, isClosedItem: %1, workAreaId: %2, tagId: %3")
                              .arg(isResidual)
                              .arg(shown(workAreaId), shown(tagId)));
        KZelvaWorkAreaItem *item = workArea->findItem(tagId);
        if (!item)
            return ret(1, QStringLiteral("closeTag:: workAreaItem is nullptr, isClosedItem: %1, workAreaId: %2, "
                                         "tagId: %3")
                              .arg(isResidual)
                              .arg(shown(workAreaId), shown(tagId)));
        page = item->subPage();
    }
    KZelvaTab *tab = page ? page->getTab() : nullptr;
    if (!tab)
        return ret(1, QStringLiteral("closeTag::KZelvaTab is nullptr"));
    page->setCloseMode(1);
    return ret(0, QString(), tab->tryClose());
}

KZelvaSubPage *KZelvaCrossTerminalPanelJsHandle::recoverFile(KZelvaMainWindow *window,
                                                             const KZelvaWorkAreaRecoverItem &item,
                                                             const QVariantMap &recoverInfo)
{
    if (!window || !window->centralArea())
        return nullptr;
    auto *page = new KZelvaQozSubPage(KZelvaPluginWidget::WidgetType(item.pageType < 0 ? 0 : item.pageType));
    const bool fromFile = !item.filePath.isEmpty() && QFileInfo(item.filePath).isFile();
    if (fromFile ? !page->openFile(item.filePath) : (page->newDocument(item.title), false)) {
        delete page;
        return nullptr;
    }
    page->setProperty("recoverInfo", recoverInfo);
    window->centralArea()->addSubPage(page);
    return page;
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::openFiles(const QString &residualId)
{
    const QString name = QStringLiteral("openFiles");
    writeLog(0, QStringLiteral("%1, ready recoverFile...").arg(name));
    if (residualId.isEmpty())
        return ret(1, QStringLiteral("openFiles::residualId is empty"));
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!app || !manager || !manager->isInitialised())
        return ret(1, QStringLiteral("openFiles::KZelvaWorkAreaManager instance is nullptr"));
    KZelvaMainWindow *current = app->currentMainWindow();
    if (!current)
        return ret(1, QStringLiteral("openFiles::KZelvaWorkAreaManager curMainWindow is nullptr"));
    if (!app->startupInfo())
        return ret(1, QStringLiteral("zelvaApp->startupInfo is nullptr"));
    if (KZelvaMainWindow *opened = openedWindow(residualId)) {
        writeLog(0, QStringLiteral("openFiles, strResidualId: %1 workArea is had opened").arg(shown(residualId)));
        opened->showToFront(true, true, false);
        return ret(0, QString(), true);
    }
    KZelvaResidualRecords *records = manager->residualRecords();
    const bool isDefault = residualId == KZelvaResidualRecords::DefaultId;
    if (!isDefault && !records->windowResidualIds().contains(residualId)) {
        writeLog(2, QStringLiteral("openFiles, strResidualId: %1 workArea is not exist").arg(shown(residualId)));
        return ret(1, QStringLiteral("openFiles, strResidualId: %1 workArea is not exist").arg(shown(residualId)));
    }
    writeLog(0, QStringLiteral("%1, getResidualWorkArea-strResidualId: %2 unserialize").arg(name, residualId));
    KZelvaResidualWorkAreas *residuals = manager->residualWorkAreas();
    KZelvaWorkArea *residual = residuals ? residuals->residualWorkArea(residualId) : nullptr;
    if (!residual) {
        writeLog(2, QStringLiteral("%1, getResidualCfgFilePath file not exists strResidualId: %2, residualCfgFile: %3")
                        .arg(name, residualId, residualId + QStringLiteral(".cfg")));
        return ret(1, QStringLiteral("openFiles, strResidualId: %1 workArea is not exist").arg(residualId));
    }
    const KZelvaWorkAreaData data = residual->data();
    QVector<KZelvaWorkAreaRecoverItem> items;
    for (const KZelvaWorkAreaItem *item : residual->items())
        items.append(item->record());
    // Mode 1 while its documents reopen: trimming leaves the record alone meanwhile.
    QPointer<KZelvaWorkArea> filling = residual;
    filling->setMode(1);
    // A closed window comes back with its own work area, not beside a new empty one.
    KZelvaMainWindow *window = isDefault ? current : manager->lifecycle()->newWindowForClosedWorkArea(data);
    if (!window)
        return ret(1, QStringLiteral("openFiles::KZelvaWorkAreaManager newMainWindow is nullptr"));
    if (!isDefault)
        m_openedWindows.insert(residualId, window);
    writeLog(0, QStringLiteral("%1, recoverFile begin, itemCount: %2, strResidualId: %3")
                    .arg(name)
                    .arg(items.size())
                    .arg(residualId));
    const QVariantMap info{{QStringLiteral("workarea"), data.id}, {QStringLiteral("sourceInfo"), residualId}};
    QPointer<KZelvaSubPage> active;
    int done = 0;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
        ++done;
        if (isOpenAnywhere(item.filePath)) {
            writeLog(0, QStringLiteral("%1, recoverFile had opened, itemId: %2, title: %3, curCnt: %4, totalCnt: %5")
                            .arg(name, item.id, item.title)
                            .arg(done)
                            .arg(items.size()));
            continue;
        }
        KZelvaSubPage *page = recoverFile(window, item, info);
        const bool isActive = item.id == data.activeItemId;
        if (!page) {
            writeLog(2, QStringLiteral("%1, %2recoverFile failed, itemId: %3, title: %4, pageType: %5")
                            .arg(name, isActive ? QStringLiteral("activeItemId ") : QString(), item.id, item.title)
                            .arg(item.pageType));
            continue;
        }
        // The active document, else the first one reopened, is activated last.
        if (isActive || !active)
            active = page;
    }
    if (filling)
        filling->setMode(0);
    if (active)
        active->activate();
    window->showToFront(true, true, false);
    writeLog(0, QStringLiteral("%1, recoverFile finished, itemCount: %2, strActiveItemId: %3, strResidualId: %4")
                    .arg(name)
                    .arg(items.size())
                    .arg(data.activeItemId, residualId));
    return ret(0, QString(), true);
}
