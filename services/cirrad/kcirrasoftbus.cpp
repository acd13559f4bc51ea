// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbus.h"

#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

constexpr char kAppId[] = "qoz-office";
constexpr int kMaxDeviceName = 128;
// Codes of the service's own answers (the "__code__" of a result, the "code" of a device response).
enum Code { Success = 0, Forbidden = 403, NotFound = 404, Conflict = 409, BadArgument = 422 };

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

QJsonObject operation(int ability, int action)
{
    return {{QStringLiteral("ability"), ability}, {QStringLiteral("action"), action}};
}

QString content(qint64 cobId, int ability, int action, const QString &data, bool isLast)
{
    return compact(QJsonObject{{QStringLiteral("cobId"), QString::number(cobId)},
                               {QStringLiteral("operation"), operation(ability, action)},
                               {QStringLiteral("data"), data.isNull() ? QJsonValue() : QJsonValue(data)},
                               {QStringLiteral("isLast"), isLast},
                               {QStringLiteral("status"), 0}});
}

QJsonObject response(int code, const QString &msg, const QJsonObject &data = QJsonObject())
{
    return {{QStringLiteral("code"), code}, {QStringLiteral("msg"), msg}, {QStringLiteral("data"), data}};
}

QJsonObject identify(const QString &userId, const KCirraDevice &device)
{
    return {{QStringLiteral("app_id"), QLatin1String(kAppId)},
            {QStringLiteral("user_id"), userId},
            {QStringLiteral("device_id"), device.id},
            {QStringLiteral("device_name"), device.name}};
}

bool usableName(const QString &name)
{
    return !name.isEmpty() && name.size() <= kMaxDeviceName
           && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

} // namespace

KCirraSoftBus::KCirraSoftBus(KCirraService *service)
    : QObject(service)
    , m_service(service)
{
    service->registerMethod(QStringLiteral("requestSoftBusCommunicator"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return request(peer, a); });
    connect(service, &KCirraService::shellIdentified, this, [this](KCirraPeer *peer) {
        const KCirraUser &user = m_service->users().user(peer->userId());
        const auto device = user.devices.constFind(qs(peer->hello().deviceId));
        if (device != user.devices.cend())
            notifyStatus(user.id, *device, QStringLiteral("online"));
    });
    connect(service, &KCirraService::shellClosed, this, [this](KCirraPeer *peer) {
        m_listens.remove(peer);
        const QString deviceId = qs(peer->hello().deviceId);
        if (deviceId.isEmpty() || peerOf(peer->userId(), deviceId, peer))
            return;
        const KCirraUser &user = m_service->users().user(peer->userId());
        const auto device = user.devices.constFind(deviceId);
        if (device != user.devices.cend())
            notifyStatus(user.id, *device, QStringLiteral("offline"), peer);
    });
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
    result.state = Success;
    if (!send) {
        m_listens[peer].insert(QStringLiteral("%1,%2").arg(ability).arg(action));
        return result;
    }
    const qint64 cobId = ++m_nextCobId;
    result.resultMap["__return__"] = std::to_string(cobId);
    // The result is an event, and events of a call follow its reply.
    const QString data = request.value(QStringLiteral("data")).toString();
    QTimer::singleShot(0, this, [this, guard = QPointer<KCirraPeer>(peer), cobId, ability, action, data] {
        if (!guard || !guard->isOpen())
            return;
        QJsonObject requestData;
        Answer result{BadArgument, {}, {}, {}};
        if (data.isEmpty() || parseObject(data, &requestData))
            result = answer(guard, ability, action, requestData);
        const QString text = result.code == Success ? compact(result.data) : QString();
        sendEvent(guard, {{QStringLiteral("__method__"), QStringLiteral("send")},
                          {QStringLiteral("__return__"), content(cobId, ability, action, text, true)},
                          {QStringLiteral("__code__"), result.code}});
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
    if (ability != 2)
        return {NotFound, {}, {}, {}};
    switch (action) {
    case 2: { // the device list: status 0 every device, 1 those online
        const bool onlineOnly = request.value(QStringLiteral("status")).toInt() == 1;
        QJsonArray list;
        for (const KCirraDevice &d : user.devices) {
            if (!onlineOnly || peerOf(user.id, d.id))
                list.append(deviceRecord(user, d));
        }
        return {Success, response(Success, QStringLiteral("success"), {{QStringLiteral("devices"), list}}), {}, {}};
    }
    case 3: // one device
    case 8: // this device
        if (device == user.devices.cend())
            return {Success, response(NotFound, QStringLiteral("device not found")), {}, {}};
        return {Success, response(Success, QStringLiteral("success"), deviceRecord(user, *device)), {}, {}};
    case 4:
        return remove(peer, request);
    case 7:
        return rename(peer, request);
    case 9: // connected, hence online
        return {Success, {{QStringLiteral("online"), true}}, {}, {}};
    default:
        return {NotFound, {}, {}, {}};
    }
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
    if (peerOf(user.id, deviceId))
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
                             {QStringLiteral("status"), peerOf(userId, device.id, closing) ? 1 : 0},
                             {QStringLiteral("action"), action},
                             {QStringLiteral("last_modified_time"), double(device.modifiedTime)}};
    const QString key = QStringLiteral("1,3");
    const QJsonObject event{{QStringLiteral("__method__"), QStringLiteral("listenMessage")},
                            {QStringLiteral("__action__"), compact(operation(1, 3))},
                            {QStringLiteral("__return__"), content(-1, 1, 3, compact(QJsonArray{notice}), false)},
                            {QStringLiteral("__code__"), Success}};
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p != closing && p->isOpen() && p->userId() == userId && m_listens.value(p).contains(key))
            sendEvent(p, event);
    }
}

void KCirraSoftBus::sendEvent(KCirraPeer *peer, const QJsonObject &event)
{
    // Base64 ends in "=" padding: "force=true" tells the reader to split at the first "=" only.
    const QByteArray payload = QJsonDocument(event).toJson(QJsonDocument::Compact).toBase64();
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = KCirraRecords::kEventBroadcast;
    frame.event.text = "act=broadcast&force=true&SoftBusEvent=" + payload.toStdString();
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
    }
    const QJsonObject client{{QStringLiteral("channel"), QString()},
                             {QStringLiteral("type"), shell ? shell->appName() : QString()},
                             {QStringLiteral("version"), shell ? qs(shell->hello().appVersion) : QString()}};
    const QJsonObject os{{QStringLiteral("type"), device.os}, {QStringLiteral("brand"), QString()},
                         {QStringLiteral("level"), QString()}};
    const QJsonObject net{{QStringLiteral("ip"), shell ? QStringLiteral("127.0.0.1") : QString()},
                          {QStringLiteral("ports"), QJsonArray()},
                          {QStringLiteral("type"), shell ? QStringLiteral("local") : QString()}};
    return {{QStringLiteral("identify_info"), identify(user.id, device)},
            {QStringLiteral("client_info"), client},
            {QStringLiteral("os_info"), os},
            {QStringLiteral("net_info"), net},
            {QStringLiteral("status"), shell ? 1 : 0},
            {QStringLiteral("register_time"), double(device.registerTime)},
            {QStringLiteral("last_modified_time"), double(device.modifiedTime)},
            {QStringLiteral("ability_info"), abilities},
            {QStringLiteral("ext"), device.type}};
}
