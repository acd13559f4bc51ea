// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrafederationbytes.h"

#include "kcirrafederationsend.h"
#include "kcirramqttclient.h"
#include "kcirraservice.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcFederation)

namespace Record = KCirraFederationRecord;

namespace {
const QString kDone = QStringLiteral("done");
} // namespace

KCirraFederationBytes::KCirraFederationBytes(KCirraService *service, QObject *parent)
    : QObject(parent)
    , m_service(service)
{
}

void KCirraFederationBytes::attach(KCirraMqttClient *client, const QString &account, const QString &instance)
{
    m_client = client;
    m_account = account;
    m_instance = instance;
}

QString KCirraFederationBytes::wireName(const QString &name)
{
    QString clean = name.left(128);
    for (QChar &c : clean) {
        if (c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    return clean.isEmpty() ? QStringLiteral("document") : clean;
}

QByteArray KCirraFederationBytes::record(const QString &xfer, const QString &op, QJsonObject fields, const char *bytes,
                                         int size) const
{
    fields.insert(QStringLiteral("from"), m_instance);
    fields.insert(QStringLiteral("xfer"), xfer);
    fields.insert(QStringLiteral("op"), op);
    return Record::writeData(std::move(fields), m_account, bytes, size);
}

void KCirraFederationBytes::publish(const QString &instance, const QByteArray &record)
{
    if (m_client)
        m_client->publish(Record::topic(m_account, QStringLiteral("data"), instance), record, 1, false);
}

void KCirraFederationBytes::publish(const QString &instance, const QString &xfer, const QString &op, QJsonObject fields)
{
    publish(instance, record(xfer, op, std::move(fields)));
}

KCirraTransfer *KCirraFederationBytes::send(const QString &instance, const QString &sourcePath, const QJsonObject &open,
                                            const KCirraTransfer::Options &options, QObject *parent)
{
    const QString xfer = open.value(QStringLiteral("xfer")).toString();
    auto *sender = new KCirraFederationSend(this, instance, xfer, sourcePath, open, options, parent);
    m_outgoing.insert(xfer, sender);
    connect(sender, &KCirraTransfer::finished, this, [this, xfer] {
        m_outgoing.remove(xfer);
        m_pauses.remove(xfer);
    });
    return sender;
}

QString KCirraFederationBytes::peerOf(const QString &xfer) const
{
    if (const KCirraFederationSend *sender = m_outgoing.value(xfer))
        return sender->instance();
    const auto in = m_incoming.constFind(xfer);
    return in != m_incoming.cend() && in->transfer ? in->from : QString();
}

bool KCirraFederationBytes::setPaused(const QString &xfer, bool paused)
{
    const QString to = peerOf(xfer);
    if (to.isEmpty())
        return false;
    publish(to, xfer, paused ? QStringLiteral("pause") : QStringLiteral("resume"),
            {{QStringLiteral("n"), m_pauses[xfer].sent++}});
    return true;
}

void KCirraFederationBytes::notUnderWay(const QString &topic, const QString &op, const QString &xfer)
{
    Q_EMIT rejected(topic, QStringLiteral("\"%1\" for transfer %2, which is not under way").arg(op, xfer));
}

void KCirraFederationBytes::ask(const QString &instance, const QString &xfer, const QJsonObject &fields)
{
    publish(instance, xfer, QStringLiteral("ask"), fields);
}

void KCirraFederationBytes::remember(const QString &xfer, const QString &from, bool ok, const QString &why,
                                     const QString &reason)
{
    if (!m_ended.contains(xfer))
        m_endedOrder.enqueue(xfer);
    m_ended.insert(xfer, ok ? kDone : why);
    if (m_endedOrder.size() > kRemembered)
        m_ended.remove(m_endedOrder.dequeue());
    answer(from, xfer, ok, why, reason);
}

void KCirraFederationBytes::answer(const QString &from, const QString &xfer, bool ok, const QString &why,
                                   const QString &reason)
{
    if (ok)
        publish(from, xfer, QStringLiteral("done"), {});
    else
        publish(from, xfer, QStringLiteral("fail"),
                {{QStringLiteral("why"), why.left(200)}, {QStringLiteral("reason"), reason.left(32)}});
}

void KCirraFederationBytes::onData(const Record::Received &record)
{
    const QJsonObject &h = record.body;
    const QString op = h.value(QStringLiteral("op")).toString();
    const QString xfer = h.value(QStringLiteral("xfer")).toString();
    const QString from = h.value(QStringLiteral("from")).toString();
    const QString topic = Record::topic(m_account, record.kind, record.instance);
    // Answers to a transfer sent from here.
    if (op == QLatin1String("ack") || op == QLatin1String("done") || op == QLatin1String("fail")) {
        KCirraFederationSend *sender = m_outgoing.value(xfer);
        if (sender && sender->instance() == from) {
            if (op == QLatin1String("ack"))
                sender->acknowledged(h.value(QStringLiteral("seq")).toInt());
            else
                sender->answered(op == QLatin1String("done"), h.value(QStringLiteral("why")).toString(),
                                 h.value(QStringLiteral("reason")).toString());
        } else if (op == QLatin1String("fail")) {
            Q_EMIT askFailed(xfer, h.value(QStringLiteral("why")).toString());
        }
        // Anything else is a late answer to a transfer that ended here already.
        return;
    }
    if (op == QLatin1String("ask"))
        return Q_EMIT asked(from, xfer, h);
    if (op == QLatin1String("pause") || op == QLatin1String("resume")) {
        if (peerOf(xfer) != from)
            return notUnderWay(topic, op, xfer);
        Pauses &pauses = m_pauses[xfer];
        const int n = h.value(QStringLiteral("n")).toInt();
        // A redelivered or overtaken one changes nothing.
        if (n > pauses.seen) {
            pauses.seen = n;
            Q_EMIT peerPaused(xfer, op == QLatin1String("pause"));
        }
        return;
    }
    const auto ended = m_ended.constFind(xfer);
    if (ended != m_ended.cend()) {
        // Sent again after the end (the answer was lost with the link): the same answer again.
        if (op == QLatin1String("end"))
            answer(from, xfer, *ended == kDone, *ended);
        return;
    }
    if (op == QLatin1String("open"))
        return open(from, xfer, h);
    const auto in = m_incoming.find(xfer);
    if (in == m_incoming.end() || in->from != from || !in->transfer)
        return notUnderWay(topic, op, xfer);
    if (op == QLatin1String("chunk"))
        return chunk(*in, xfer, h.value(QStringLiteral("seq")).toInt(), record.bytes);
    if (op == QLatin1String("end"))
        return in->transfer->end(QByteArray::fromHex(h.value(QStringLiteral("sha256")).toString().toLatin1()));
    // "cancel": the sender gave up; its ".part" goes here too.
    const QPointer<KCirraTransfer> transfer = in->transfer;
    m_incoming.erase(in);
    remember(xfer, from, false, QStringLiteral("cancelled"));
    if (!transfer)
        return;
    if (h.value(QStringLiteral("reason")).toString() == QLatin1String("sender_offline"))
        transfer->abort(QStringLiteral("the sending device went offline"), "sender_offline");
    else
        transfer->abort(QStringLiteral("the sending machine cancelled the transfer"), "peer_cancelled");
}

void KCirraFederationBytes::open(const QString &from, const QString &xfer, const QJsonObject &h)
{
    if (m_incoming.contains(xfer))
        return; // a repeated "open": the transfer is under way
    const QString device = h.value(QStringLiteral("to")).toString();
    const QString kind = h.value(QStringLiteral("kind")).toString();
    const KCirraUser &user = m_service->users().user(m_account);
    const auto local = user.devices.constFind(device);
    QString why;
    if (local == user.devices.cend() || !local->instance.isEmpty())
        why = QStringLiteral("device %1 is not a device of this machine").arg(device);
    else if (!m_receivers.contains(kind))
        why = QStringLiteral("nothing here takes a transfer of kind \"%1\"").arg(kind.left(32));
    if (!why.isEmpty()) {
        Q_EMIT rejected(Record::topic(m_account, QStringLiteral("data"), m_instance), why);
        return remember(xfer, from, false, why);
    }
    KCirraTransfer::Options options;
    auto *transfer =
        new KCirraTransfer(m_service->users().relayDir(m_account, device), h.value(QStringLiteral("name")).toString(),
                           qint64(h.value(QStringLiteral("size")).toDouble()), options, this);
    if (!transfer->receive() || !m_receivers.value(kind)(from, h, transfer)) {
        why = transfer->error().isEmpty() ? QStringLiteral("refused") : transfer->error();
        transfer->abort(why, "cannot_save");
        delete transfer;
        qCWarning(lcFederation).noquote() << "transfer" << xfer << "from instance" << from << "refused:" << why;
        return remember(xfer, from, false, why);
    }
    m_incoming.insert(xfer, {transfer, from, 0});
    connect(transfer, &KCirraTransfer::finished, this, [this, xfer, transfer](bool ok, const QString &error) {
        m_pauses.remove(xfer);
        const auto in = m_incoming.constFind(xfer);
        if (in == m_incoming.cend() || in->transfer != transfer)
            return; // ended by the sender's cancel
        const QString sender = in->from;
        m_incoming.erase(in);
        remember(xfer, sender, ok, error, transfer->reason());
    });
    qCInfo(lcFederation).noquote() << "receiving" << h.value(QStringLiteral("size")).toDouble() << "bytes for" << device
                                   << "from instance" << from << "as" << xfer;
}

void KCirraFederationBytes::chunk(Incoming &in, const QString &xfer, int seq, const QByteArray &bytes)
{
    if (seq == in.nextSeq) {
        ++in.nextSeq;
        // A failed push ends the transfer; its finished() answers the sender.
        if (!in.transfer->push(bytes))
            return;
    } else if (seq > in.nextSeq) {
        return; // ahead of its turn: the sender sends it again after the missing one
    }
    publish(in.from, xfer, QStringLiteral("ack"), {{QStringLiteral("seq"), in.nextSeq - 1}});
}

void KCirraFederationBytes::instanceGone(const QString &instance)
{
    for (const QPointer<KCirraFederationSend> &sender : m_outgoing.values()) {
        if (sender && sender->instance() == instance)
            sender->abort(QStringLiteral("the other machine went offline"), "peer_offline");
    }
    for (const QString &xfer : m_incoming.keys()) {
        const Incoming in = m_incoming.value(xfer);
        if (in.from != instance)
            continue;
        m_incoming.remove(xfer);
        if (in.transfer)
            in.transfer->abort(QStringLiteral("the sending machine went offline"), "peer_offline");
    }
}

void KCirraFederationBytes::reconnected()
{
    for (const QPointer<KCirraFederationSend> &sender : m_outgoing.values()) {
        if (sender)
            sender->resend();
    }
}
