// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljshandle.h"

#include "kresidualcfghelperasynctask.h"
#include "kzelvacrossterminalpaneljseventobj.h"
#include "kzelvacrossterminalpanelutil.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"

#include "kzelvacrossterminalnotifyproxy.h"

#include <kcloudsvrproxy.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QUuid>

namespace {
// The script core registration of the event object reached its last stage.
constexpr int kRegisteredState = 3;
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
