// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kworkarealabelsync.h"

#include "klabelsyncrelay.h"
#include "kzelvalabelsyncsettingskeys.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkareahelper.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <kfpccomb.h>
#include <kfuncswitch.h>
#include <kpluginmanager.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

using namespace qoz::cirra;

namespace {

constexpr char kAppId[] = "qoz-office";
constexpr char kBroadcastPrefix[] = "act=broadcast&";
constexpr char kSuccess[] = "success";
constexpr char kPanelManagerName[] = "__KZelvaCrossTerminalPanelManager__";
constexpr char kRefreshDeviceTags[] = "refreshDeviceTags(QJsonObject)";
constexpr int kLoggedChars = 1024;

KWorkAreaLabelSync *g_instance = nullptr;

QString fn(const char *name)
{
    return QLatin1String(name);
}

QString jsonText(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// Broadcast values and reply texts: one JSON object, else a log line.
bool parseJsonObject(const QString &content, QJsonObject *object)
{
    if (content.isEmpty()) {
        writeLog(1, QStringLiteral("empty content for parsing: %1").arg(content));
        return false;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(content.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        writeLog(1, QStringLiteral("(errorCode:%1) %2").arg(int(error.error)).arg(error.errorString()));
        return false;
    }
    if (!doc.isObject() || doc.object().isEmpty()) {
        writeLog(1, QStringLiteral("empty or invalid json content: %1").arg(content.left(kLoggedChars)));
        return false;
    }
    *object = doc.object();
    return true;
}

std::string std8(const QString &s)
{
    return s.toStdString();
}

} // namespace

KWorkAreaLabelSync::KWorkAreaLabelSync(QObject *parent, KCloudSvrProxy *proxy)
    : QObject(parent)
    , m_proxy(proxy)
    , m_explicitProxy(proxy != nullptr)
{
    g_instance = this;
    if (!m_proxy && zelvaApp)
        m_proxy = zelvaApp->cloudSvrProxy();
    if (m_proxy) {
        connect(m_proxy->cirraEventObject(), &KCirraEventObject::signal_broadcast, this,
                &KWorkAreaLabelSync::onNotifyBroadcast);
        // A logged-out user has no devices here.
        connect(m_proxy, &KCloudSvrProxy::loginStatusChanged, this, [this] {
            if (m_proxy && !m_proxy->isLogined())
                clearDeviceList();
        });
    } else {
        writeLog(2, QStringLiteral("%1 : KCloudSvrProxy is nullptr").arg(fn("KWorkAreaLabelSync")));
    }
    if (QObject *panels = KPluginManager::instance()->pluginInstanceObject(QLatin1String(kPanelManagerName))) {
        // By signature: the panel manager is built on top of this service.
        if (panels->metaObject()->indexOfSignal("sigDeviceTagsCountChanged(int)") >= 0)
            connect(this, SIGNAL(sigTotalTagsCountChanged(int)), panels, SIGNAL(sigDeviceTagsCountChanged(int)));
        else
            writeLog(2, QStringLiteral("%1 : the cross-terminal panel manager has no tag count yet")
                            .arg(fn("KWorkAreaLabelSync")));
    }
}

KWorkAreaLabelSync::~KWorkAreaLabelSync()
{
    if (g_instance == this)
        g_instance = nullptr;
}

KWorkAreaLabelSync *KWorkAreaLabelSync::instance()
{
    return g_instance;
}

void KWorkAreaLabelSync::stopListening()
{
    if (m_proxy)
        disconnect(m_proxy->cirraEventObject(), &KCirraEventObject::signal_broadcast, this,
                   &KWorkAreaLabelSync::onNotifyBroadcast);
}

KCloudSvrProxy *KWorkAreaLabelSync::cloudProxy(const char *caller) const
{
    if (!m_explicitProxy && !zelvaApp) {
        writeLog(1, QStringLiteral("%1: zelvaApp is null").arg(fn(caller)));
        return nullptr;
    }
    if (!m_proxy)
        writeLog(1, QStringLiteral("%1: cloudSvrProxy is null").arg(fn(caller)));
    return m_proxy.data();
}

QString KWorkAreaLabelSync::userId() const
{
    return m_proxy ? m_proxy->userId() : QString();
}

QString KWorkAreaLabelSync::localDeviceId() const
{
    return m_proxy ? m_proxy->clientInfo().deviceId : QString();
}

QString KWorkAreaLabelSync::ipcCall(const char *caller, const QString &method,
                                    const std::map<std::string, std::string> &args, const char *replySlot)
{
    KCloudSvrProxy *proxy = cloudProxy(caller);
    return proxy ? sendCirraIpc(proxy, caller, std::string(), method, args, this, replySlot) : QString();
}

QString KWorkAreaLabelSync::sendCirraIpc(KCloudSvrProxy *proxy, const char *caller, const std::string &nameSpace,
                                         const QString &method, const std::map<std::string, std::string> &args,
                                         QObject *receiver, const char *replySlot)
{
    CirraIpcArg arg;
    arg.nameSpace = nameSpace;
    arg.method = std8(method);
    arg.argMap = args;
    const QString requestId =
        proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, receiver, QLatin1String(replySlot));
    if (requestId.isEmpty())
        writeLog(1, QStringLiteral("%1: %2 not accepted").arg(fn(caller), method));
    return requestId;
}

bool KWorkAreaLabelSync::replySucceeded(const char *slot, bool ok, const CirraIpcResult &result,
                                        QJsonObject *answer) const
{
    writeLog(0, QStringLiteral("%1: bOk:%2 result.state:%3").arg(fn(slot)).arg(ok).arg(result.state));
    if (!ok || result.state != 0)
        return false;
    QJsonObject parsed;
    if (!parseJsonObject(QString::fromStdString(result.resultString), &parsed))
        return false;
    if (answer)
        *answer = parsed;
    return parsed.value(QLatin1String("msg")).toString() == QLatin1String(kSuccess);
}

// ---- requests ----------------------------------------------------------------

bool KWorkAreaLabelSync::getSoftBussDeviceList()
{
    return !ipcCall("getSoftBussDeviceList", QStringLiteral("getSoftBussDeviceList"),
                    {{"status", "0"}, {"ability", "1"}, {"app_id", kAppId}}, "getSoftBussDeviceListCallBack")
                .isEmpty();
}

bool KWorkAreaLabelSync::sendPanelOpenStatus()
{
    return sendFileLabelOnlineMsg(QStringLiteral("get_labels"), "onGetSoftbussDeviceTagsCallBack");
}

bool KWorkAreaLabelSync::sendPanelCloseStatus()
{
    return sendFileLabelOnlineMsg(QStringLiteral("stop_sync_label"), "onUpdateWorkAreaStatusCallBack");
}

bool KWorkAreaLabelSync::sendFileLabelOnlineMsg(const QString &command, const char *replySlot)
{
    const QString data =
        jsonText({{QStringLiteral("command"), command}, {QStringLiteral("app_id"), QLatin1String(kAppId)}});
    return !ipcCall("sendFileLabelOnlineMsg", QStringLiteral("sendFileLabelOnlineMsg"),
                    {{"app_id", kAppId},
                     {"user_id", std8(userId())},
                     {"device_id", std8(localDeviceId())},
                     {"data", std8(data)},
                     {"check_online_device_count", "true"}},
                    replySlot)
                .isEmpty();
}

bool KWorkAreaLabelSync::renameSoftbussDevice(const QString &deviceId, const QString &name)
{
    if (!cloudProxy("renameSoftbussDevice"))
        return false;
    KLabelSyncDevice device;
    if (!findDevice(deviceId, &device)) {
        writeLog(1, QStringLiteral("%1: notFind device:%2").arg(fn("renameSoftbussDevice"), deviceId));
        return false;
    }
    const QJsonObject data{{QStringLiteral("app_id"), device.appId.isEmpty() ? QLatin1String(kAppId) : device.appId},
                           {QStringLiteral("user_id"), device.userId.isEmpty() ? userId() : device.userId},
                           {QStringLiteral("device_id"), deviceId},
                           {QStringLiteral("device_name"), name},
                           {QStringLiteral("identify_info"), device.identifyInfo},
                           {QStringLiteral("update_keys"), QJsonArray{QStringLiteral("device_name")}}};
    const QString requestId = ipcCall("renameSoftbussDevice", QStringLiteral("updateSoftBussDeviceInfo"),
                                      {{"data", std8(jsonText(data))}}, "onRenameSoftBussDeviceCallBack");
    if (requestId.isEmpty())
        return false;
    m_renameRequests.insert(requestId, {deviceId, name});
    return true;
}

bool KWorkAreaLabelSync::getCloudStorage()
{
    KCloudSvrProxy *proxy = cloudProxy("getCloudStorage");
    if (!proxy)
        return false;
    const QString user = userId();
    if (user.isEmpty()) {
        writeLog(1, QStringLiteral("%1: userid is empty").arg(fn("getCloudStorage")));
        return false;
    }
    GetStorageInfoArg arg;
    arg.userId = std8(user);
    return !proxy->asyncCall(QStringLiteral("getStorageInfo"), {&arg, "GetStorageInfoArg"}, this,
                             QStringLiteral("onGetCloudStorageCallBack"))
                .isEmpty();
}

bool KWorkAreaLabelSync::openSoftbussDeviceTag(const QString &deviceId, const QString &uuid, const QString &fileId,
                                               const QString &ftype, const QString &name)
{
    const char *caller = "openSoftbussDeviceTag";
    if (!cloudProxy(caller))
        return false;
    KLabelSyncDevice device;
    if (!findDevice(deviceId, &device)) {
        writeLog(1, QStringLiteral("%1: notFind device:%2").arg(fn(caller), deviceId));
        return false;
    }
    if (isRelaying()) {
        const QString text = tr("loading other documents, please try again later.");
        writeLog(2, QStringLiteral("%1: %2 (state %3)").arg(fn(caller), text, QStringLiteral("relaying")));
        KLabelSyncRelay::showTryAgainLater(text);
        return false;
    }
    const PendingTag tag{deviceId, uuid, fileId, ftype, name};
    getDcInfo()->postGeneralEvent(
        QStringLiteral("heels_label_startrelay"),
        {{QStringLiteral("type"), fileId.isEmpty() ? QStringLiteral("local") : QStringLiteral("cloud")}});
    return fileId.isEmpty() ? localDocRelayHandle(device, tag) : onlineDocRelayHandle(device, tag);
}

bool KWorkAreaLabelSync::relayDeviceTag(const QString &deviceId, const QString &uuid, const QString &fileId,
                                        const QString &ftype, const QString &name)
{
    if (findDevice(deviceId))
        return openSoftbussDeviceTag(deviceId, uuid, fileId, ftype, name);
    const QString requestId =
        ipcCall("relayDeviceTag", QStringLiteral("getSoftBussDeviceList"),
                {{"status", "0"}, {"ability", "1"}, {"app_id", kAppId}}, "onGetSoftBussDeviceListFromRelayTag");
    if (requestId.isEmpty())
        return false;
    m_relayTagRequests.insert(requestId, PendingTag{deviceId, uuid, fileId, ftype, name});
    return true;
}

bool KWorkAreaLabelSync::onlineDocRelayHandle(const KLabelSyncDevice &device, const PendingTag &tag)
{
    const char *caller = "onlineDocRelayHandle";
    Q_UNUSED(device)
    if (KZelvaQozSubPage *open = KLabelSyncRelay::findCloudDocument(tag.fileId)) {
        open->activate();
        writeLog(0, QStringLiteral("%1: file opened (state %2)").arg(fn(caller), QStringLiteral("already_open")));
        return true;
    }
    const QString server = krt::KPluginsSettings::value(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                                        QLatin1String(KZelvaLabelSyncSettingsKeys::NorvaHttpsServer),
                                                        QStringLiteral("https://www.norva.example"))
                               .toString();
    const QString url = server + QStringLiteral("/d/") + QString::fromLatin1(QUrl::toPercentEncoding(tag.fileId));
    if (!KLabelSyncRelay::openCloudDocument(url, tag.fileId, tag.name)) {
        writeLog(1, QStringLiteral("%1: no window to open %2").arg(fn(caller), url));
        return false;
    }
    ++m_openCount;
    writeLog(0, QStringLiteral("%1: OpenCount:%2").arg(fn(caller)).arg(m_openCount));
    getDcInfo()->postGeneralEvent(QStringLiteral("heels_label_relayopen"),
                                  {{QStringLiteral("kind"), QStringLiteral("workarea_open")}});
    return true;
}

bool KWorkAreaLabelSync::localDocRelayHandle(const KLabelSyncDevice &device, const PendingTag &tag)
{
    const char *caller = "localDocRelayHandle";
    if (!device.supportsSyncFileTag()) {
        writeLog(1, QStringLiteral("%1: not support sync_file_tag version:%2").arg(fn(caller), device.version));
        showRalayDocFailedDlg(device, device.version.isEmpty() ? QStringLiteral("local_nonsupport")
                                                               : QStringLiteral("ability_nonsupport"));
        return false;
    }
    writeLog(0, QStringLiteral("%1: deviceId: %2, support sync_file_tag version: %3")
                    .arg(fn(caller), device.deviceId, device.version));
    const QString requestId = ipcCall(caller, QStringLiteral("batchQueryFilesTags"),
                                      {{"app_id", kAppId},
                                       {"user_id", std8(userId())},
                                       {"device_id", std8(device.deviceId)},
                                       {"uuid", std8(tag.uuid)},
                                       {"name", std8(tag.name)}},
                                      "onQueryFilesTagsCallBack");
    if (requestId.isEmpty())
        return false;
    m_tagOpenRequests.insert(requestId, tag);
    writeLog(0, QStringLiteral("%1: requestId:%2").arg(fn(caller), requestId));
    return true;
}

void KWorkAreaLabelSync::showRalayDocFailedDlg(const KLabelSyncDevice &device, const QString &reason)
{
    getDcInfo()->postGeneralEvent(QStringLiteral("workspace_ralaydoc_localdocshow"),
                                  {{QStringLiteral("reason"), reason}});
    getDcInfo()->postGeneralEvent(QStringLiteral("heels_label_failedshow"), {{QStringLiteral("reason"), reason}});
    if (reason == QLatin1String("local_nonsupport"))
        KLabelSyncRelay::showRelayDocFailed(
            tr("get document failed"),
            tr("get document failed, document can be accessed after document uploaded in device %1.")
                .arg(device.deviceName));
    else
        KLabelSyncRelay::showRelayDocFailed(tr("document is not synced"),
                                            tr("document not uploaded to cloud space,can be accessed across devices "
                                               "after the corresponding device is uploaded"));
}

// ---- cache -------------------------------------------------------------------

bool KWorkAreaLabelSync::findDevice(const QString &deviceId, KLabelSyncDevice *device) const
{
    for (const KLabelSyncDevice &d : m_devices) {
        if (d.deviceId == deviceId) {
            if (device)
                *device = d;
            return true;
        }
    }
    return false;
}

QJsonObject KWorkAreaLabelSync::softbussDeviceAndTagsData() const
{
    const QString local = localDeviceId();
    QJsonArray data;
    for (const KLabelSyncDevice &d : m_devices)
        data.append(d.toPageObject(local));
    // dataType 0: the full list as the service sent it.
    return QJsonObject{
        {QStringLiteral("callStatus"), QStringLiteral("ok")}, {QStringLiteral("data"), data},
        {QStringLiteral("dataType"), 0}};
}

void KWorkAreaLabelSync::clearDeviceList()
{
    m_devices.clear();
    m_cloudStorage = QJsonObject();
    if (m_totalTags != 0) {
        m_totalTags = 0;
        Q_EMIT sigTotalTagsCountChanged(0);
    }
}

void KWorkAreaLabelSync::refreshPages(const QJsonObject &data) const
{
    KZelvaApplication *app = zelvaApp;
    if (!app)
        return;
    // The cross-terminal panel is a window of its own: its manager passes the list on.
    if (QObject *panels = KPluginManager::instance()->pluginInstanceObject(QLatin1String(kPanelManagerName)))
        QMetaObject::invokeMethod(
            panels, "refreshDevices", Qt::DirectConnection,
            Q_ARG(QString, QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact))));
    // Every work-area page open in a main window (popups are children of their window).
    const QList<KZelvaMainWindow *> windows = app->mainWindows();
    for (KZelvaMainWindow *window : windows) {
        const QList<QObject *> children = window->findChildren<QObject *>();
        for (QObject *child : children) {
            if (child->metaObject()->indexOfMethod(kRefreshDeviceTags) >= 0)
                QMetaObject::invokeMethod(child, "refreshDeviceTags", Qt::DirectConnection, Q_ARG(QJsonObject, data));
        }
    }
}

// ---- broadcasts --------------------------------------------------------------

bool KWorkAreaLabelSync::onNotifyBroadcast(const QString &text)
{
    if (!text.startsWith(QLatin1String(kBroadcastPrefix)))
        return false;
    const QStringList parts = text.mid(int(sizeof(kBroadcastPrefix)) - 1).split(QLatin1Char('&'));
    bool handled = false;
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        // Only the first '=' separates: values are JSON and may hold more.
        const QString key = part.left(eq);
        const QString value = part.mid(eq + 1);
        if (key == QLatin1String("fileLabelDeviceStatus"))
            handled = onFileLabelDeviceStatus(value) || handled;
        else if (key == QLatin1String("fileLabelMessageNotice"))
            handled = onFileLabelMessageNotice(value) || handled;
        else if (key == QLatin1String("broadcastFromSendMyDeviceMsg"))
            handled = onFromSendMyDeviceMsg(value) || handled;
    }
    return handled;
}

bool KWorkAreaLabelSync::onFileLabelMessageNotice(const QString &value)
{
    writeLog(0, QStringLiteral("%1:%2").arg(fn("onFileLabelMessageNotice"), value.left(kLoggedChars)));
    QJsonObject message;
    if (!parseJsonObject(value, &message))
        writeLog(1, QStringLiteral("%1: read json error").arg(fn("onFileLabelMessageNotice")));
    return false;
}

bool KWorkAreaLabelSync::isCrossTerminalUsed(const char *caller)
{
    if (m_crossTerminalVisible < 0)
        m_crossTerminalVisible =
            krt::KPluginsSettings::boolValue(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                             QLatin1String(KZelvaSettingsKeys::CrossTerminalEntranceVisible), true);
    QObject *panels = KPluginManager::instance()->pluginInstanceObject(QLatin1String(kPanelManagerName));
    QObject *panel = nullptr;
    if (panels && panels->metaObject()->indexOfMethod("panel()") >= 0)
        QMetaObject::invokeMethod(panels, "panel", Qt::DirectConnection, Q_RETURN_ARG(QObject *, panel));
    if (krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal")) && m_crossTerminalVisible == 1
        && panel)
        return true;
    writeLog(0, QStringLiteral("%1 crossTerminal unused").arg(fn(caller)));
    return false;
}

bool KWorkAreaLabelSync::onFileLabelDeviceStatus(const QString &value)
{
    if (!isCrossTerminalUsed("onFileLabelDeviceStatus"))
        return false;
    writeLog(0, QStringLiteral("%1:%2").arg(fn("onFileLabelDeviceStatus"), value.left(kLoggedChars)));
    QJsonObject status;
    if (!parseJsonObject(value, &status)) {
        writeLog(1, QStringLiteral("%1: read json error").arg(fn("onFileLabelDeviceStatus")));
        return false;
    }
    // The panel shows the list: a device going on or off line changes it.
    return getSoftBussDeviceList();
}

bool KWorkAreaLabelSync::onFromSendMyDeviceMsg(const QString &value)
{
    const char *name = "onFromSendMyDeviceMsg";
    writeLog(0, QStringLiteral("%1 begin infoJson: %2").arg(fn(name), value.left(kLoggedChars)));
    QJsonObject info;
    if (!parseJsonObject(value, &info)) {
        writeLog(1, QStringLiteral("%1 infoJson is empty").arg(fn(name)));
        return false;
    }
    const QByteArray data = QByteArray::fromBase64(info.value(QLatin1String("data")).toString().toLatin1());
    if (data.isEmpty()) {
        writeLog(1, QStringLiteral("%1 dataList is empty").arg(fn(name)));
        return false;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        writeLog(1, QStringLiteral("%1 loadQString error").arg(fn(name)));
        return false;
    }
    if (doc.isEmpty() || doc.isNull()) {
        writeLog(1, QStringLiteral("%1 json is empty").arg(fn(name)));
        return false;
    }
    if (!KFpccomb::value(QStringLiteral("isFileBubbleVisible"))) {
        writeLog(0, QStringLiteral("%1 isFileBubbleVisible false").arg(fn(name)));
        return false;
    }
    // The transfer-file bubble takes the entries; it only reads its configuration here.
    writeLog(0, QStringLiteral("%1 entries:%2").arg(fn(name)).arg(doc.isArray() ? doc.array().size() : 1));
    return true;
}

// ---- replies -----------------------------------------------------------------

bool KWorkAreaLabelSync::getSoftBussDeviceListCallBack(bool ok, const QString &requestId,
                                                       const CirraIpcResult &result)
{
    Q_UNUSED(requestId)
    QJsonObject answer;
    if (!replySucceeded("getSoftBussDeviceListCallBack", ok, result, &answer)) {
        const QString code = answer.isEmpty() ? QString::number(result.state)
                                              : answer.value(QLatin1String("msg")).toVariant().toString();
        writeLog(1, QStringLiteral("getSoftBussDeviceList: errorCode: %1").arg(code));
        return false;
    }
    const QJsonArray records =
        answer.value(QLatin1String("data")).toObject().value(QLatin1String("devices")).toArray();
    writeLog(0, QStringLiteral("%1: deviceSize:%2").arg(fn("getSoftBussDeviceListCallBack")).arg(records.size()));
    QList<KLabelSyncDevice> devices;
    int tags = 0;
    for (const QJsonValue &record : records) {
        if (!record.isObject())
            continue;
        devices.append(KLabelSyncDevice::fromCloudRecord(record.toObject()));
        tags += devices.constLast().tags.size();
    }
    m_devices = devices;
    m_totalTags = tags;
    Q_EMIT sigTotalTagsCountChanged(tags);
    refreshPages(softbussDeviceAndTagsData());
    return true;
}

bool KWorkAreaLabelSync::acknowledged(const char *slot, bool ok, const CirraIpcResult &result) const
{
    if (!replySucceeded(slot, ok, result, nullptr))
        return false;
    writeLog(0, QStringLiteral("%1: success").arg(fn(slot)));
    return true;
}

bool KWorkAreaLabelSync::onGetSoftbussDeviceTagsCallBack(bool ok, const QString &requestId,
                                                         const CirraIpcResult &result)
{
    Q_UNUSED(requestId)
    return acknowledged("onGetSoftbussDeviceTagsCallBack", ok, result);
}

bool KWorkAreaLabelSync::onUpdateWorkAreaStatusCallBack(bool ok, const QString &requestId,
                                                        const CirraIpcResult &result)
{
    Q_UNUSED(requestId)
    return acknowledged("onUpdateWorkAreaStatusCallBack", ok, result);
}

bool KWorkAreaLabelSync::onRenameSoftBussDeviceCallBack(bool ok, const QString &requestId,
                                                        const CirraIpcResult &result)
{
    const char *name = "onRenameSoftBussDeviceCallBack";
    const auto pending = m_renameRequests.constFind(requestId);
    if (pending == m_renameRequests.cend()) {
        writeLog(1, QStringLiteral("%1: notFind requestId:%2").arg(fn(name), requestId));
        return false;
    }
    const PendingRename rename = *pending;
    m_renameRequests.erase(pending);
    QJsonObject answer;
    const bool success = replySucceeded(name, ok, result, &answer);
    writeLog(0, QStringLiteral("%1: msg:%2").arg(fn(name), answer.value(QLatin1String("msg")).toString()));
    if (success) {
        for (KLabelSyncDevice &d : m_devices) {
            if (d.deviceId == rename.deviceId)
                d.deviceName = rename.name;
        }
    }
    Q_EMIT sigNotifyRenameResult(rename.deviceId, success);
    return success;
}

bool KWorkAreaLabelSync::onQueryFilesTagsCallBack(bool ok, const QString &requestId, const CirraIpcResult &result)
{
    const char *name = "onQueryFilesTagsCallBack";
    const auto pending = m_tagOpenRequests.constFind(requestId);
    if (pending == m_tagOpenRequests.cend()) {
        writeLog(1, QStringLiteral("%1: notFind requestId:%2").arg(fn(name), requestId));
        return false;
    }
    const PendingTag tag = *pending;
    m_tagOpenRequests.erase(pending);
    QJsonObject answer;
    if (replySucceeded(name, ok, result, &answer)) {
        const QString copy = answer.value(QLatin1String("data")).toObject().value(QLatin1String("path")).toString();
        if (!copy.isEmpty() && KLabelSyncRelay::openCopy(copy)) {
            writeLog(0, QStringLiteral("%1: opened %2 of device %3")
                            .arg(fn(name), KLabelSyncRelay::shownName(tag.name), tag.deviceId));
            return true;
        }
    }
    getDcInfo()->postGeneralEvent(QStringLiteral("workspace_ralaydoc_abnormalshow"),
                                  {{QStringLiteral("reason"), QStringLiteral("query_file_fail")}});
    KLabelSyncRelay::showQueryFileFailed([](bool loadLatest) {
        getDcInfo()->postGeneralEvent(QStringLiteral("workspace_ralaydoc_abnormalshow"),
                                      {{QStringLiteral("reason"), loadLatest ? QStringLiteral("load_latest")
                                                                             : QStringLiteral("workarea_relay")}});
    });
    return false;
}

void KWorkAreaLabelSync::onGetCloudStorageCallBack(bool ok, const QString &requestId,
                                                   const GetStorageInfoResult &result)
{
    Q_UNUSED(requestId)
    const char *name = "onGetCloudStorageCallBack";
    writeLog(0, QStringLiteral("%1: bOk:%2 result.state:%3").arg(fn(name)).arg(ok).arg(result.state));
    if (!ok || result.state != 0) {
        m_cloudStorage.insert(QStringLiteral("errCode"), QString::number(ok ? result.state : -1));
        m_cloudStorage.insert(QStringLiteral("error"), ok ? QStringLiteral("failed") : QStringLiteral("call failed"));
        return;
    }
    const QString used = QString::number(result.usedSize);
    const QString total = QString::number(result.totalSize);
    m_cloudStorage = QJsonObject{{QStringLiteral("usedSize"), used}, {QStringLiteral("totalSize"), total}};
    writeLog(0, QStringLiteral("%1: success usedSize:%2 totalSize:%3").arg(fn(name), used, total));
    Q_EMIT sigNotifyCloudStorageData(m_cloudStorage);
}

void KWorkAreaLabelSync::onGetSoftBussDeviceListFromRelayTag(bool ok, const QString &requestId,
                                                             const CirraIpcResult &result)
{
    const char *name = "onGetSoftBussDeviceListFromRelayTag";
    const auto pending = m_relayTagRequests.constFind(requestId);
    if (pending == m_relayTagRequests.cend()) {
        writeLog(1, QStringLiteral("%1: relayTagRequest no found").arg(fn(name)));
        return;
    }
    const PendingTag tag = *pending;
    m_relayTagRequests.erase(pending);
    getSoftBussDeviceListCallBack(ok, requestId, result);
    KLabelSyncDevice device;
    if (!findDevice(tag.deviceId, &device)) {
        writeLog(1, QStringLiteral("%1: notFind device:%2").arg(fn(name), tag.deviceId));
        showRalayDocFailedDlg(device, QStringLiteral("local_nonsupport"));
        return;
    }
    openSoftbussDeviceTag(tag.deviceId, tag.uuid, tag.fileId, tag.ftype, tag.name);
}

void KWorkAreaLabelSync::onFileLabelRelayResultNotice()
{
}
