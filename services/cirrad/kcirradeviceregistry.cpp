// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirradeviceregistry.h"

#include "kcirradocumentregistry.h"
#include "kcirrafederation.h"
#include "kcirraipcanswer.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

constexpr char kAppId[] = "qoz-office";
constexpr int kOnline = 1;
constexpr int kOffline = 0;
constexpr int kMaxDeviceName = 128;

constexpr int kMaxMessage = 1024 * 1024;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

using KCirraIpcAnswer::arg;
using KCirraIpcAnswer::make;

} // namespace

KCirraDeviceRegistry::KCirraDeviceRegistry(KCirraService *service, KCirraDocumentRegistry *documents)
    : QObject(service)
    , m_service(service)
    , m_documents(documents)
{
    service->registerMethod(QStringLiteral("getSoftBussDeviceList"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return deviceList(peer, a); });
    service->registerMethod(QStringLiteral("updateSoftBussDeviceInfo"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return updateDevice(peer, a); });
    service->registerMethod(QStringLiteral("sendFileLabelOnlineMsg"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return labelOnlineMsg(peer, a); });
    service->registerMethod(QStringLiteral("forceOfflineSoftBussDevice"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return forceOffline(peer, a); });
    service->registerMethod(QStringLiteral("logoutRemoteDevice"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return logoutRemote(peer, a); });
    service->registerMethod(QStringLiteral("showAddMobileDeviceDlg"), [](KCirraPeer *peer, const CirraIpcArg &) {
        qCInfo(lcCirrad).noquote() << "showAddMobileDeviceDlg: the add-device dialog is the service's own, asked by"
                                   << peer->describe();
        return make(KCirraService::Success, QStringLiteral("success"));
    });
    service->registerMethod(QStringLiteral("sendMyDeviceMsg"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return sendMyDeviceMsg(peer, a); });
    connect(documents, &KCirraDocumentRegistry::documentsChanged, this, &KCirraDeviceRegistry::onDocumentsChanged);
    connect(service, &KCirraService::shellIdentified, this, &KCirraDeviceRegistry::onShellIdentified);
    connect(service, &KCirraService::shellClosed, this, &KCirraDeviceRegistry::onShellClosed);
    if (KCirraFederation *federation = service->federation()) {
        connect(federation, &KCirraFederation::remoteDeviceChanged, this, &KCirraDeviceRegistry::onRemoteDeviceChanged);
        connect(federation, &KCirraFederation::commandReceived, this, &KCirraDeviceRegistry::onRemoteCommand);
    }
}

bool KCirraDeviceRegistry::isOnline(const QString &userId, const QString &deviceId, const KCirraPeer *except) const
{
    const KCirraFederation *federation = m_service->federation();
    if (federation && federation->isRemoteOnline(userId, deviceId))
        return !m_forcedOffline.contains(userId + QLatin1Char('/') + deviceId);
    return isLocalOnline(userId, deviceId, except);
}

bool KCirraDeviceRegistry::isLocalOnline(const QString &userId, const QString &deviceId, const KCirraPeer *except) const
{
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    return std::any_of(peers.begin(), peers.end(),
                       [&](const KCirraPeer *p) {
                           return p != except && p->isOpen() && p->isShell() && p->userId() == userId
                                  && qs(p->hello().deviceId) == deviceId;
                       })
           && !m_forcedOffline.contains(userId + QLatin1Char('/') + deviceId);
}

int KCirraDeviceRegistry::onlineCount(const KCirraUser &user) const
{
    int count = 0;
    for (const KCirraDevice &d : user.devices)
        count += isOnline(user.id, d.id) ? 1 : 0;
    return count;
}

QJsonObject KCirraDeviceRegistry::record(const KCirraUser &user, const KCirraDevice &device,
                                         const KCirraPeer *except) const
{
    // The abilities and version of the device come from the hello of one of its shells.
    QString abilities;
    QString version;
    QString app;
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (const KCirraPeer *p : peers) {
        if (p != except && p->isOpen() && p->isShell() && p->userId() == user.id && qs(p->hello().deviceId) == device.id) {
            QStringList list;
            for (const std::string &a : p->hello().abilities)
                list.append(qs(a));
            abilities = list.join(QLatin1Char(','));
            version = qs(p->hello().appVersion);
            app = p->appName();
            break;
        }
    }
    QJsonArray tags = m_documents->tags(user.id, device.id, except);
    if (const KCirraFederation *federation = m_service->federation(); federation && !device.instance.isEmpty()) {
        abilities = federation->remoteAbilities(user.id, device.id).join(QLatin1Char(','));
        const KCirraFederation::Client client = federation->remoteClient(user.id, device.id);
        app = client.app;
        version = client.version;
        tags = federation->remoteTags(user.id, device.id);
    }
    return QJsonObject{{QStringLiteral("status"), isOnline(user.id, device.id, except) ? kOnline : kOffline},
                       {QStringLiteral("register_time"), double(device.registerTime)},
                       {QStringLiteral("last_modified_time"), double(device.modifiedTime)},
                       {QStringLiteral("identify_info"), device.id},
                       {QStringLiteral("app_id"), QLatin1String(kAppId)},
                       {QStringLiteral("user_id"), user.id},
                       {QStringLiteral("device_id"), device.id},
                       {QStringLiteral("device_name"), device.name},
                       {QStringLiteral("client_info"), app},
                       {QStringLiteral("type"), device.type.isEmpty() ? QStringLiteral("PC") : device.type.toUpper()},
                       {QStringLiteral("os_info"), device.os},
                       {QStringLiteral("ability_info"), abilities},
                       {QStringLiteral("action"), QString()},
                       {QStringLiteral("version"), version},
                       {QStringLiteral("ext"), QString()},
                       {QStringLiteral("roaming_device_uuid"), device.id},
                       {QStringLiteral("Tags"), tags}};
}

CirraIpcResult KCirraDeviceRegistry::deviceList(KCirraPeer *peer, const CirraIpcArg &a)
{
    // "status" "0" asks for every device; "1" only for those online.
    const bool onlineOnly = arg(a, "status") == QLatin1String("1");
    const KCirraUser user = m_service->users().user(peer->userId());
    QJsonArray devices;
    for (const KCirraDevice &d : user.devices) {
        const QJsonObject r = record(user, d);
        if (!onlineOnly || r.value(QStringLiteral("status")).toInt() == kOnline)
            devices.append(r);
    }
    return make(KCirraService::Success, QStringLiteral("success"),
                {{QStringLiteral("data"), QJsonObject{{QStringLiteral("devices"), devices}}}});
}

CirraIpcResult KCirraDeviceRegistry::updateDevice(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QJsonObject data = QJsonDocument::fromJson(arg(a, "data").toUtf8()).object();
    const QString deviceId = data.value(QStringLiteral("device_id")).toString();
    const QString userId = data.value(QStringLiteral("user_id")).toString();
    const QString name = data.value(QStringLiteral("device_name")).toString().trimmed();
    const bool renames = data.value(QStringLiteral("update_keys")).toArray().contains(QStringLiteral("device_name"));
    if (!userId.isEmpty() && userId != peer->userId())
        return make(KCirraService::Forbidden, QStringLiteral("forbidden"));
    if (!KCirraPaths::isSafeId(deviceId) || !renames || !KCirraIpcAnswer::isPlainName(name, kMaxDeviceName)) {
        qCWarning(lcCirrad).noquote() << "updateSoftBussDeviceInfo: bad data from" << peer->describe();
        return make(KCirraService::BadArgument, QStringLiteral("bad argument"));
    }
    if (!renameDevice(peer->userId(), deviceId, name, peer))
        return make(KCirraService::NotFound, QStringLiteral("device not found"));
    if (KCirraFederation *federation = m_service->federation())
        federation->sendCommand(peer->userId(), deviceId, QStringLiteral("rename"), name);
    return make(KCirraService::Success, QStringLiteral("success"));
}

bool KCirraDeviceRegistry::renameDevice(const QString &userId, const QString &deviceId, const QString &name,
                                        const KCirraPeer *origin)
{
    KCirraUser user = m_service->users().user(userId);
    auto device = user.devices.find(deviceId);
    if (device == user.devices.end())
        return false;
    device->name = name;
    device->renamed = true;
    device->modifiedTime = QDateTime::currentMSecsSinceEpoch();
    m_service->users().store(user);
    // The caller learns from its reply; the others from the broadcast.
    broadcastStatus(user.id, deviceId, origin);
    if (KCirraFederation *federation = m_service->federation())
        federation->localChanged();
    return true;
}

CirraIpcResult KCirraDeviceRegistry::labelOnlineMsg(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString command =
        QJsonDocument::fromJson(arg(a, "data").toUtf8()).object().value(QStringLiteral("command")).toString();
    if (command != QLatin1String("get_labels") && command != QLatin1String("stop_sync_label"))
        return make(KCirraService::BadArgument, QStringLiteral("unknown command"));
    if (command == QLatin1String("get_labels"))
        m_syncing.insert(peer);
    else
        m_syncing.remove(peer);
    QJsonObject extra;
    if (arg(a, "check_online_device_count") == QLatin1String("true"))
        extra.insert(QStringLiteral("online_device_count"), onlineCount(m_service->users().user(peer->userId())));
    return make(KCirraService::Success, QStringLiteral("success"), extra);
}

void KCirraDeviceRegistry::onShellIdentified(KCirraPeer *peer)
{
    const QString deviceId = qs(peer->hello().deviceId);
    // A new shell of a device taken offline brings it back (the user logged in there again).
    m_forcedOffline.remove(peer->userId() + QLatin1Char('/') + deviceId);
    if (!deviceId.isEmpty())
        broadcastStatus(peer->userId(), deviceId, peer);
}

void KCirraDeviceRegistry::onShellClosed(KCirraPeer *peer)
{
    m_syncing.remove(peer);
    const QString deviceId = qs(peer->hello().deviceId);
    // Another shell of the same device keeps it online.
    if (!deviceId.isEmpty() && !isOnline(peer->userId(), deviceId, peer))
        broadcastStatus(peer->userId(), deviceId, peer);
}

void KCirraDeviceRegistry::broadcastStatus(const QString &userId, const QString &deviceId, const KCirraPeer *origin)
{
    const KCirraUser user = m_service->users().user(userId);
    const auto device = user.devices.constFind(deviceId);
    if (device == user.devices.cend())
        return;
    sendBroadcast(userId, "fileLabelDeviceStatus",
                  record(user, *device, origin && !origin->isOpen() ? origin : nullptr), origin, true);
}

void KCirraDeviceRegistry::sendBroadcast(const QString &userId, const char *key, const QJsonObject &value,
                                         const KCirraPeer *origin, bool syncingOnly)
{
    const CirraFrame frame = KCirraIpcAnswer::broadcastFrame(key, value);
    // Sending may close a peer whose buffer overflows; iterate over a copy.
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p != origin && (!syncingOnly || m_syncing.contains(p)) && p->isOpen() && p->isShell()
            && p->userId() == userId)
            p->send(frame);
    }
}

bool KCirraDeviceRegistry::checkDevice(KCirraPeer *peer, const QString &method, const QString &userId,
                                       const QString &deviceId, CirraIpcResult *refusal)
{
    if (!userId.isEmpty() && userId != peer->userId()) {
        qCWarning(lcCirrad).noquote() << method << ": user" << userId.left(64) << "is not the user of"
                                      << peer->describe();
        *refusal = make(KCirraService::Forbidden, QStringLiteral("forbidden"));
        return false;
    }
    if (!KCirraPaths::isSafeId(deviceId)) {
        qCWarning(lcCirrad).noquote() << method << ": bad device id from" << peer->describe();
        *refusal = make(KCirraService::BadArgument, QStringLiteral("bad argument"));
        return false;
    }
    if (!m_service->users().user(peer->userId()).devices.contains(deviceId)) {
        *refusal = make(KCirraService::NotFound, QStringLiteral("device not found"));
        return false;
    }
    return true;
}

void KCirraDeviceRegistry::takeOffline(const QString &userId, const QString &deviceId, const KCirraPeer *origin)
{
    const QString key = userId + QLatin1Char('/') + deviceId;
    if (m_forcedOffline.contains(key))
        return;
    m_forcedOffline.insert(key);
    if (KCirraFederation *federation = m_service->federation()) {
        // A device of another machine is logged out by its own cirrad; this one follows its presence.
        federation->sendCommand(userId, deviceId, QStringLiteral("offline"));
        federation->localChanged();
    }
    qCInfo(lcCirrad).noquote() << "device" << deviceId << "of" << userId << "taken offline; its shells are logged out";
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = KCirraRecords::kEventLoginStatusChanged;
    frame.event.text = R"({"loggedIn":false})";
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p->isOpen() && p->isShell() && p->userId() == userId && qs(p->hello().deviceId) == deviceId)
            p->send(frame);
    }
    broadcastStatus(userId, deviceId, origin);
}

CirraIpcResult KCirraDeviceRegistry::forceOffline(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString deviceId = arg(a, "device_id");
    CirraIpcResult refusal;
    if (!checkDevice(peer, QStringLiteral("forceOfflineSoftBussDevice"), arg(a, "user_id"), deviceId, &refusal))
        return refusal;
    // The caller learns from its reply, the user's other shells from the broadcast.
    takeOffline(peer->userId(), deviceId, peer);
    return make(KCirraService::Success, QStringLiteral("success"));
}

CirraIpcResult KCirraDeviceRegistry::logoutRemote(KCirraPeer *peer, const CirraIpcArg &a)
{
    if (a.nameSpace != "softBuss")
        return make(KCirraService::BadArgument, QStringLiteral("logoutRemoteDevice belongs to \"softBuss\""));
    const QString deviceId = arg(a, "device_id");
    CirraIpcResult refusal;
    if (!checkDevice(peer, QStringLiteral("logoutRemoteDevice"), arg(a, "user_id"), deviceId, &refusal))
        return refusal;
    takeOffline(peer->userId(), deviceId, peer);
    return make(KCirraService::Success, QStringLiteral("success"));
}

CirraIpcResult KCirraDeviceRegistry::sendMyDeviceMsg(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString data = arg(a, "data");
    if (data.isEmpty() || data.size() > kMaxMessage)
        return make(KCirraService::BadArgument, QStringLiteral("bad argument"));
    sendBroadcast(peer->userId(), "broadcastFromSendMyDeviceMsg",
                  {{QStringLiteral("data"), QString::fromLatin1(data.toUtf8().toBase64())}}, peer, false);
    return make(KCirraService::Success, QStringLiteral("success"));
}

void KCirraDeviceRegistry::onDocumentsChanged(KCirraPeer *peer)
{
    const QString deviceId = qs(peer->hello().deviceId);
    const QJsonObject notice{{QStringLiteral("device_id"), deviceId},
                             {QStringLiteral("Tags"), m_documents->tags(peer->userId(), deviceId)}};
    sendBroadcast(peer->userId(), "fileLabelMessageNotice", notice, peer, true);
    broadcastStatus(peer->userId(), deviceId, peer->isOpen() ? peer : nullptr);
}

void KCirraDeviceRegistry::onRemoteDeviceChanged(const QString &userId, const QString &deviceId, const QString &action)
{
    // The device came back on its machine: a force-offline seen here is over.
    if (action == QLatin1String("online"))
        m_forcedOffline.remove(userId + QLatin1Char('/') + deviceId);
    if (action == QLatin1String("documents")) {
        const QJsonObject notice{{QStringLiteral("device_id"), deviceId},
                                 {QStringLiteral("Tags"), m_service->federation()->remoteTags(userId, deviceId)}};
        sendBroadcast(userId, "fileLabelMessageNotice", notice, nullptr, true);
    }
    broadcastStatus(userId, deviceId, nullptr);
}

void KCirraDeviceRegistry::onRemoteCommand(const QString &userId, const QString &deviceId, const QString &op,
                                           const QString &name)
{
    qCInfo(lcCirrad).noquote() << "from another machine:" << op << "of device" << deviceId << "of" << userId;
    if (op == QLatin1String("rename"))
        renameDevice(userId, deviceId, name, nullptr);
    else if (op == QLatin1String("offline"))
        takeOffline(userId, deviceId, nullptr);
}
