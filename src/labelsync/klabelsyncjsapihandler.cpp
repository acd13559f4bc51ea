// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "klabelsyncjsapihandler.h"

#include "kofflinedevicedlg.h"
#include "kworkarealabelsync.h"
#include "kzelvalabelsyncsettingskeys.h"
#include "kzelvapageargs.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkareahelper.h"

#include <kcloudsvrproxy.h>
#include <kpluginssettings.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>
#include <kzelvaapplication.h>

#include <QJsonDocument>
#include <QWidget>

using namespace qoz::cirra;

namespace {

constexpr int kDefaultLabelTimeoutMs = 3000;
// A page that waits longer than this for labels waits forever.
constexpr int kMaxLabelTimeoutMs = 600000;
constexpr int kLoggedArgChars = 256;

// Read at most once per process (-1: not read yet).
struct KeptSettings
{
    int labelSyncPage = -1;
    int fileLabel = -1;
    int labelTimeoutMs = -1;
};
KeptSettings g_settings;

QString fn(const char *name)
{
    return QLatin1String(name);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QJsonObject status(const char *callStatus)
{
    return {{QStringLiteral("callStatus"), QLatin1String(callStatus)}};
}

QString jsonText(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

bool keptBool(int *kept, bool (*read)(const QString &, const QString &, bool), const char *group, const char *key)
{
    if (*kept < 0)
        *kept = read(QLatin1String(group), QLatin1String(key), true) ? 1 : 0;
    return *kept == 1;
}

int labelTimeoutMs()
{
    if (g_settings.labelTimeoutMs < 0) {
        const QVariant value = krt::KPluginsSettings::value(
            QLatin1String(KZelvaSettingsKeys::PluginGroup),
            QLatin1String(KZelvaLabelSyncSettingsKeys::ObtainLabelTimeout), kDefaultLabelTimeoutMs);
        bool ok = false;
        const int ms = value.toString().trimmed().toInt(&ok);
        if (ok && ms > 0 && ms <= kMaxLabelTimeoutMs) {
            g_settings.labelTimeoutMs = ms;
        } else {
            writeLog(2, QStringLiteral("%1: obtain_label_timeout \"%2\" is no time in ms, %3 taken")
                            .arg(fn("queryObtainLabelTimeout"), value.toString().left(kLoggedArgChars))
                            .arg(kDefaultLabelTimeoutMs));
            g_settings.labelTimeoutMs = kDefaultLabelTimeoutMs;
        }
    }
    return g_settings.labelTimeoutMs;
}

// Sends one "cirraIpcCall" through the application's cloud proxy; the
// request id, or empty (logged) when there is no proxy or it refused.
QString cirraIpcCall(const char *caller, const char *nameSpace, const char *method,
                     const std::map<std::string, std::string> &args, QObject *receiver, const char *slot)
{
    KZelvaApplication *app = zelvaApp;
    KCloudSvrProxy *proxy = app ? app->cloudSvrProxy() : nullptr;
    if (!proxy) {
        writeLog(1, QStringLiteral("%1: zelvaApp or cloudsvr is null").arg(fn(caller)));
        return QString();
    }
    return KWorkAreaLabelSync::sendCirraIpc(proxy, caller, nameSpace, QLatin1String(method), args, receiver, slot);
}

} // namespace

KLabelSyncJSApiHandler::KLabelSyncJSApiHandler(QObject *parent, KxWebViewAsynJSObject *jsObject, QWidget *webView)
    : KxWebViewJSApiHandler(parent, jsObject)
    , m_webView(webView)
{
    service(nullptr);
}

KLabelSyncJSApiHandler::~KLabelSyncJSApiHandler() = default;

void KLabelSyncJSApiHandler::reloadSettings()
{
    g_settings = KeptSettings();
}

KWorkAreaLabelSync *KLabelSyncJSApiHandler::service(const char *caller)
{
    KWorkAreaLabelSync *current = KWorkAreaLabelSync::instance();
    if (current != m_service) {
        if (m_service)
            disconnect(m_service, nullptr, this, nullptr);
        m_service = current;
        if (current) {
            connect(current, &KWorkAreaLabelSync::sigNotifyRenameResult, this,
                    &KLabelSyncJSApiHandler::onNotifyRenameResult);
            connect(current, &KWorkAreaLabelSync::sigNotifyCloudStorageData, this,
                    &KLabelSyncJSApiHandler::onNotifyJsRefreshCloudStorageData);
        }
    }
    if (!current && caller)
        writeLog(1, QStringLiteral("%1: label sync service is null").arg(fn(caller)));
    return current;
}

void KLabelSyncJSApiHandler::sendEvent(const QString &name, const QString &payload) const
{
    KxWebViewAsynJSObject *page = jsObject();
    if (KxWebViewJSEventHandler *events = page ? page->eventHandler() : nullptr)
        events->sendEvent(name, payload);
}

// ---- page calls --------------------------------------------------------------

void KLabelSyncJSApiHandler::getSoftbussDeviceAndTags(KxWebViewJSContext &context)
{
    KWorkAreaLabelSync *sync = service("getSoftbussDeviceAndTags");
    context.setResult(status(sync && sync->getSoftBussDeviceList() ? "ok" : "error"));
}

void KLabelSyncJSApiHandler::network(KxWebViewJSContext &context)
{
    QJsonObject answer = status("ok");
    answer.insert(QStringLiteral("isOnline"), true);
    context.setResult(answer);
}

void KLabelSyncJSApiHandler::offlineDevice(KxWebViewJSContext &context)
{
    const char *name = "offlineDevice";
    const QVariantMap params = paramsOf(context);
    const auto logged = [&params](const char *key) {
        return params.value(QLatin1String(key)).toString().left(kLoggedArgChars);
    };
    writeLog(0, QStringLiteral("%1: appId:%2 userId:%3 deviceId:%4")
                    .arg(fn(name), logged("appId"), logged("userId"), logged("deviceId")));
    const QStringList args = textArgs(context, fn(name), {"appId", "userId", "deviceId"});
    if (args.isEmpty()) {
        context.setResult(status("error"));
        return;
    }
    const OfflineRequest request{args.at(0), args.at(1), args.at(2)};
    switch (KOfflineDeviceDlg::answer()) {
    case KOfflineDeviceDlg::Answer::Confirm:
        finishOffline(context, request, true);
        return;
    case KOfflineDeviceDlg::Answer::Decline:
        finishOffline(context, request, false);
        return;
    case KOfflineDeviceDlg::Answer::Ask:
        break;
    }
    if (!KOfflineDeviceDlg::canAsk()) {
        writeLog(2, QStringLiteral("%1: nobody can answer the question here, declined").arg(fn(name)));
        finishOffline(context, request, false);
        return;
    }
    // Modal but not blocking: the page gets its answer when the user has chosen.
    auto *dialog = new KOfflineDeviceDlg(m_webView ? m_webView->window() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QObject::destroyed, dialog, &QObject::deleteLater);
    KxWebViewJSContext pending = context;
    connect(dialog, &QDialog::finished, this, [this, pending, request](int result) mutable {
        finishOffline(pending, request, result == QDialog::Accepted);
        if (KxWebViewAsynJSObject *page = jsObject())
            page->publishResult(pending);
        pending = KxWebViewJSContext();
    });
    dialog->open();
}

void KLabelSyncJSApiHandler::finishOffline(KxWebViewJSContext &context, const OfflineRequest &request, bool confirmed)
{
    if (!confirmed) {
        writeLog(0, QStringLiteral("%1: cancel deviceId:%2").arg(fn("offlineDevice"), request.deviceId));
        context.setResult(status("cancel"));
        return;
    }
    context.setResult(status(sendForceOffline(request) ? "ok" : "error"));
}

bool KLabelSyncJSApiHandler::sendForceOffline(const OfflineRequest &request)
{
    if (!zelvaApp) {
        writeLog(1, QStringLiteral("%1: zelvaApp is null").arg(fn("offlineDevice")));
        return false;
    }
    const QString requestId = cirraIpcCall("offlineDevice", "", "forceOfflineSoftBussDevice",
                                           {{"app_id", request.appId.toStdString()},
                                            {"user_id", request.userId.toStdString()},
                                            {"device_id", request.deviceId.toStdString()}},
                                           this, "onOfflineSoftBussDeviceCallBack");
    if (requestId.isEmpty())
        return false;
    m_offlineRequests.insert(requestId, request.deviceId);
    return true;
}

void KLabelSyncJSApiHandler::isShowLabelsyncPage(KxWebViewJSContext &context)
{
    // The cloud setting is read only when the plug-in allows the page at all.
    const bool show =
        keptBool(&g_settings.labelSyncPage, &krt::KPluginsSettings::boolValue, KZelvaSettingsKeys::PluginGroup,
                 KZelvaLabelSyncSettingsKeys::LabelSyncPage)
        && keptBool(&g_settings.fileLabel, &krt::KQOZCloudSettings::boolValue, KZelvaSettingsKeys::CloudDevicesGroup,
                    KZelvaLabelSyncSettingsKeys::SoftbussFileLabel);
    QJsonObject answer = status("ok");
    answer.insert(QStringLiteral("isShow"), show);
    context.setResult(answer);
}

void KLabelSyncJSApiHandler::getStorageSize(KxWebViewJSContext &context)
{
    KWorkAreaLabelSync *sync = service("getStorageSize");
    if (!sync) {
        context.setResult(status("error"));
        return;
    }
    getCloudStorage(context);
    sync->getCloudStorage();
}

void KLabelSyncJSApiHandler::openSoftbussDeviceTag(KxWebViewJSContext &context)
{
    const char *name = "openSoftbussDeviceTag";
    KWorkAreaLabelSync *sync = service(name);
    QString deviceId;
    const QVariantMap params = paramsOf(context);
    if (!sync || !textArg(params, QStringLiteral("deviceId"), fn(name), &deviceId)) {
        context.setResult(status("error"));
        return;
    }
    const auto text = [&params](const char *key) { return params.value(QLatin1String(key)).toString(); };
    // The outcome reaches the user through the service (documents opened, dialogs).
    sync->openSoftbussDeviceTag(deviceId, text("uuid"), text("fileid"), text("ftype"), text("name"));
    context.setResult(status("ok"));
}

void KLabelSyncJSApiHandler::renameSoftbussDevice(KxWebViewJSContext &context)
{
    const char *name = "renameSoftbussDevice";
    KWorkAreaLabelSync *sync = service(name);
    const QStringList args = sync ? textArgs(context, fn(name), {"deviceId", "deviceName"}) : QStringList();
    if (args.isEmpty()) {
        context.setResult(status("error"));
        return;
    }
    // The result comes back as the event "softbus.event.notifyDeviceRenameResult".
    sync->renameSoftbussDevice(args.at(0), args.at(1));
    context.setResult(status("ok"));
}

void KLabelSyncJSApiHandler::addMobileDevice(KxWebViewJSContext &context)
{
    const QString requestId = cirraIpcCall("addMobileDevice", "", "showAddMobileDeviceDlg",
                                           {{"taskbarIcon", "0"}, {"closeInFocusOut", "1"}, {"staysOnTop", "1"}},
                                           nullptr, "");
    context.setResult(status(requestId.isEmpty() ? "error" : "ok"));
}

void KLabelSyncJSApiHandler::queryObtainLabelTimeout(KxWebViewJSContext &context)
{
    QJsonObject answer = status("ok");
    answer.insert(QStringLiteral("timeout"), labelTimeoutMs());
    context.setResult(answer);
}

void KLabelSyncJSApiHandler::getSoftbussDeviceAndTagsData(KxWebViewJSContext &context)
{
    KWorkAreaLabelSync *sync = service("getSoftbussDeviceAndTagsData");
    context.setResult(sync ? sync->softbussDeviceAndTagsData() : status("error"));
}

void KLabelSyncJSApiHandler::getCloudStorage(KxWebViewJSContext &context)
{
    KWorkAreaLabelSync *sync = service("getCloudStorage");
    if (!sync) {
        context.setResult(status("error"));
        return;
    }
    QJsonObject answer = sync->cloudStorageData();
    answer.insert(QStringLiteral("callStatus"), QStringLiteral("ok"));
    context.setResult(answer);
}

void KLabelSyncJSApiHandler::getLastestActivateTagInfo(KxWebViewJSContext &context)
{
    context.returnValue()["callStatus"] = "success";
}

// ---- replies and notices -----------------------------------------------------

void KLabelSyncJSApiHandler::onOfflineSoftBussDeviceCallBack(bool ok, const QString &requestId,
                                                             const CirraIpcResult &result)
{
    const auto pending = m_offlineRequests.constFind(requestId);
    if (pending == m_offlineRequests.cend()) {
        writeLog(1, QStringLiteral("onOfflineSoftBussDeviceCallBack, no found request"));
        return;
    }
    const QString deviceId = *pending;
    m_offlineRequests.erase(pending);
    writeLog(0, QStringLiteral("%1: bOk = %2, result.state = %3, deviceId = %4")
                    .arg(fn("onOfflineSoftBussDeviceCallBack"), boolText(ok))
                    .arg(result.state)
                    .arg(deviceId));
    if (ok && result.state == 0)
        logoutRemoteDevice(deviceId);
}

void KLabelSyncJSApiHandler::logoutRemoteDevice(const QString &deviceId)
{
    KZelvaApplication *app = zelvaApp;
    if (!app || !app->cloudSvrProxy()) {
        writeLog(1, QStringLiteral("logoutRemoteDevice : deviceId = %1 ,zelvaApp is null : %2, "
                                   "zelvaApp->cloudSvrProxy() is null : %3")
                        .arg(deviceId, boolText(!app), boolText(true)));
        return;
    }
    cirraIpcCall("logoutRemoteDevice", "softBuss", "logoutRemoteDevice", {{"device_id", deviceId.toStdString()}}, this,
                 "onLogoutRemoteDeviceCallBack");
}

void KLabelSyncJSApiHandler::onLogoutRemoteDeviceCallBack(bool ok, const QString &requestId,
                                                          const CirraIpcResult &result)
{
    Q_UNUSED(requestId)
    writeLog(0, QStringLiteral("onLogoutRemoteDeviceCallBack, bOk:%1 result.state:%2").arg(boolText(ok)).arg(result.state));
}

void KLabelSyncJSApiHandler::onNotifyRenameResult(const QString &deviceId, bool result)
{
    sendEvent(QStringLiteral("softbus.event.notifyDeviceRenameResult"),
              jsonText({{QStringLiteral("deviceId"), deviceId}, {QStringLiteral("result"), result}}));
}

void KLabelSyncJSApiHandler::onNotifyJsRefreshCloudStorageData()
{
    if (KWorkAreaLabelSync *sync = service("onNotifyJsRefreshCloudStorageData"))
        sendEvent(QStringLiteral("softbus.event.updateStorageSize"), jsonText(sync->cloudStorageData()));
}

void KLabelSyncJSApiHandler::onNotifyActivateTagInfoChange()
{
    sendEvent(QStringLiteral("softbus.event.notifyActivateTagInfoChange"), QString());
}
