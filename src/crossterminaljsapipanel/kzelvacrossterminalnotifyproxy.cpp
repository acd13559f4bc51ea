// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalnotifyproxy.h"

#include "kzelvacrossterminalpaneljshandle.h"
#include "kzelvaworkareahelper.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kLoggedChars = 512;
// Request ids remembered against a relay heard twice.
constexpr int kSeenUuids = 64;

QString text(const QJsonObject &object, const char *key)
{
    const QJsonValue v = object.value(QLatin1String(key));
    return v.isString() ? v.toString() : QString();
}

} // namespace

const QLatin1String KZelvaCrossTerminalNotifyProxy::Source("crossTerminalPanel");
const QLatin1String KZelvaCrossTerminalNotifyProxy::Channel("kipc_crosstermianlpanel_eventhandle");

KZelvaCrossTerminalNotifyProxy::KZelvaCrossTerminalNotifyProxy(QObject *parent)
    : QObject(parent)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud || !cloud->cirraEventObject()) {
        writeLog(
            1, QStringLiteral("%1 : KCloudSvrProxy is nullptr").arg(QStringLiteral("KZelvaCrossTerminalNotifyProxy")));
        return;
    }
    connect(cloud->cirraEventObject(), &KCirraEventObject::signal_notifyWebPageEvent, this,
            &KZelvaCrossTerminalNotifyProxy::onNotifyBroadcastWebPageEvent);
}

QString KZelvaCrossTerminalNotifyProxy::appName()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    return cloud ? cloud->clientInfo().appName : QString();
}

void KZelvaCrossTerminalNotifyProxy::onNotifyBroadcastWebPageEvent(const NotifyWebPageEventArg &arg)
{
    const QString name = QStringLiteral("onNotifyBroadcastWebPageEvent");
    // Other pages' events travel the same relay.
    if (QString::fromStdString(arg.business) != Source || QString::fromStdString(arg.eventName) != Channel)
        return;
    const QString self = appName();
    const QString stringParam = QString::fromStdString(arg.message);
    // One log line per broadcast, whatever the sender put in it.
    QString shownParam = stringParam.left(kLoggedChars);
    for (QChar &c : shownParam) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(stringParam.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        writeLog(2, QStringLiteral("%1 panelEventNotify stringParam is invalid, receiver::appname: %2, stringParam: %3")
                        .arg(name, self, shownParam));
        return;
    }
    const QJsonObject event = document.object();
    const QString uuid = text(event, "uuid");
    if (text(event, "appname") == self) {
        writeLog(0, QStringLiteral("%1 panelEventNotify appName is appself receiver::appname: %2, stringParam: %3, "
                                   "requestUuid: %4")
                        .arg(name, self, shownParam, uuid.left(64)));
        return;
    }
    const QString operation = text(event, "operation");
    if (operation.isEmpty()) {
        writeLog(2, QStringLiteral("%1 panelEventNotify operation is empty receiver::appname: %2, stringParam: %3")
                        .arg(name, self, shownParam));
        return;
    }
    if (!uuid.isEmpty() && m_seenUuids.contains(uuid)) {
        writeLog(2, QStringLiteral("%1 panelEventNotify uuid seen before receiver::appname: %2, requestUuid: %3")
                        .arg(name, self, uuid.left(64)));
        return;
    }
    if (!uuid.isEmpty()) {
        m_seenUuids.append(uuid);
        while (m_seenUuids.size() > kSeenUuids)
            m_seenUuids.removeFirst();
    }
    KZelvaCrossTerminalPanelJsHandle *handle = KZelvaCrossTerminalPanelJsHandle::instance();
    bool ok = false;
    QString callInfo;
    if (operation == QLatin1String("remove")) {
        const QJsonValue paramValue = event.value(QLatin1String("param"));
        const QJsonObject param = paramValue.toObject();
        const QString workAreaId = text(param, "workAreaId");
        const QString tagId = text(param, "tagId");
        callInfo = QStringLiteral("removeResidualItem(%1, %2)").arg(workAreaId.left(64), tagId.left(64));
        if (!paramValue.isObject())
            callInfo = QStringLiteral("param is not an object");
        else
            ok = handle->removeResidualItem(workAreaId, tagId, false);
    } else if (operation == QLatin1String("clear")) {
        callInfo = QStringLiteral("removeAllResidualItems");
        ok = handle->removeAllResidualItems(false);
    } else {
        callInfo = QStringLiteral("unknown operation %1").arg(operation.left(64));
    }
    // A shown panel lists without the deleted documents.
    if (ok && handle->isPanelVisible())
        handle->notifyRefreshListData();
    writeLog(0, QStringLiteral("%1 panelEventNotify receiver::appname: %2, stringParam: %3, bRet: %4, callInfo: %5")
                    .arg(name, self, shownParam)
                    .arg(ok)
                    .arg(callInfo));
}
