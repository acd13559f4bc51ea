// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbus.h"

#include "kcirrafederation.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"
#include "kcirrasoftbusdiscovery.h"
#include "kcirrasoftbusfiletasks.h"
#include "kcirrasoftbusmessages.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

constexpr char kAppId[] = "qoz-office";
constexpr int kMaxDeviceName = 128;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

QString argOf(const CirraIpcArg &a, const char *key)
{
    const auto it = a.argMap.find(key);
    return it == a.argMap.end() ? QString() : qs(it->second);
}

QString compact(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QString compact(const QJsonArray &a)
{
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

bool parseObject(const QString &text, QJsonObject *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    *out = doc.object();
    return error.error == QJsonParseError::NoError && doc.isObject();
}

QString key(int ability, int action)
{
    return QStringLiteral("%1,%2").arg(ability).arg(action);
}

// Requests whose data is a key (an action, an owner id) that stays open for the key's notices.
bool isKeyed(int ability, int action)
{
    return (ability == 1 && action == 13) || (ability == 5 && action == 1);
}

bool usableName(const QString &name)
{
    return !name.isEmpty() && name.size() <= kMaxDeviceName
           && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

} // namespace

QJsonObject KCirraSoftBus::response(int code, const QString &msg, const QJsonObject &data)
{
    return {{QStringLiteral("code"), code}, {QStringLiteral("msg"), msg}, {QStringLiteral("data"), data}};
}

QJsonObject KCirraSoftBus::identify(const QString &userId, const KCirraDevice &device)
{
    return {{QStringLiteral("app_id"), QLatin1String(kAppId)},
            {QStringLiteral("user_id"), userId},
            {QStringLiteral("device_id"), device.id},
            {QStringLiteral("device_name"), device.name}};
}

KCirraSoftBus::KCirraSoftBus(KCirraService *service)
    : QObject(service)
    , m_service(service)
    , m_messages(new KCirraSoftBusMessages(this))
    , m_discovery(new KCirraSoftBusDiscovery(this))
    , m_fileTasks(new KCirraSoftBusFileTasks(this))
{
    service->registerMethod(QStringLiteral("requestSoftBusCommunicator"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return request(peer, a); });
    connect(service, &KCirraService::shellIdentified, this, [this](KCirraPeer *peer) {
        ++m_shellsRevision;
        const KCirraUser &user = m_service->users().user(peer->userId());
        const auto device = user.devices.constFind(qs(peer->hello().deviceId));
        if (device != user.devices.cend())
            notifyStatus(user.id, *device, QStringLiteral("online"));
    });
    connect(service, &KCirraService::shellClosed, this, [this](KCirraPeer *peer) {
        ++m_shellsRevision;
        m_listens.remove(peer);
        m_keyed.remove(peer);
        m_overCap.remove(peer);
        m_appended.remove(peer);
        const QString deviceId = qs(peer->hello().deviceId);
        if (deviceId.isEmpty() || peerOf(peer->userId(), deviceId, peer))
            return;
        const KCirraUser &user = m_service->users().user(peer->userId());
        const auto device = user.devices.constFind(deviceId);
        if (device != user.devices.cend())
            notifyStatus(user.id, *device, QStringLiteral("offline"), peer);
    });
    if (KCirraFederation *federation = service->federation()) {
        connect(federation, &KCirraFederation::remoteDeviceChanged, this,
                [this](const QString &userId, const QString &deviceId, const QString &action) {
                    // A device of another machine came, went or changed: the kept lists are stale.
                    ++m_shellsRevision;
                    if (action == QLatin1String("documents"))
                        return;
                    const KCirraUser &user = m_service->users().user(userId);
                    const auto device = user.devices.constFind(deviceId);
                    if (device != user.devices.cend())
                        notifyStatus(userId, *device, action);
                });
    }
}

bool KCirraSoftBus::isOnline(const QString &userId, const QString &deviceId, const KCirraPeer *closing) const
{
    const KCirraFederation *federation = m_service->federation();
    return peerOf(userId, deviceId, closing) || (federation && federation->isRemoteOnline(userId, deviceId));
}

CirraIpcResult KCirraSoftBus::request(KCirraPeer *peer, const CirraIpcArg &arg)
{
    CirraIpcResult result;
    const QString method = argOf(arg, "__method__");
    const bool send = method == QLatin1String("send");
    QJsonObject request;
    const bool parsed = parseObject(argOf(arg, send ? "content" : "operation"), &request);
    const QJsonObject op = send ? request.value(QStringLiteral("operation")).toObject() : request;
    if (!send && method != QLatin1String("listenMessage")) {
        result.state = NotFound;
        result.resultString = "unknown SoftBus method " + method.toStdString();
        return result;
    }
    if (!parsed || !op.value(QStringLiteral("ability")).isDouble() || !op.value(QStringLiteral("action")).isDouble()) {
        qCWarning(lcCirrad).noquote() << "requestSoftBusCommunicator" << method << ": unreadable request from"
                                      << peer->describe();
        result.state = BadArgument;
        result.resultString = "unreadable request";
        return result;
    }
    const int ability = op.value(QStringLiteral("ability")).toInt();
    const int action = op.value(QStringLiteral("action")).toInt();
    const QString data = request.value(QStringLiteral("data")).toString();
    const bool keyed = send && isKeyed(ability, action);
    // A keyed request again for the same key takes the place of the open one, so each notice goes out once.
    QList<Keyed> &open = m_keyed[peer];
    const auto same = std::find_if(open.begin(), open.end(), [&](const Keyed &k) {
        return k.ability == ability && k.action == action && k.key == data;
    });
    const bool registers = send ? keyed && same == open.end() : !listens(peer, ability, action);
    if (registers && !admit(peer)) {
        result.state = TooMany;
        result.resultString = "too many registrations";
        return result;
    }
    result.state = Success;
    const QPointer<KCirraPeer> guard(peer);
    if (!send) {
        m_listens[peer].insert(key(ability, action));
        // Notices of the new listen follow the reply.
        QTimer::singleShot(0, this, [this, guard, ability, action] {
            if (guard && guard->isOpen())
                Q_EMIT listened(guard, ability, action);
        });
        return result;
    }
    const qint64 cobId = ++m_nextCobId;
    result.resultMap["__return__"] = std::to_string(cobId);
    if (keyed) {
        if (same != open.end())
            same->cobId = cobId;
        else
            open.append({ability, action, data, cobId});
        QTimer::singleShot(0, this, [this, guard, ability, action, data] {
            if (guard && guard->isOpen())
                Q_EMIT keyedOpened(guard, ability, action, data);
        });
        return result;
    }
    // The result is an event, and events of a call follow its reply (in the same write).
    m_service->afterReply([this, guard, cobId, ability, action, data] {
        if (!guard || !guard->isOpen())
            return;
        QJsonObject requestData;
        Answer result{BadArgument, {}, {}, {}};
        if (ability == 5)
            result = m_fileTasks->control(guard, action, data);
        else if (data.isEmpty() || parseObject(data, &requestData))
            result = answer(guard, ability, action, requestData);
        const QString text = result.code != Success  ? QString()
                             : !result.text.isNull() ? result.text
                                                     : compact(result.data);
        sendEvent(guard, false, {cobId, ability, action, true}, text, result.code, result.encoded);
        if (!result.notice.isEmpty())
            notifyStatus(guard->userId(), result.changed, result.notice);
    });
    return result;
}

KCirraSoftBus::Answer KCirraSoftBus::answer(KCirraPeer *peer, int ability, int action, const QJsonObject &request)
{
    const KCirraUser user = m_service->users().user(peer->userId());
    const QString deviceId = action == 8 ? qs(peer->hello().deviceId)
                                         : request.value(QStringLiteral("device_id")).toString();
    const auto device = user.devices.constFind(deviceId);
    if (ability == 1 && action == 6)
        return m_messages->send(peer, request);
    if (ability == 7 && action >= 0 && action <= 3)
        return m_discovery->change(peer, action, request);
    if (ability != 2)
        return {NotFound, {}, {}, {}};
    switch (action) {
    case 2: // the device list: status 0 every device, 1 those online
        return deviceList(user, request.value(QStringLiteral("status")).toInt() == 1);
    case 3: // one device
    case 8: // this device
        if (device == user.devices.cend())
            return {Success, response(NotFound, QStringLiteral("device not found")), {}, {}};
        return {Success, response(Success, QStringLiteral("success"), deviceRecord(user, *device)), {}, {}};
    case 4:
        return remove(peer, request);
    case 7:
        return rename(peer, request);
    case 5: // an ability announced by this device
        return appendAbility(peer, request);
    case 9: // connected, hence online
        return {Success, {{QStringLiteral("online"), true}}, {}, {}};
    default:
        return {NotFound, {}, {}, {}};
    }
}

KCirraSoftBus::Answer KCirraSoftBus::deviceList(const KCirraUser &user, bool onlineOnly)
{
    const QString key = QLatin1Char(onlineOnly ? '1' : '0') + user.id;
    const quint64 usersRevision = m_service->users().revision();
    auto kept = m_listTexts.find(key);
    if (kept == m_listTexts.end() || kept->usersRevision != usersRevision || kept->shellsRevision != m_shellsRevision) {
        // Kept as the event carries it too: the list is asked for far more often than it changes.
        const QString text = listText(user, onlineOnly);
        kept = m_listTexts.insert(key, {usersRevision, m_shellsRevision, text, text.toUtf8().toBase64()});
    }
    return {Success, {}, {}, {}, kept->text, kept->encoded};
}

QString KCirraSoftBus::listText(const KCirraUser &user, bool onlineOnly) const
{
    QJsonArray list;
    for (const KCirraDevice &d : user.devices) {
        if (!onlineOnly || isOnline(user.id, d.id))
            list.append(deviceRecord(user, d));
    }
    return compact(response(Success, QStringLiteral("success"), {{QStringLiteral("devices"), list}}));
}

KCirraSoftBus::Answer KCirraSoftBus::rename(KCirraPeer *peer, const QJsonObject &request)
{
    const QString deviceId = request.value(QStringLiteral("device_id")).toString();
    const QString userId = request.value(QStringLiteral("user_id")).toString();
    const QString name = request.value(QStringLiteral("device_name")).toString().trimmed();
    if (!userId.isEmpty() && userId != peer->userId())
        return {Success, response(Forbidden, QStringLiteral("forbidden")), {}, {}};
    if (!KCirraPaths::isSafeId(deviceId) || !usableName(name))
        return {Success, response(BadArgument, QStringLiteral("bad argument")), {}, {}};
    KCirraUser user = m_service->users().user(peer->userId());
    auto device = user.devices.find(deviceId);
    if (device == user.devices.end())
        return {Success, response(NotFound, QStringLiteral("device not found")), {}, {}};
    device->name = name;
    device->renamed = true;
    device->modifiedTime = QDateTime::currentMSecsSinceEpoch();
    m_service->users().store(user);
    if (KCirraFederation *federation = m_service->federation()) {
        federation->sendCommand(user.id, deviceId, QStringLiteral("rename"), name);
        federation->localChanged();
    }
    return {Success,
            response(Success, QStringLiteral("success"), {{QStringLiteral("last_modified_time"), double(device->modifiedTime)}}),
            QStringLiteral("rename"), *device};
}

KCirraSoftBus::Answer KCirraSoftBus::remove(KCirraPeer *peer, const QJsonObject &request)
{
    const QString deviceId = request.value(QStringLiteral("device_id")).toString();
    KCirraUser user = m_service->users().user(peer->userId());
    const auto device = user.devices.constFind(deviceId);
    if (device == user.devices.cend())
        return {Success, response(NotFound, QStringLiteral("device not found")), {}, {}};
    if (isOnline(user.id, deviceId))
        return {Success, response(Conflict, QStringLiteral("device is online")), {}, {}};
    const KCirraDevice removed = *device;
    user.devices.remove(deviceId);
    m_service->users().store(user);
    const double now = double(QDateTime::currentMSecsSinceEpoch());
    return {Success, response(Success, QStringLiteral("success"), {{QStringLiteral("last_modified_time"), now}}),
            QStringLiteral("delete"), removed};
}

void KCirraSoftBus::notifyStatus(const QString &userId, const KCirraDevice &device, const QString &action,
                                 const KCirraPeer *closing)
{
    const QJsonObject notice{{QStringLiteral("identify_info"), identify(userId, device)},
                             {QStringLiteral("status"), isOnline(userId, device.id, closing) ? 1 : 0},
                             {QStringLiteral("action"), action},
                             {QStringLiteral("last_modified_time"), double(device.modifiedTime)}};
    const QString data = compact(QJsonArray{notice});
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p != closing && p->isOpen() && p->userId() == userId)
            notifyOperation(p, 1, 3, data);
    }
}

KCirraSoftBus::Answer KCirraSoftBus::appendAbility(KCirraPeer *peer, const QJsonObject &request)
{
    const QString name = request.value(QStringLiteral("ability")).toString();
    if (!usableName(name))
        return {Success, response(BadArgument, QStringLiteral("bad argument")), {}, {}};
    QStringList &appended = m_appended[peer];
    if (!appended.contains(name)) {
        if (appended.size() >= kMaxRegistrations)
            return {Success, response(TooMany, QStringLiteral("too many abilities")), {}, {}};
        appended.append(name);
        ++m_shellsRevision; // the device's abilities are listed
    }
    const double now = double(QDateTime::currentMSecsSinceEpoch());
    return {
        Success, response(Success, QStringLiteral("success"), {{QStringLiteral("last_modified_time"), now}}), {}, {}};
}

bool KCirraSoftBus::listens(const KCirraPeer *peer, int ability, int action) const
{
    return m_listens.value(peer).contains(key(ability, action));
}

bool KCirraSoftBus::notifyOperation(KCirraPeer *peer, int ability, int action, const QString &data)
{
    if (!peer->isOpen() || !listens(peer, ability, action))
        return false;
    sendEvent(peer, true, {-1, ability, action, false}, data, Success);
    return true;
}

int KCirraSoftBus::notifyKeyed(KCirraPeer *peer, int ability, int action,
                               const std::function<bool(const QString &)> &match, const QString &data)
{
    int sent = 0;
    const QList<Keyed> keyed = m_keyed.value(peer);
    for (const Keyed &k : keyed) {
        if (k.ability != ability || k.action != action || !match(k.key) || !peer->isOpen())
            continue;
        sendEvent(peer, false, {k.cobId, ability, action, false}, data, Success);
        ++sent;
    }
    return sent;
}

bool KCirraSoftBus::admit(KCirraPeer *peer)
{
    if (m_listens.value(peer).size() + m_keyed.value(peer).size() < kMaxRegistrations)
        return true;
    if (!m_overCap.contains(peer)) {
        m_overCap.insert(peer);
        qCWarning(lcCirrad).noquote() << "requestSoftBusCommunicator: more than" << kMaxRegistrations
                                      << "registrations refused for" << peer->describe();
    }
    return false;
}

QList<KCirraPeer *> KCirraSoftBus::peersOf(const QString &userId, const QString &deviceId) const
{
    QList<KCirraPeer *> found;
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p->isOpen() && p->isShell() && p->userId() == userId && qs(p->hello().deviceId) == deviceId)
            found.append(p);
    }
    return found;
}

void KCirraSoftBus::sendEvent(KCirraPeer *peer, bool notice, const Content &content, const QString &data, int code,
                              const QByteArray &encoded)
{
    // Written directly: the event is a few fixed keys and numbers. The content's data rides beside it as its
    // own Base64 part ("SoftBusData", absent for a null data), so it is neither escaped nor unescaped on the way.
    QByteArray operation("{\"ability\":");
    operation.append(QByteArray::number(content.ability)).append(",\"action\":");
    operation.append(QByteArray::number(content.action)).append('}');
    QByteArray event;
    event.reserve(200);
    if (notice) {
        event.append(R"({"__method__":"listenMessage","__action__":")");
        event.append(QByteArray(operation).replace('"', "\\\"")).append("\",");
    } else {
        event.append(R"({"__method__":"send",)");
    }
    event.append(R"("__return__":{"cobId":")").append(QByteArray::number(content.cobId));
    event.append(R"(","operation":)").append(operation);
    event.append(R"(,"data":null,"isLast":)").append(content.isLast ? "true" : "false");
    event.append(R"(,"status":0},"__code__":)").append(QByteArray::number(code)).append('}');
    // Base64 ends in "=" padding: "force=true" tells the reader to split at the first "=" only.
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = KCirraRecords::kEventBroadcast;
    std::string &line = frame.event.text;
    const QByteArray payload = event.toBase64();
    const QByteArray bytes = data.isNull() ? QByteArray() : !encoded.isEmpty() ? encoded : data.toUtf8().toBase64();
    line.reserve(size_t(payload.size() + bytes.size() + 64));
    line.append("act=broadcast&force=true&SoftBusEvent=").append(payload.constData(), size_t(payload.size()));
    if (!data.isNull())
        line.append("&SoftBusData=").append(bytes.constData(), size_t(bytes.size()));
    peer->send(frame);
}

KCirraPeer *KCirraSoftBus::peerOf(const QString &userId, const QString &deviceId, const KCirraPeer *except) const
{
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p != except && p->isOpen() && p->isShell() && p->userId() == userId && qs(p->hello().deviceId) == deviceId)
            return p;
    }
    return nullptr;
}

QJsonObject KCirraSoftBus::deviceRecord(const KCirraUser &user, const KCirraDevice &device) const
{
    const KCirraPeer *shell = peerOf(user.id, device.id);
    QJsonArray abilities;
    if (shell) {
        for (const std::string &a : shell->hello().abilities)
            abilities.append(qs(a));
        for (const QString &a : m_appended.value(shell))
            abilities.append(a);
    }
    const KCirraFederation *federation = m_service->federation();
    const bool remoteOnline = !shell && federation && federation->isRemoteOnline(user.id, device.id);
    if (remoteOnline) {
        for (const QString &a : federation->remoteAbilities(user.id, device.id))
            abilities.append(a);
    }
    // A device of another machine: its shell's name and version as its presence says.
    const KCirraFederation::Client remote =
        remoteOnline ? federation->remoteClient(user.id, device.id) : KCirraFederation::Client();
    const QJsonObject client{{QStringLiteral("channel"), QString()},
                             {QStringLiteral("type"), shell ? shell->appName() : remote.app},
                             {QStringLiteral("version"), shell ? qs(shell->hello().appVersion) : remote.version}};
    const QJsonObject os{{QStringLiteral("type"), device.os}, {QStringLiteral("brand"), QString()},
                         {QStringLiteral("level"), QString()}};
    const QJsonObject net{{QStringLiteral("ip"), shell ? QStringLiteral("127.0.0.1") : QString()},
                          {QStringLiteral("ports"), QJsonArray()},
                          {QStringLiteral("type"), shell          ? QStringLiteral("local")
                                                   : remoteOnline ? QStringLiteral("broker")
                                                                  : QString()}};
    return {{QStringLiteral("identify_info"), identify(user.id, device)},
            {QStringLiteral("client_info"), client},
            {QStringLiteral("os_info"), os},
            {QStringLiteral("net_info"), net},
            {QStringLiteral("status"), shell || remoteOnline ? 1 : 0},
            {QStringLiteral("register_time"), double(device.registerTime)},
            {QStringLiteral("last_modified_time"), double(device.modifiedTime)},
            {QStringLiteral("ability_info"), abilities},
            {QStringLiteral("ext"), device.type}};
}
