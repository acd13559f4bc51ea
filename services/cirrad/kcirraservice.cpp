// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraservice.h"

#include <QPointer>

#include "kcirracontrol.h"
#include "kcirradeviceregistry.h"
#include "kcirradocumentregistry.h"
#include "kcirrafederation.h"
#include "kcirrarelay.h"
#include "kcirrajsonline.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirrasoftbus.h"

#include <kcirracodec.h>
#include <kcirrapaths.h>
#include <kzelvadatafile.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLoggingCategory>
#include <QTimer>

#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

constexpr int kMaxHelloText = 256;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

CirraIpcResult ipcResult(int state, const QString &text = QString())
{
    CirraIpcResult result;
    result.state = state;
    result.resultString = text.toStdString();
    return result;
}

bool isPlainText(const std::string &s)
{
    if (s.size() > size_t(kMaxHelloText))
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

} // namespace

KCirraService::KCirraService(KCirraServer *server, const Options &options, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_options(options)
    , m_users(options.stateDir, options.newUsersLoggedIn)
    , m_callLog(options.stateDir)
    , m_control(std::make_unique<KCirraControl>(this))
{
    m_server->setFrameHandler([this](KCirraPeer *peer, const CirraFrame &frame) { onFrame(peer, frame); });
    m_server->setClosedHandler([this](KCirraPeer *peer) {
        if (!peer->isShell())
            return;
        qCInfo(lcCirrad).noquote() << "peer closed" << peer->describe();
        Q_EMIT shellClosed(peer);
        const QList<KCirraPeer *> peers = m_server->peers();
        const bool anyShell = std::any_of(peers.begin(), peers.end(), [](KCirraPeer *p) { return p->isShell(); });
        if (!anyShell && m_options.idleExitMs > 0)
            m_idleTimer.start();
    });
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_options.idleExitMs);
    connect(&m_idleTimer, &QTimer::timeout, this, [] {
        qCInfo(lcCirrad) << "no shell connected for a while; exiting";
        QCoreApplication::quit();
    });
    if (m_options.idleExitMs > 0)
        m_idleTimer.start();

    // The transfer helper itself is outside this stand-in; it acknowledges.
    const auto acknowledge = [](KCirraPeer *, const CirraIpcArg &arg) {
        CirraIpcResult result = ipcResult(Success);
        result.resultMap["method"] = arg.method;
        return result;
    };
    registerMethod(QStringLiteral("showSendMyDeviceToastByTransferHelper"), acknowledge);
    registerMethod(QStringLiteral("showTransferHelperDlg"), acknowledge);
    auto *documents = new KCirraDocumentRegistry(this); // Qt child of the service
    if (!options.federation.url.isEmpty())
        m_federation = new KCirraFederation(this, documents, options.federation);
    m_devices = std::make_unique<KCirraDeviceRegistry>(this, documents);
    new KCirraRelay(this, documents);
    new KCirraSoftBus(this); // Qt child of the service
}

KCirraService::~KCirraService() = default;

bool KCirraService::startFederation(QString *error)
{
    return !m_federation || m_federation->start(error);
}

void KCirraService::registerMethod(const QString &method, MethodHandler handler)
{
    m_methods.insert(method, std::move(handler));
}

void KCirraService::onFrame(KCirraPeer *peer, const CirraFrame &frame)
{
    if (frame.__isset.hello) {
        if (peer->hasHello())
            peer->closeWithError(QStringLiteral("second hello"));
        else
            handleHello(peer, frame.hello);
        return;
    }
    if (!peer->hasHello()) {
        peer->closeWithError(QStringLiteral("first frame is not a hello"));
        return;
    }
    if (!frame.__isset.call) {
        peer->closeWithError(QStringLiteral("peers may only send calls"));
        return;
    }
    handleCall(peer, frame.call);
}

void KCirraService::handleHello(KCirraPeer *peer, const CirraHello &hello)
{
    const bool control = hello.appName == KCirraRecords::kControlAppName;
    const QString userId = qs(hello.userId);
    if (!control && !KCirraPaths::isSafeId(userId)) {
        peer->closeWithError(QStringLiteral("hello with an unusable user id"));
        return;
    }
    if (!isPlainText(hello.appName) || !isPlainText(hello.deviceName) || !isPlainText(hello.deviceType)
        || !isPlainText(hello.os) || (!hello.deviceId.empty() && !KCirraPaths::isSafeId(qs(hello.deviceId)))) {
        peer->closeWithError(QStringLiteral("hello with unusable names"));
        return;
    }
    if (hello.protocolVersion != KCirraRecords::kProtocolVersion)
        qCWarning(lcCirrad) << "peer speaks protocol" << hello.protocolVersion << "not" << KCirraRecords::kProtocolVersion;
    peer->setHello(hello);

    CirraFrame answer;
    answer.__set_hello(CirraHello());
    answer.hello.protocolVersion = KCirraRecords::kProtocolVersion;
    answer.hello.appName = "cirrad";
    answer.hello.appVersion = QCoreApplication::applicationVersion().toStdString();
    answer.hello.processId = QCoreApplication::applicationPid();
    if (!control) {
        KCirraUser user = m_users.user(userId);
        if (!hello.deviceId.empty()) {
            KCirraDevice device{qs(hello.deviceId), qs(hello.deviceName), qs(hello.deviceType), qs(hello.os)};
            const auto known = user.devices.constFind(device.id);
            if (known != user.devices.cend() && known->renamed)
                device.name = known->name;
            // A device whose shell says hello here belongs to this machine, wherever it was before.
            if (known == user.devices.cend() || known->name != device.name || known->type != device.type
                || known->os != device.os || !known->instance.isEmpty()) {
                const qint64 now = QDateTime::currentMSecsSinceEpoch();
                device.registerTime = known == user.devices.cend() ? now : known->registerTime;
                device.renamed = known != user.devices.cend() && known->renamed;
                device.modifiedTime = now;
                user.devices.insert(device.id, device);
                m_users.store(user);
            }
        }
        answer.hello.userId = hello.userId;
        answer.hello.loggedIn = user.loggedIn;
        answer.hello.userName = user.userName.toStdString();
    }
    if (control) {
        qCDebug(lcCirrad).noquote() << "control connection" << peer->describe();
    } else {
        qCInfo(lcCirrad).noquote() << "hello from" << peer->describe();
        m_idleTimer.stop();
    }
    peer->send(answer);
    peer->push();
    if (!control)
        Q_EMIT shellIdentified(peer);
}

void KCirraService::handleCall(KCirraPeer *peer, const CirraCall &call)
{
    const QString function = qs(call.functionName);
    const QByteArray recordType = QByteArray::fromStdString(call.recordType);
    KCirraCallLog::Entry entry{QDateTime::currentMSecsSinceEpoch(),
                               peer->id(),
                               peer->hello().userId,
                               peer->hello().appName,
                               peer->hello().deviceId,
                               call.requestId,
                               call.functionName,
                               call.recordType,
                               {},
                               {}};

    Outcome refusal;
    refusal.ok = false;
    KCirraRecord argument;
    if (!KCirraRecords::isFunction(function)) {
        refusal.error = QStringLiteral("unknown function");
    } else if (KCirraRecords::argumentType(function) != recordType) {
        refusal.error = QStringLiteral("%1 takes %2, not %3")
                            .arg(function, QString::fromLatin1(KCirraRecords::argumentType(function)),
                                 QString::fromLatin1(recordType));
    } else {
        argument = KCirraRecords::create(recordType);
        const KCirraCodec::Result decoded = KCirraCodec::decode(call.record, argument.base());
        if (!decoded)
            refusal.error = QStringLiteral("bad %1 record: %2").arg(QString::fromLatin1(recordType), decoded.message);
    }
    if (!refusal.error.isEmpty()) {
        entry.refused = refusal.error;
        m_callLog.append(std::move(entry));
        qCWarning(lcCirrad).noquote() << "refusing call" << function << "from" << peer->describe() << ":"
                                      << refusal.error;
        sendReply(peer, call.requestId, refusal);
        return;
    }
    entry.argument = argument;
    m_callLog.append(std::move(entry));

    // Control requests are never subject to the faults they set.
    if (function == QLatin1String(KCirraRecords::kControl)) {
        execute(peer, call, argument);
        return;
    }
    const auto *ipcArg = argument.as<CirraIpcArg>();
    const KCirraFaults::Rule fault = m_faults.take(function, ipcArg ? qs(ipcArg->method) : QString());
    switch (fault.action) {
    case KCirraFaults::Action::None:
        execute(peer, call, argument);
        break;
    case KCirraFaults::Action::Hold:
        m_held.append({peer, call, argument});
        break;
    case KCirraFaults::Action::Fail: {
        Outcome failed;
        failed.ok = false;
        failed.error = QStringLiteral("injected failure");
        sendReply(peer, call.requestId, failed);
        break;
    }
    case KCirraFaults::Action::Drop:
        peer->closeWithError(QStringLiteral("injected drop"));
        break;
    case KCirraFaults::Action::Delay:
        QTimer::singleShot(fault.delayMs, this, [this, guard = QPointer<KCirraPeer>(peer), call, argument] {
            if (guard && guard->isOpen())
                execute(guard, call, argument);
        });
        break;
    case KCirraFaults::Action::Die: {
        const Outcome outcome = dispatch(peer, function, argument);
        CirraFrame frame;
        frame.__set_reply(CirraReply());
        frame.reply.requestId = call.requestId;
        frame.reply.ok = outcome.ok;
        frame.reply.recordType = outcome.answer.typeName();
        if (!outcome.answer.isNull())
            KCirraCodec::encode(*outcome.answer.base(), &frame.reply.record);
        QByteArray bytes;
        KCirraCodec::encodeFrame(frame, &bytes);
        qCWarning(lcCirrad) << "dying in the middle of a reply, as asked";
        peer->sendRaw(bytes.left(bytes.size() / 2));
        peer->drain();
        ::_exit(3);
    }
    }
}

KCirraService::Responder KCirraService::deferReply()
{
    m_deferred = true;
    return [this, peer = m_currentPeer, requestId = m_currentRequest](const CirraIpcResult &result) {
        if (!peer || !peer->isOpen())
            return;
        Outcome outcome;
        outcome.answer = KCirraRecord::make(result);
        sendReply(peer, requestId, outcome);
    };
}

void KCirraService::afterReply(std::function<void()> step)
{
    m_afterReply = std::move(step);
}

void KCirraService::execute(KCirraPeer *peer, const CirraCall &call, const KCirraRecord &argument)
{
    m_currentPeer = peer;
    m_currentRequest = call.requestId;
    m_deferred = false;
    m_afterReply = {};
    Outcome outcome = dispatch(peer, qs(call.functionName), argument);
    const bool deferred = std::exchange(m_deferred, false);
    if (m_afterReply) {
        outcome.after = [first = std::move(outcome.after), second = std::exchange(m_afterReply, {})] {
            if (first)
                first();
            second();
        };
    }
    m_currentPeer = nullptr;
    const QPointer<KCirraPeer> guard(peer);
    if (!deferred)
        sendReply(peer, call.requestId, outcome);
    if (outcome.after) {
        outcome.after();
        // The reply and what followed it leave in one write.
        if (guard)
            guard->push();
    }
}

void KCirraService::sendReply(KCirraPeer *peer, const std::string &requestId, const Outcome &outcome)
{
    CirraFrame frame;
    frame.__set_reply(CirraReply());
    frame.reply.requestId = requestId;
    frame.reply.ok = outcome.ok;
    frame.reply.error = outcome.error.toStdString();
    if (outcome.ok && !outcome.answer.isNull()) {
        frame.reply.recordType = outcome.answer.typeName();
        const KCirraCodec::Result encoded = KCirraCodec::encode(*outcome.answer.base(), &frame.reply.record);
        if (!encoded) {
            frame.reply.ok = false;
            frame.reply.recordType.clear();
            frame.reply.record.clear();
            frame.reply.error = "cannot encode the answer: " + encoded.message.toStdString();
        }
    }
    peer->send(frame);
    // With a step to follow, the write waits for what that step sends.
    if (!outcome.after)
        peer->push();
}

KCirraService::Outcome KCirraService::dispatch(KCirraPeer *peer, const QString &function,
                                               const KCirraRecord &argument)
{
    if (function == QLatin1String(KCirraRecords::kControl))
        return m_control->handle(peer, *argument.as<CirraIpcArg>());
    if (!peer->isShell()) {
        Outcome refused;
        refused.ok = false;
        refused.error = QStringLiteral("control connections may only send control requests");
        return refused;
    }
    if (function == QLatin1String(KCirraRecords::kCirraIpcCall))
        return cirraIpcCall(peer, *argument.as<CirraIpcArg>());
    if (function == QLatin1String(KCirraRecords::kLogin))
        return login(peer, *argument.as<CirraIpcArg>());
    if (function == QLatin1String(KCirraRecords::kGetStorageInfo))
        return storageInfo(peer, *argument.as<GetStorageInfoArg>());
    if (function == QLatin1String(KCirraRecords::kGetCloudFileInfo))
        return cloudFileInfo(peer, *argument.as<GetCloudFileInfoArg>());
    if (function == QLatin1String(KCirraRecords::kNotifyWebPageEvent))
        return relayEvent(peer, KCirraRecords::kEventNotifyWebPageEvent, argument, false);
    if (function == QLatin1String(KCirraRecords::kNotifyAllClientActionsMap))
        return relayEvent(peer, KCirraRecords::kEventNotifyActionsMap, argument, true);
    Outcome unknown;
    unknown.ok = false;
    unknown.error = QStringLiteral("no handler for %1").arg(function);
    return unknown;
}

KCirraService::Outcome KCirraService::cirraIpcCall(KCirraPeer *peer, const CirraIpcArg &arg)
{
    Outcome outcome;
    const QString method = qs(arg.method);
    const auto handler = m_methods.constFind(method);
    if (handler == m_methods.cend()) {
        qCWarning(lcCirrad).noquote() << "unknown method" << method << "from" << peer->describe();
        outcome.answer = KCirraRecord::make(ipcResult(NotFound, QStringLiteral("unknown method ") + method));
    } else if (!m_users.user(peer->userId()).loggedIn) {
        outcome.answer = KCirraRecord::make(ipcResult(NotLoggedIn, QStringLiteral("not logged in")));
    } else {
        outcome.answer = KCirraRecord::make((*handler)(peer, arg));
    }
    return outcome;
}

KCirraService::Outcome KCirraService::login(KCirraPeer *peer, const CirraIpcArg &arg)
{
    const QString userId = peer->userId();
    const auto name = arg.argMap.find("userName");
    const QString userName = name == arg.argMap.end() ? QString() : qs(name->second);
    Outcome outcome;
    outcome.answer = KCirraRecord::make(ipcResult(Success));
    outcome.after = [this, userId, userName] { setLoggedIn(userId, true, userName); };
    return outcome;
}

KCirraService::Outcome KCirraService::storageInfo(KCirraPeer *peer, const GetStorageInfoArg &arg)
{
    const KCirraUser user = m_users.user(peer->userId());
    GetStorageInfoResult result;
    result.userId = user.id.toStdString();
    if (!arg.userId.empty() && qs(arg.userId) != user.id) {
        result.state = Forbidden;
    } else if (!user.loggedIn) {
        result.state = NotLoggedIn;
    } else {
        result.state = Success;
        result.usedSize = user.usedSize;
        result.totalSize = user.totalSize;
    }
    Outcome outcome;
    outcome.answer = KCirraRecord::make(result);
    return outcome;
}

KCirraService::Outcome KCirraService::cloudFileInfo(KCirraPeer *peer, const GetCloudFileInfoArg &arg)
{
    const KCirraUser user = m_users.user(peer->userId());
    GetCloudFileInfoResult result;
    const auto type = arg.extraParam.find("type");
    const auto uuid = arg.extraParam.find("deviceUuid");
    const QString deviceId = uuid == arg.extraParam.end() ? QString() : qs(uuid->second);
    if (!user.loggedIn) {
        result.state = NotLoggedIn;
    } else if (type == arg.extraParam.end() || type->second != "device" || !KCirraPaths::isSafeId(deviceId)) {
        result.state = BadArgument;
    } else if (!user.devices.contains(deviceId)) {
        result.state = NotFound;
    } else {
        // Each device of the user has a roaming folder of its own.
        const QString dir = m_users.roamingDir(user.id, deviceId);
        QString error;
        if (!KZelvaDataFile::ensurePrivateDir(dir, &error))
            qCWarning(lcCirrad).noquote() << "roaming folder:" << error;
        CloudItem &item = result.itemInfo;
        item.groupId = "roaming";
        item.id = "device-" + deviceId.toStdString();
        item.name = user.devices.value(deviceId).name.toStdString();
        item.type = "folder";
        item.fileId = deviceId.toStdString();
        item.roamingPath = dir.toStdString();
        item.userAcl.bRead = item.userAcl.bNewEmpty = item.userAcl.bUpload = item.userAcl.bUpdate = true;
        item.userAcl.bRename = item.userAcl.bMove = item.userAcl.bCopy = item.userAcl.bShare = true;
        item.userAcl.bRemove = item.userAcl.bDownload = item.userAcl.bHistory = true;
        item.extraParam["deviceUuid"] = deviceId.toStdString();
        result.state = Success;
        result.path = dir.toStdString();
        result.ids = "roaming/" + deviceId.toStdString();
    }
    Outcome outcome;
    outcome.answer = KCirraRecord::make(result);
    return outcome;
}

KCirraService::Outcome KCirraService::relayEvent(KCirraPeer *peer, const char *signal, const KCirraRecord &argument,
                                                 bool echo)
{
    // Every process of the user hears it; page events skip their sender,
    // which already did what it tells (receivers still tell their own
    // application's messages apart by the name inside).
    Outcome outcome;
    outcome.after = [this, userId = peer->userId(), name = QString::fromLatin1(signal), argument,
                     sender = QPointer<KCirraPeer>(echo ? nullptr : peer)] {
        emitEvent(userId, name, QString(), argument, sender.data());
    };
    return outcome;
}

int KCirraService::emitEvent(const QString &userId, const QString &signal, const QString &text,
                             const KCirraRecord &record, const KCirraPeer *except)
{
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = signal.toStdString();
    frame.event.text = text.toStdString();
    if (!record.isNull()) {
        frame.event.recordType = record.typeName();
        if (!KCirraCodec::encode(*record.base(), &frame.event.record))
            return 0;
    }
    return m_server->broadcast(userId, frame, except);
}

void KCirraService::setLoggedIn(const QString &userId, bool loggedIn, const QString &userName)
{
    KCirraUser user = m_users.user(userId);
    user.loggedIn = loggedIn;
    if (!userName.isEmpty())
        user.userName = userName;
    m_users.store(user);
    const QByteArray status = KCirraJsonLine().addBool("loggedIn", loggedIn).add("userName", user.userName).finish();
    emitEvent(userId, QLatin1String(KCirraRecords::kEventLoginStatusChanged), QString::fromUtf8(status));
}

int KCirraService::releaseHeld()
{
    const QList<Held> held = std::exchange(m_held, {});
    int released = 0;
    for (const Held &h : held) {
        if (h.peer && h.peer->isOpen()) {
            execute(h.peer, h.call, h.argument);
            ++released;
        }
    }
    return released;
}
