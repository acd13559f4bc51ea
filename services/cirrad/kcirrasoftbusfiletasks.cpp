// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbusfiletasks.h"

#include "kcirrafederation.h"
#include "kcirrafederationbytes.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"
#include "kcirratransfer.h"

#include <kcirracodec.h>
#include <kcirrapaths.h>

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QUuid>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

QString argOf(const CirraIpcArg &a, const char *key)
{
    const auto it = a.argMap.find(key);
    return it == a.argMap.end() ? QString() : QString::fromStdString(it->second);
}

CirraIpcResult result(int state, const QString &text)
{
    CirraIpcResult r;
    r.state = state;
    r.resultString = text.toStdString();
    return r;
}

bool usableOwnerId(const QString &id)
{
    return !id.isEmpty() && id.size() <= KCirraSoftBusFileTasks::kMaxOwnerId && !id.contains(QChar(0));
}

} // namespace

KCirraSoftBusFileTasks::KCirraSoftBusFileTasks(KCirraSoftBus *bus)
    : QObject(bus)
    , m_bus(bus)
    , m_rate(qMax<qint64>(0, qEnvironmentVariableIntValue("KZELVA_RELAY_RATE")))
{
    bus->service()->registerMethod(QStringLiteral("sendFileToDevice"),
                                   [this](KCirraPeer *peer, const CirraIpcArg &a) { return start(peer, a); });
    connect(bus->service(), &KCirraService::shellIdentified, this, [this](KCirraPeer *p) { onShell(p, true); });
    connect(bus->service(), &KCirraService::shellClosed, this, [this](KCirraPeer *p) { onShell(p, false); });
    // A service killed mid-transfer left its ".part" files; no task of this run writes there yet.
    KCirraTransfer::removeLeftovers(bus->service()->users().dir() + QStringLiteral("/relay"));
    if (KCirraFederation *federation = bus->service()->federation()) {
        connect(federation, &KCirraFederation::remoteDeviceChanged, this,
                [this](const QString &userId, const QString &deviceId, const QString &action) {
                    if (action == QLatin1String("online") || action == QLatin1String("offline"))
                        onDevice(userId, deviceId, action == QLatin1String("online"));
                });
        federation->bytes()->setReceiver(QStringLiteral("file"),
                                         [this](const QString &, const QJsonObject &open, KCirraTransfer *transfer) {
                                             return receive(open, transfer);
                                         });
        // The other machine's pause or resume of a task that runs on both.
        connect(federation->bytes(), &KCirraFederationBytes::peerPaused, this, [this](const QString &id, bool paused) {
            const auto it = m_tasks.find(id);
            if (it != m_tasks.end() && it->transfer && it->userPaused != paused)
                setPaused(*it, paused);
        });
    }
}

CirraIpcResult KCirraSoftBusFileTasks::start(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString path = argOf(a, "path");
    const QString deviceId = argOf(a, "deviceId");
    const QString ownerId = argOf(a, "ownerId");
    const QString sourceDevice = QString::fromStdString(peer->hello().deviceId);
    if (!usableOwnerId(ownerId) || !KCirraPaths::isSafeId(deviceId) || path.isEmpty() || path.contains(QChar(0))) {
        qCWarning(lcCirrad).noquote() << "sendFileToDevice: unusable arguments from" << peer->describe();
        return result(KCirraSoftBus::BadArgument, QStringLiteral("bad argument"));
    }
    const KCirraUser &user = m_bus->service()->users().user(peer->userId());
    if (!user.devices.contains(deviceId) || deviceId == sourceDevice)
        return result(KCirraSoftBus::NotFound, QStringLiteral("device not found"));
    const KCirraFederation *federation = m_bus->service()->federation();
    // A device of another machine: the bytes go there through the broker.
    const QString owner = federation ? federation->ownerOf(user.id, deviceId) : QString();

    Task task;
    task.id = owner.isEmpty() ? QStringLiteral("ft-%1").arg(++m_nextId)
                              : QStringLiteral("ft-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    task.userId = peer->userId();
    task.ownerId = ownerId;
    task.fileName = QFileInfo(path).fileName();
    task.sourceDevice = sourceDevice;
    task.targetDevice = deviceId;
    KCirraTransfer::Options options;
    options.bytesPerSecond = m_rate;
    KCirraTransfer *transfer =
        owner.isEmpty()
            ? new KCirraTransfer(path, m_bus->service()->users().relayDir(task.userId, deviceId), task.fileName,
                                 options, this)
            : federation->bytes()->send(owner, path,
                                        {{QStringLiteral("xfer"), task.id},
                                         {QStringLiteral("kind"), QStringLiteral("file")},
                                         {QStringLiteral("to"), deviceId},
                                         {QStringLiteral("from_device"), sourceDevice},
                                         {QStringLiteral("owner_id"), ownerId},
                                         {QStringLiteral("name"), KCirraFederationBytes::wireName(task.fileName)}},
                                        options, this);
    task.transfer = transfer;
    const QString taskId = task.id;
    watch(taskId, transfer);
    if (!transfer->start()) {
        // A missing, unreadable, special or oversized source: the task fails at once and says why.
        const QString why = transfer->error();
        task.reason = transfer->reason();
        transfer->deleteLater();
        task.state = Failed;
        notify(task, true);
        qCInfo(lcCirrad).noquote() << "sendFileToDevice" << taskId << ":" << why;
        return result(KCirraService::Failed, why);
    }
    m_tasks.insert(taskId, task);
    Task &stored = m_tasks[taskId];
    if (!reachable(stored)) {
        transfer->pause();
        setState(stored, Waiting);
    } else {
        announce(stored);
    }
    qCInfo(lcCirrad).noquote() << "sendFileToDevice" << taskId << ":" << task.fileName << "to" << deviceId
                               << (owner.isEmpty() ? QString() : QStringLiteral("on instance ") + owner);
    CirraIpcResult r = result(KCirraSoftBus::Success, QStringLiteral("success"));
    r.resultMap["taskId"] = taskId.toStdString();
    return r;
}

void KCirraSoftBusFileTasks::watch(const QString &taskId, KCirraTransfer *transfer)
{
    connect(transfer, &KCirraTransfer::progressed, this, [this, taskId](qint64, qint64) {
        const auto it = m_tasks.find(taskId);
        if (it != m_tasks.end())
            notify(*it, false);
    });
    connect(transfer, &KCirraTransfer::finished, this,
            [this, taskId](bool ok, const QString &error) { onFinished(taskId, ok, error); });
}

void KCirraSoftBusFileTasks::announce(Task &task)
{
    notify(task, true);
    // The bubble's bar shows the progress; its line says where the file comes from.
    const KCirraDevice source = m_bus->service()->users().user(task.userId).devices.value(task.sourceDevice);
    bubble(task, 1, QStringLiteral("From %1").arg(source.name.isEmpty() ? task.sourceDevice : source.name));
}

bool KCirraSoftBusFileTasks::receive(const QJsonObject &open, KCirraTransfer *transfer)
{
    Task task;
    task.id = open.value(QStringLiteral("xfer")).toString();
    task.userId = open.value(QStringLiteral("user")).toString();
    task.ownerId = open.value(QStringLiteral("owner_id")).toString();
    task.fileName = open.value(QStringLiteral("name")).toString();
    task.sourceDevice = open.value(QStringLiteral("from_device")).toString();
    task.targetDevice = open.value(QStringLiteral("to")).toString();
    if (!usableOwnerId(task.ownerId) || !KCirraPaths::isSafeId(task.sourceDevice) || m_tasks.contains(task.id)) {
        qCWarning(lcCirrad).noquote() << "a file from another machine without a usable owner id or source device";
        return false;
    }
    transfer->setParent(this);
    task.transfer = transfer;
    watch(task.id, transfer);
    m_tasks.insert(task.id, task);
    announce(m_tasks[task.id]);
    qCInfo(lcCirrad).noquote() << "file task" << task.id << ":" << task.fileName << "from" << task.sourceDevice
                               << "on another machine";
    return true;
}

KCirraSoftBus::Answer KCirraSoftBusFileTasks::control(KCirraPeer *peer, int action, const QString &ownerId)
{
    if (action < 3 || action > 5)
        return {KCirraSoftBus::NotFound, {}, {}, {}};
    if (!usableOwnerId(ownerId)) {
        qCWarning(lcCirrad).noquote() << "file task control" << action << ": unusable owner id from"
                                      << peer->describe();
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::BadArgument, QStringLiteral("bad owner id")),
                {},
                {}};
    }
    int matched = 0;
    const QStringList ids = m_tasks.keys();
    for (const QString &id : ids) {
        const auto it = m_tasks.find(id);
        if (it == m_tasks.end() || it->userId != peer->userId() || it->ownerId != ownerId || !it->transfer)
            continue;
        ++matched;
        if (action == 5) {
            it->transfer->cancel(); // finished() follows and ends the task
        } else if ((action == 4) != it->userPaused) {
            setPaused(*it, action == 4);
            // A task with another machine: the sender there reads on or stops, its shells see it.
            if (KCirraFederation *federation = m_bus->service()->federation())
                federation->bytes()->setPaused(id, action == 4);
        }
    }
    if (!matched) {
        qCInfo(lcCirrad).noquote() << "file task control" << action << ": no task of owner id" << ownerId.left(64);
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::NotFound, QStringLiteral("no such task")),
                {},
                {}};
    }
    return {KCirraSoftBus::Success, KCirraSoftBus::response(KCirraSoftBus::Success, QStringLiteral("success")), {}, {}};
}

bool KCirraSoftBusFileTasks::reachable(const Task &task) const
{
    const KCirraFederation *federation = m_bus->service()->federation();
    return m_bus->peerOf(task.userId, task.targetDevice)
           || (federation && federation->isRemoteOnline(task.userId, task.targetDevice));
}

void KCirraSoftBusFileTasks::setPaused(Task &task, bool paused)
{
    task.userPaused = paused;
    // Bytes fed from another machine stop and go on at their sender: only the state shows it here.
    if (paused) {
        if (!task.transfer->isReceiving())
            task.transfer->pause();
        setState(task, task.state == Waiting ? Waiting : Paused);
    } else if (task.transfer->isReceiving() || reachable(task)) {
        task.transfer->resume();
        setState(task, Running);
    }
}

void KCirraSoftBusFileTasks::setState(Task &task, int state)
{
    if (task.state == state)
        return;
    task.state = state;
    if (state == Waiting)
        task.reason = QStringLiteral("receiver_offline");
    else if (state != Failed)
        task.reason.clear();
    notify(task, true);
}

void KCirraSoftBusFileTasks::notify(Task &task, bool force)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!force && now - task.lastNoticeMs < 1000 / kNoticesPerSecond)
        return;
    task.lastNoticeMs = now;
    const KCirraUser user = m_bus->service()->users().user(task.userId);
    const qint64 done = task.transfer ? task.transfer->done() : 0;
    const qint64 total = task.transfer ? task.transfer->total() : 0;
    for (const bool sender : {true, false}) {
        const QString own = sender ? task.sourceDevice : task.targetDevice;
        const QString other = sender ? task.targetDevice : task.sourceDevice;
        const QJsonObject info{
            {QStringLiteral("task_id"), task.id},
            {QStringLiteral("owner_id"), task.ownerId},
            {QStringLiteral("file_name"), task.fileName},
            {QStringLiteral("total_size"), double(total)},
            {QStringLiteral("done_size"), double(done)},
            {QStringLiteral("state"), task.state},
            {QStringLiteral("is_sender"), sender},
            {QStringLiteral("error"), task.reason},
            {QStringLiteral("peer"), KCirraSoftBus::identify(task.userId, user.devices.value(other))}};
        const QString text = QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact));
        for (KCirraPeer *peer : m_bus->peersOf(task.userId, own))
            m_bus->notifyKeyed(
                peer, 5, 1, [&](const QString &key) { return key == task.ownerId; }, text);
    }
    if (!force && total > 0)
        bubble(task, 3, QStringLiteral("%1%").arg(done * 100 / total));
}

void KCirraSoftBusFileTasks::bubble(const Task &task, int pageAction, const QString &content)
{
    const qint64 done = task.transfer ? task.transfer->done() : 0;
    const qint64 total = task.transfer ? task.transfer->total() : 0;
    const QJsonObject page{{QStringLiteral("page_action"), pageAction},
                           {QStringLiteral("session_id"), task.id},
                           {QStringLiteral("action"), QStringLiteral("fileTask")},
                           {QStringLiteral("page_title"), task.fileName},
                           {QStringLiteral("page_content"), content},
                           {QStringLiteral("page_progress"), int(total > 0 ? done * 100 / total : 0)}};
    NotifyActionsMapArg arg;
    arg.mapArgs = {{"Int_IpcPageType", "1"},
                   {"Str_IpcActionType", "IpcAction_AtoMixPageAction"},
                   {"Str_IpcPageInfo", QJsonDocument(page).toJson(QJsonDocument::Compact).toStdString()}};
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = "notifyActionsMapForAtoMix";
    frame.event.recordType = "NotifyActionsMapArg";
    if (!KCirraCodec::encode(arg, &frame.event.record))
        return;
    for (KCirraPeer *peer : m_bus->peersOf(task.userId, task.targetDevice))
        peer->send(frame);
}

void KCirraSoftBusFileTasks::onShell(KCirraPeer *peer, bool online)
{
    const QString deviceId = QString::fromStdString(peer->hello().deviceId);
    // Only the last shell of a receiver to go, and the first to come back, changes its tasks.
    if (!peer->isShell() || m_bus->peerOf(peer->userId(), deviceId, peer))
        return;
    onDevice(peer->userId(), deviceId, online);
}

void KCirraSoftBusFileTasks::onDevice(const QString &userId, const QString &deviceId, bool online)
{
    QList<QPointer<KCirraTransfer>> senderGone;
    for (Task &task : m_tasks) {
        if (task.userId != userId || !task.transfer)
            continue;
        // The sending device took its file along: the task fails, both sides are told why. A sender on
        // another machine says so itself (its "cancel"); its machine's will may be a broker restart.
        if (!online && task.sourceDevice == deviceId && !task.transfer->isReceiving())
            senderGone.append(task.transfer);
        // Bytes fed from another machine keep landing whatever this machine's device does.
        if (task.targetDevice != deviceId || task.transfer->isReceiving())
            continue;
        if (!online) {
            task.transfer->pause();
            setState(task, Waiting);
        } else if (!task.userPaused) {
            task.transfer->resume();
            setState(task, Running);
        } else {
            setState(task, Paused);
        }
    }
    for (const QPointer<KCirraTransfer> &transfer : qAsConst(senderGone)) {
        if (transfer)
            transfer->abort(QStringLiteral("the sending device went offline"), "sender_offline");
    }
}

void KCirraSoftBusFileTasks::onFinished(const QString &taskId, bool ok, const QString &error)
{
    auto it = m_tasks.find(taskId);
    if (it == m_tasks.end())
        return;
    KCirraTransfer *transfer = it->transfer;
    const bool cancelled = transfer && transfer->state() == KCirraTransfer::State::Cancelled;
    if (!ok && !cancelled)
        it->reason = transfer ? transfer->reason() : QStringLiteral("cannot_save");
    setState(*it, ok ? Finished : cancelled ? Cancelled : Failed);
    bubble(*it, ok ? 2 : cancelled ? 5 : 4, ok ? QStringLiteral("100%") : error.left(200));
    qCInfo(lcCirrad).noquote() << "file task" << taskId << (ok ? "done" : "ended:") << error;
    m_tasks.erase(it);
    if (transfer)
        transfer->deleteLater();
}
