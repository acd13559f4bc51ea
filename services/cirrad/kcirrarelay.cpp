// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrarelay.h"

#include "kcirradocumentregistry.h"
#include "kcirraipcanswer.h"
#include "kcirrafederation.h"
#include "kcirrafederationbytes.h"
#include "kcirrapeer.h"
#include "kcirratransfer.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QLoggingCategory>
#include <QTimer>
#include <QUuid>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;
using KCirraIpcAnswer::arg;
using KCirraIpcAnswer::make;

namespace {
constexpr int kSourceTimeoutMs = 30000;
constexpr int kProgressEveryMs = 100;
} // namespace

KCirraRelay::KCirraRelay(KCirraService *service, KCirraDocumentRegistry *documents)
    : QObject(service)
    , m_service(service)
    , m_documents(documents)
    // Slowed down on purpose by demos and tests that watch a relay in progress.
    , m_rate(qMax<qint64>(0, qEnvironmentVariableIntValue("KZELVA_RELAY_RATE")))
{
    service->registerMethod(QStringLiteral("batchQueryFilesTags"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return request(peer, a); });
    service->registerMethod(QStringLiteral("relayFileLabelReady"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return ready(peer, a); });
    connect(service, &KCirraService::shellClosed, this, &KCirraRelay::onShellClosed);
    if (KCirraFederation *federation = service->federation()) {
        KCirraFederationBytes *bytes = federation->bytes();
        connect(bytes, &KCirraFederationBytes::asked, this, &KCirraRelay::onAsked);
        connect(bytes, &KCirraFederationBytes::askFailed, this, [this](const QString &xfer, const QString &why) {
            if (m_relays.contains(xfer) && !m_relays.value(xfer).sourceInstance.isEmpty())
                finish(xfer, KCirraService::Failed,
                       QStringLiteral("the other machine could not send the document: ") + why);
        });
        bytes->setReceiver(QStringLiteral("relay"),
                           [this](const QString &from, const QJsonObject &open, KCirraTransfer *transfer) {
                               return receive(from, open, transfer);
                           });
    }
}

KCirraRelay::~KCirraRelay() = default;

CirraIpcResult KCirraRelay::request(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString userId = arg(a, "user_id");
    const QString deviceId = arg(a, "device_id");
    const QString uuid = arg(a, "uuid");
    const QString targetDevice = QString::fromStdString(peer->hello().deviceId);
    if (!userId.isEmpty() && userId != peer->userId()) {
        qCWarning(lcCirrad).noquote() << "batchQueryFilesTags: user" << userId.left(64) << "is not the user of"
                                      << peer->describe();
        return make(KCirraService::Forbidden, QStringLiteral("forbidden"));
    }
    if (!KCirraPaths::isSafeId(deviceId) || !KCirraPaths::isSafeId(uuid) || targetDevice.isEmpty()
        || deviceId == targetDevice) {
        qCWarning(lcCirrad).noquote() << "batchQueryFilesTags: bad device or document from" << peer->describe();
        return make(KCirraService::BadArgument, QStringLiteral("bad argument"));
    }
    const KCirraFederation *federation = m_service->federation();
    // Held by a device of another machine: its cirrad sends the document through the broker.
    const QString owner = federation ? federation->ownerOf(peer->userId(), deviceId) : QString();
    KCirraPeer *source = owner.isEmpty() ? m_documents->holder(peer->userId(), deviceId, uuid) : nullptr;
    QString name;
    if (owner.isEmpty()) {
        if (!source)
            return make(KCirraService::NotFound, QStringLiteral("document not open on the device"));
        name = m_documents->tag(source, uuid).value(QStringLiteral("name")).toString();
    } else {
        const QJsonArray tags = federation->remoteTags(peer->userId(), deviceId);
        const auto tag = std::find_if(tags.begin(), tags.end(), [&uuid](const QJsonValue &t) {
            return t.toObject().value(QStringLiteral("uuid")).toString() == uuid;
        });
        if (!federation->isRemoteOnline(peer->userId(), deviceId) || tag == tags.end())
            return make(KCirraService::NotFound, QStringLiteral("document not open on the device"));
        name = tag->toObject().value(QStringLiteral("name")).toString();
    }
    for (const Relay &r : qAsConst(m_relays)) {
        if (r.userId == peer->userId() && r.sourceDevice == deviceId && r.uuid == uuid)
            return make(KCirraService::Busy, QStringLiteral("relaying"));
    }
    Relay relay;
    relay.userId = peer->userId();
    relay.uuid = uuid;
    relay.name = name;
    relay.sourceDevice = deviceId;
    relay.targetDevice = targetDevice;
    relay.source = source;
    relay.target = peer;
    relay.sourceInstance = owner;
    relay.respond = m_service->deferReply();
    if (!owner.isEmpty()) {
        // Unique across machines: the holding instance sends the bytes back under this id.
        const QString relayId = QStringLiteral("relay-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        federation->bytes()->ask(owner, relayId,
                                 {{QStringLiteral("device"), deviceId},
                                  {QStringLiteral("uuid"), uuid},
                                  {QStringLiteral("to"), targetDevice}});
        qCInfo(lcCirrad).noquote() << relayId << ": asking instance" << owner << "for" << uuid;
        begin(relay, relayId);
        return CirraIpcResult();
    }
    begin(relay, QStringLiteral("relay-%1").arg(++m_nextId));
    return CirraIpcResult();
}

QString KCirraRelay::begin(Relay relay, const QString &relayId)
{
    relay.timeout = new QTimer(this);
    relay.timeout->setSingleShot(true);
    connect(relay.timeout, &QTimer::timeout, this, [this, relayId] {
        if (m_relays.contains(relayId) && !m_relays.value(relayId).transfer)
            finish(relayId, KCirraService::Failed, QStringLiteral("the source device did not answer"));
    });
    relay.timeout->start(kSourceTimeoutMs);
    m_relays.insert(relayId, relay);
    if (relay.source) {
        qCInfo(lcCirrad).noquote() << relayId << ": asking" << relay.source->describe() << "for" << relay.uuid;
        relay.source->send(KCirraIpcAnswer::broadcastFrame(
            "relayFileLabel", {{QStringLiteral("relayId"), relayId}, {QStringLiteral("uuid"), relay.uuid}}));
    }
    return relayId;
}

void KCirraRelay::onAsked(const QString &fromInstance, const QString &xfer, const QJsonObject &fields)
{
    const QString userId = fields.value(QStringLiteral("user")).toString();
    const QString deviceId = fields.value(QStringLiteral("device")).toString();
    const QString uuid = fields.value(QStringLiteral("uuid")).toString();
    for (const Relay &r : qAsConst(m_relays)) {
        if (r.targetRelay == xfer)
            return; // asked again (QoS 1): under way
    }
    KCirraPeer *source = m_documents->holder(userId, deviceId, uuid);
    const KCirraFederation *federation = m_service->federation();
    if (!source || federation->ownerOf(userId, fields.value(QStringLiteral("to")).toString()) != fromInstance) {
        qCWarning(lcCirrad).noquote() << xfer << ": instance" << fromInstance << "asked for" << uuid
                                      << ", which is not open on" << deviceId;
        federation->bytes()->publish(fromInstance, xfer, QStringLiteral("fail"),
                                     {{QStringLiteral("why"), QStringLiteral("document not open on the device")}});
        return;
    }
    Relay relay;
    relay.userId = userId;
    relay.uuid = uuid;
    relay.name = m_documents->tag(source, uuid).value(QStringLiteral("name")).toString();
    relay.sourceDevice = deviceId;
    relay.targetDevice = fields.value(QStringLiteral("to")).toString();
    relay.source = source;
    relay.targetInstance = fromInstance;
    relay.targetRelay = xfer;
    begin(relay, QStringLiteral("relay-%1").arg(++m_nextId));
}

bool KCirraRelay::receive(const QString &fromInstance, const QJsonObject &open, KCirraTransfer *transfer)
{
    const QString relayId = open.value(QStringLiteral("xfer")).toString();
    const auto it = m_relays.find(relayId);
    if (it == m_relays.end() || it->sourceInstance != fromInstance || it->transfer
        || it->targetDevice != open.value(QStringLiteral("to")).toString())
        return false;
    transfer->setParent(this);
    it->transfer = transfer;
    it->timeout->stop();
    watch(relayId, transfer);
    return true;
}

void KCirraRelay::watch(const QString &relayId, KCirraTransfer *transfer)
{
    connect(transfer, &KCirraTransfer::progressed, this, [this, relayId](qint64 done, qint64 total) {
        auto r = m_relays.find(relayId);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (r == m_relays.end() || !r->target || (now - r->lastProgressMs < kProgressEveryMs && done < total))
            return;
        r->lastProgressMs = now;
        r->target->send(
            KCirraIpcAnswer::broadcastFrame("fileLabelRelayProgress", {{QStringLiteral("relayId"), relayId},
                                                                       {QStringLiteral("uuid"), r->uuid},
                                                                       {QStringLiteral("done"), double(done)},
                                                                       {QStringLiteral("total"), double(total)}}));
    });
    connect(transfer, &KCirraTransfer::finished, this,
            [this, relayId](bool ok, const QString &error) { onTransferFinished(relayId, ok, error); });
}

CirraIpcResult KCirraRelay::ready(KCirraPeer *peer, const CirraIpcArg &a)
{
    const QString relayId = arg(a, "relayId");
    const auto it = m_relays.find(relayId);
    if (it == m_relays.end() || it->source != peer || it->transfer) {
        qCWarning(lcCirrad).noquote() << "relayFileLabelReady: no relay" << relayId.left(64) << "waits for"
                                      << peer->describe();
        return make(KCirraService::NotFound, QStringLiteral("relay not found"));
    }
    const QString error = arg(a, "error");
    if (!error.isEmpty()) {
        finish(relayId, KCirraService::Failed,
               QStringLiteral("the source device could not save the document: ") + error.left(200));
        return make(KCirraService::Success, QStringLiteral("success"));
    }
    KCirraTransfer::Options options;
    options.bytesPerSecond = m_rate;
    KCirraTransfer *transfer =
        it->targetInstance.isEmpty() ? new KCirraTransfer(
            arg(a, "path"), m_service->users().relayDir(it->userId, it->targetDevice), it->name, options, this)
                                     : m_service->federation()->bytes()->send(
                                         it->targetInstance, arg(a, "path"),
                                         {{QStringLiteral("xfer"), it->targetRelay},
                                          {QStringLiteral("kind"), QStringLiteral("relay")},
                                          {QStringLiteral("to"), it->targetDevice},
                                          {QStringLiteral("name"), KCirraFederationBytes::wireName(it->name)}},
                                         options, this);
    watch(relayId, transfer);
    it->transfer = transfer;
    it->timeout->stop();
    if (!transfer->start()) {
        const QString why = transfer->error();
        transfer->deleteLater();
        finish(relayId, KCirraService::Failed, why);
        return make(KCirraService::BadArgument, why);
    }
    return make(KCirraService::Success, QStringLiteral("success"));
}

void KCirraRelay::onTransferFinished(const QString &relayId, bool ok, const QString &error)
{
    const auto it = m_relays.constFind(relayId);
    if (it == m_relays.cend())
        return;
    KCirraTransfer *transfer = it->transfer;
    if (transfer)
        transfer->deleteLater();
    if (!ok)
        return finish(relayId, KCirraService::Failed, error);
    finish(relayId, KCirraService::Success, QStringLiteral("success"),
           {{QStringLiteral("path"), transfer->targetPath()},
            {QStringLiteral("name"), it->name},
            {QStringLiteral("size"), double(transfer->total())},
            {QStringLiteral("sha256"), QString::fromLatin1(transfer->sha256().toHex())},
            {QStringLiteral("uuid"), it->uuid},
            {QStringLiteral("device_id"), it->sourceDevice}});
}

void KCirraRelay::onShellClosed(KCirraPeer *peer)
{
    const QStringList ids = m_relays.keys();
    for (const QString &id : ids) {
        if (!m_relays.contains(id))
            continue;
        const Relay r = m_relays.value(id);
        if (r.targetInstance.isEmpty() && (r.target == peer || r.target.isNull())) {
            if (r.transfer)
                r.transfer->cancel();
            finish(id, KCirraService::Failed, QStringLiteral("the receiving shell went away"));
        } else if (r.sourceInstance.isEmpty() && (r.source == peer || r.source.isNull()) && !r.transfer) {
            finish(id, KCirraService::Failed, QStringLiteral("the source device went away"));
        }
    }
}

void KCirraRelay::finish(const QString &relayId, int state, const QString &msg, const QJsonObject &data)
{
    Relay relay = m_relays.take(relayId);
    if (relay.timeout)
        relay.timeout->deleteLater();
    if (state != KCirraService::Success)
        qCWarning(lcCirrad).noquote() << relayId << "of" << relay.uuid << "failed:" << msg;
    QJsonObject extra;
    if (!data.isEmpty())
        extra.insert(QStringLiteral("data"), data);
    if (relay.respond)
        relay.respond(make(state, msg, extra));
    // The asking machine waits for the bytes: a relay that ends here without them ends there too.
    if (!relay.targetInstance.isEmpty() && state != KCirraService::Success)
        m_service->federation()->bytes()->publish(relay.targetInstance, relay.targetRelay, QStringLiteral("fail"),
                                                  {{QStringLiteral("why"), msg.left(200)}});
    // The source closes its tab only once the copy arrived.
    if (relay.source && relay.source->isOpen())
        relay.source->send(KCirraIpcAnswer::broadcastFrame("relayFileLabelDone",
                                                           {{QStringLiteral("relayId"), relayId},
                                                            {QStringLiteral("uuid"), relay.uuid},
                                                            {QStringLiteral("ok"), state == KCirraService::Success}}));
}
