// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcloudsvrproxyprivate.h"

#include "kcirraeventobject.h"

#include <kcirrachannel.h>
#include <kcirracodec.h>
#include <kcirrapaths.h>

#include <QCoreApplication>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QSysInfo>

Q_DECLARE_LOGGING_CATEGORY(lcCloud)

using namespace qoz::cirra;

namespace {

constexpr int kFirstBackoffMs = 100;
constexpr int kMaxBackoffMs = 2000;
constexpr int kDefaultCallTimeoutMs = 30000;
constexpr int kMaxPendingCalls = 1024;

QString firstOf(std::initializer_list<QString> values)
{
    for (const QString &value : values) {
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

// Read from the system's release file; it does not change while the process runs, and every
// call and every relay asks for the client info.
QString osName()
{
    static const QString name = QSysInfo::prettyProductName();
    return name;
}

QString appProperty(const char *name)
{
    return QCoreApplication::instance() ? QCoreApplication::instance()->property(name).toString() : QString();
}

// "ipc_send", "1ipc_send(bool,QString,CirraIpcResult)" (SLOT()) -> "ipc_send(bool,QString,CirraIpcResult)"
// for a call answered with a CirraIpcResult; empty without a slot name.
QByteArray slotSignature(const QString &slot, const QByteArray &answerType)
{
    QByteArray name = slot.toLatin1().trimmed();
    if (!name.isEmpty() && name.at(0) >= '0' && name.at(0) <= '9')
        name.remove(0, 1);
    const int paren = name.indexOf('(');
    if (paren >= 0)
        name.truncate(paren);
    if (name.isEmpty())
        return name;
    return name + "(bool,QString" + (answerType.isEmpty() ? QByteArray() : ',' + answerType) + ')';
}

std::string utf8(const QString &s)
{
    return s.toStdString();
}

} // namespace

KCloudSvrProxyPrivate::KCloudSvrProxyPrivate(KCloudSvrProxy *q)
    : q(q)
    , events(new KCirraEventObject(q))
    , backoffMs(kFirstBackoffMs)
    , callTimeoutMs(kDefaultCallTimeoutMs)
{
    reconnectTimer.setSingleShot(true);
    QObject::connect(&reconnectTimer, &QTimer::timeout, q, [this] { connectNow(); });
    deadlineTimer.setInterval(100);
    QObject::connect(&deadlineTimer, &QTimer::timeout, q, [this] { expireDeadlines(); });
}

KCloudSvrProxyPrivate::~KCloudSvrProxyPrivate()
{
    if (socket) {
        QObject::disconnect(socket, nullptr, q, nullptr);
        socket->setFrameHandler({});
        socket->abort();
    }
}

KCloudSvrProxy::ClientInfo KCloudSvrProxyPrivate::effectiveClientInfo() const
{
    KCloudSvrProxy::ClientInfo info = clientInfo;
    info.userId = firstOf({info.userId, appProperty("zelvaUserId"), qEnvironmentVariable("KZELVA_USER"),
                           QStringLiteral("local")});
    const QString host = QHostInfo::localHostName();
    info.deviceId = firstOf({info.deviceId, appProperty("zelvaDeviceId"), host});
    info.deviceName = firstOf({info.deviceName, appProperty("zelvaDeviceName"), host});
    info.deviceType = firstOf({info.deviceType, QStringLiteral("pc")});
    info.os = firstOf({info.os, osName()});
    info.appName = firstOf({info.appName, appProperty("zelvaAppName"), QCoreApplication::applicationName()});
    info.appVersion = firstOf({info.appVersion, QCoreApplication::applicationVersion(), QStringLiteral("1.0")});
    // The shell hands its documents over to the user's other devices (KCirraDocumentReporter).
    if (info.abilities.isEmpty())
        info.abilities = QStringList{QStringLiteral("sync_file_tag")};
    return info;
}

void KCloudSvrProxyPrivate::connectNow()
{
    if (state != State::Disconnected)
        return;
    const QString path = KCirraPaths::socketPath();
    if (path.isEmpty()) {
        qCWarning(lcCloud) << "no usable runtime directory; cannot reach the cloud service";
        scheduleReconnect(kMaxBackoffMs);
        return;
    }
    if (socket) {
        QObject::disconnect(socket, nullptr, q, nullptr);
        socket->setFrameHandler({});
        socket->deleteLater();
        socket = nullptr;
    }
    QString error;
    const int descriptor = KCirraChannel::connectTo(path, &error);
    if (descriptor < 0) {
        // The service is not there (yet); try again, more slowly each time.
        qCDebug(lcCloud).noquote() << "cannot reach the cloud service:" << error;
        state = State::Connecting;
        onDisconnected(QString());
        return;
    }
    socket = new KCirraChannel(descriptor, KCirraCodec::kMaxFrameSize, q);
    socket->setFrameHandler([this](const CirraFrame &frame) { handleFrame(frame); });
    QObject::connect(socket, &KCirraChannel::closed, q, [this](const QString &error) { onDisconnected(error); });
    onConnected();
}

void KCloudSvrProxyPrivate::scheduleReconnect(int delayMs)
{
    if (state == State::Disconnected && (!reconnectTimer.isActive() || reconnectTimer.remainingTime() > delayMs))
        reconnectTimer.start(delayMs);
}

void KCloudSvrProxyPrivate::onConnected()
{
    state = State::Handshaking;
    const KCloudSvrProxy::ClientInfo info = effectiveClientInfo();
    CirraFrame frame;
    frame.__set_hello(CirraHello());
    CirraHello &hello = frame.hello;
    hello.protocolVersion = KCirraRecords::kProtocolVersion;
    hello.appName = utf8(info.appName);
    hello.appVersion = utf8(info.appVersion);
    hello.processId = QCoreApplication::applicationPid();
    hello.userId = utf8(info.userId);
    hello.deviceId = utf8(info.deviceId);
    hello.deviceName = utf8(info.deviceName);
    hello.deviceType = utf8(info.deviceType);
    hello.os = utf8(info.os);
    for (const QString &ability : info.abilities)
        hello.abilities.push_back(utf8(ability));
    QByteArray bytes;
    const KCirraCodec::Result result = KCirraCodec::encodeFrame(frame, &bytes);
    if (!result) {
        dropConnection(QStringLiteral("cannot encode hello: ") + result.message);
        return;
    }
    send(bytes);
}

void KCloudSvrProxyPrivate::onDisconnected(const QString &reason)
{
    const State previous = state;
    if (previous == State::Disconnected)
        return;
    state = State::Disconnected;
    if (previous == State::Connecting) {
        // The service is not there (yet); try again, more slowly each time.
        scheduleReconnect(backoffMs);
        backoffMs = qMin(backoffMs * 2, kMaxBackoffMs);
        return;
    }
    qCWarning(lcCloud).noquote() << QStringLiteral("connection to the cloud service lost%1; %2 pending calls failed")
                                        .arg(reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)
                                        .arg(pending.size());
    backoffMs = kFirstBackoffMs;
    scheduleReconnect(backoffMs);
    QPointer<KCloudSvrProxy> guard(q);
    failAll();
    if (!guard)
        return;
    setLoginState(false, userName);
    if (guard)
        Q_EMIT q->socketDisconnected();
}

void KCloudSvrProxyPrivate::dropConnection(const QString &reason)
{
    const State previous = state;
    // onDisconnected() below reports it, with the reason, once.
    state = State::Disconnected;
    if (socket)
        socket->abort();
    state = previous;
    onDisconnected(reason);
}

bool KCloudSvrProxyPrivate::send(const QByteArray &frame)
{
    if (!socket || (state != State::Handshaking && state != State::Ready))
        return false;
    return socket->send(frame);
}

void KCloudSvrProxyPrivate::handleFrame(const CirraFrame &frame)
{
    if (state == State::Handshaking) {
        if (frame.__isset.hello)
            handleHello(frame.hello);
        else
            dropConnection(QStringLiteral("the service did not start with a hello"));
        return;
    }
    if (frame.__isset.reply)
        handleReply(frame.reply);
    else if (frame.__isset.event)
        handleEvent(frame.event);
    else
        dropConnection(QStringLiteral("unexpected frame from the service"));
}

void KCloudSvrProxyPrivate::handleHello(const CirraHello &hello)
{
    state = State::Ready;
    backoffMs = kFirstBackoffMs;
    qCInfo(lcCloud) << "connected to the cloud service, pid" << hello.processId;
    QPointer<KCloudSvrProxy> guard(q);
    flushUnsent();
    setLoginState(hello.loggedIn, QString::fromStdString(hello.userName));
    if (!guard || state != State::Ready)
        return;
    Q_EMIT q->socketConnected();
    if (guard && state == State::Ready)
        Q_EMIT events->SocketConnected();
}

void KCloudSvrProxyPrivate::setLoginState(bool in, const QString &name)
{
    // The name matters only while someone is logged in.
    if (in == loggedIn && (!in || name == userName)) {
        userName = name;
        return;
    }
    loggedIn = in;
    userName = name;
    Q_EMIT q->loginStatusChanged();
}

void KCloudSvrProxyPrivate::flushUnsent()
{
    const QList<QString> ids = std::exchange(unsent, {});
    for (const QString &id : ids) {
        auto it = pending.find(id);
        if (it == pending.end() || it->sent)
            continue;
        it->sent = send(it->frame);
        it->frame.clear();
    }
}

void KCloudSvrProxyPrivate::handleReply(const CirraReply &reply)
{
    const QString id = QString::fromStdString(reply.requestId);
    const auto it = pending.constFind(id);
    if (it == pending.cend()) {
        qCInfo(lcCloud).noquote() << "reply to unknown or expired request" << id;
        return;
    }
    const Pending call = *it;
    pending.erase(it);
    if (!reply.ok) {
        qCWarning(lcCloud).noquote() << call.function << id << "failed:" << QString::fromStdString(reply.error);
        complete(call, false, KCirraRecord());
        return;
    }
    if (QByteArray::fromStdString(reply.recordType) != call.answerType) {
        qCWarning(lcCloud).noquote() << call.function << id << "answered with"
                                     << QString::fromStdString(reply.recordType) << "instead of"
                                     << QString::fromLatin1(call.answerType);
        complete(call, false, KCirraRecord());
        return;
    }
    KCirraRecord answer;
    if (!call.answerType.isEmpty()) {
        answer = KCirraRecords::create(call.answerType);
        const KCirraCodec::Result decoded = KCirraCodec::decode(reply.record, answer.base());
        if (!decoded) {
            qCWarning(lcCloud).noquote() << call.function << id << "answer undecodable:" << decoded.message;
            complete(call, false, KCirraRecord());
            return;
        }
    }
    complete(call, true, answer);
}

void KCloudSvrProxyPrivate::handleEvent(const CirraEvent &event)
{
    const QString signal = QString::fromStdString(event.signalName);
    const QString text = QString::fromStdString(event.text);
    const QByteArray expected = KCirraRecords::eventRecordType(signal);
    if (!KCirraRecords::isEvent(signal)) {
        qCDebug(lcCloud).noquote() << "ignoring unknown event" << signal;
        return;
    }
    KCirraRecord record;
    if (!expected.isEmpty()) {
        record = KCirraRecords::create(expected);
        const KCirraCodec::Result decoded = QByteArray::fromStdString(event.recordType) == expected
                                                ? KCirraCodec::decode(event.record, record.base())
                                                : KCirraCodec::Result{KCirraCodec::Status::Other, -1,
                                                                      QStringLiteral("wrong record type")};
        if (!decoded) {
            qCWarning(lcCloud).noquote() << "dropping event" << signal << ":" << decoded.message;
            return;
        }
    }
    if (signal == QLatin1String(KCirraRecords::kEventBroadcast)) {
        Q_EMIT events->signal_broadcast(text);
    } else if (const auto *page = record.as<NotifyWebPageEventArg>()) {
        Q_EMIT events->signal_notifyWebPageEvent(*page);
    } else if (const auto *actions = record.as<NotifyActionsMapArg>()) {
        QMap<QString, QString> map;
        for (const auto &[key, value] : actions->mapArgs)
            map.insert(QString::fromStdString(key), QString::fromStdString(value));
        Q_EMIT events->signal_notifyActionsMapForAtoMix(map);
    } else if (const auto *open = record.as<NotifyOpenCloudLocationActionArg>()) {
        Q_EMIT events->signal_notifyOpenCloudLocation(*open);
    } else if (signal == QLatin1String(KCirraRecords::kEventLoginStatusChanged)) {
        const QJsonObject status = QJsonDocument::fromJson(text.toUtf8()).object();
        setLoginState(status.value(QStringLiteral("loggedIn")).toBool(),
                      status.value(QStringLiteral("userName")).toString());
    }
}

QString KCloudSvrProxyPrivate::call(const QString &function, const apache::thrift::TBase *record,
                                    const char *typeName, QObject *receiver, const QString &slot)
{
    const QByteArray type(typeName ? typeName : "");
    if (!record || !KCirraRecords::isFunction(function) || KCirraRecords::argumentType(function) != type) {
        qCWarning(lcCloud).noquote() << "refusing call" << function << "with record type"
                                     << QString::fromLatin1(type);
        return QString();
    }
    if (pending.size() >= kMaxPendingCalls) {
        qCWarning(lcCloud).noquote() << "refusing call" << function << ":" << pending.size() << "calls pending";
        return QString();
    }
    Pending p;
    p.id = QLatin1String("cr-") + QString::number(++nextId);
    p.function = function;
    p.answerType = KCirraRecords::answerType(function);
    p.receiver = receiver;
    p.slot = slotSignature(slot, p.answerType);
    p.deadline = QDeadlineTimer(callTimeoutMs);

    CirraFrame frame;
    frame.__set_call(CirraCall());
    frame.call.requestId = utf8(p.id);
    frame.call.functionName = utf8(function);
    frame.call.recordType = type.toStdString();
    KCirraCodec::Result result = KCirraCodec::encode(*record, &frame.call.record);
    if (result)
        result = KCirraCodec::encodeFrame(frame, &p.frame);
    if (!result) {
        qCWarning(lcCloud).noquote() << "refusing call" << function << ": cannot encode:" << result.message;
        return QString();
    }
    if (state == State::Ready) {
        p.sent = send(p.frame);
        p.frame.clear();
    } else {
        unsent.append(p.id);
        if (state == State::Disconnected)
            scheduleReconnect(0);
    }
    pending.insert(p.id, p);
    if (!deadlineTimer.isActive())
        deadlineTimer.start();
    return p.id;
}

void KCloudSvrProxyPrivate::expireDeadlines()
{
    QList<Pending> expired;
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->deadline.hasExpired()) {
            expired.append(*it);
            unsent.removeOne(it->id);
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
    if (pending.isEmpty())
        deadlineTimer.stop();
    QPointer<KCloudSvrProxy> guard(q);
    for (const Pending &call : qAsConst(expired)) {
        qCWarning(lcCloud).noquote() << call.function << call.id << "timed out";
        complete(call, false, KCirraRecord());
        if (!guard)
            return;
    }
}

void KCloudSvrProxyPrivate::failAll()
{
    const QHash<QString, Pending> failed = std::exchange(pending, {});
    unsent.clear();
    deadlineTimer.stop();
    // Complete in call order, as the caller made them.
    QList<Pending> ordered = failed.values();
    std::sort(ordered.begin(), ordered.end(), [](const Pending &a, const Pending &b) {
        return a.id.mid(3).toULongLong() < b.id.mid(3).toULongLong();
    });
    QPointer<KCloudSvrProxy> guard(q);
    for (const Pending &call : qAsConst(ordered)) {
        complete(call, false, KCirraRecord());
        if (!guard)
            return;
    }
}

void KCloudSvrProxyPrivate::complete(const Pending &call, bool ok, const KCirraRecord &answer)
{
    QPointer<KCloudSvrProxy> guard(q);
    deliver(call, ok, answer);
    if (guard)
        Q_EMIT q->callFinished(call.id, ok);
}

void KCloudSvrProxyPrivate::deliver(const Pending &call, bool ok, const KCirraRecord &answer)
{
    QObject *receiver = call.receiver.data();
    if (!receiver || call.slot.isEmpty())
        return;
    // The lookup by signature text costs more than the call itself; keep it.
    const QByteArray &signature = call.slot;
    const QMetaObject *meta = receiver->metaObject();
    const auto key = qMakePair(meta, signature);
    auto cached = slotIndexes.find(key);
    if (cached == slotIndexes.end())
        cached = slotIndexes.insert(key, meta->indexOfMethod(QMetaObject::normalizedSignature(signature.constData()).constData()));
    const QMetaMethod method = *cached < 0 ? QMetaMethod() : meta->method(*cached);
    bool invoked = false;
    if (!method.isValid()) {
        // Reported below.
    } else if (call.answerType.isEmpty()) {
        invoked = method.invoke(receiver, Qt::AutoConnection, Q_ARG(bool, ok), Q_ARG(QString, call.id));
    } else {
        // A failed call still hands over a (default) record of the answer type.
        const KCirraRecord record = answer.isNull() ? KCirraRecords::create(call.answerType) : answer;
        invoked = method.invoke(receiver, Qt::AutoConnection, Q_ARG(bool, ok), Q_ARG(QString, call.id),
                                QGenericArgument(call.answerType.constData(), record.data()));
    }
    if (!invoked) {
        qCWarning(lcCloud).noquote() << "cannot deliver" << call.function << "answer: no slot"
                                     << QString::fromLatin1(signature) << "on" << meta->className();
    }
}
