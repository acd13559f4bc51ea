// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrafederationrecord.h"
#include "kcirratransfer.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QQueue>

#include <functional>

class KCirraFederationSend;
class KCirraMqttClient;
class KCirraService;

/*
 * File bytes between the cirrads of one user on different machines, over
 * the broker's "data" topics (KCirraFederationRecord). Sending:
 * send() makes a KCirraFederationSend. Receiving: an "open" for a device
 * of this machine becomes a KCirraTransfer fed with the chunks that arrive
 * in order (a duplicate is acknowledged again, one ahead of its turn is
 * dropped and comes again), into the device's relay folder under the same
 * ".part", fsync, rename and SHA-256 check as a transfer on one machine;
 * the feature registered for the open's "kind" ("file", "relay") takes it
 * over (setReceiver()) or it is refused. The answer ("done" or "fail")
 * is remembered for the last kRemembered transfers, so a repeated "end"
 * after a broker restart gets it again. An instance that went away fails
 * every transfer with it ("peer_offline"). A pause or resume of the task
 * on either machine reaches the other one (setPaused(), peerPaused()):
 * the sender stops or goes on reading, both show the same state.
 *
 * Owned by KCirraFederation (Qt parent); main thread.
 */
class KCirraFederationBytes : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRemembered = 1024;
    // Takes the new transfer over (its Qt parent, its signals) or returns false.
    using Receiver = std::function<bool(const QString &fromInstance, const QJsonObject &open, KCirraTransfer *)>;

    KCirraFederationBytes(KCirraService *service, QObject *parent);
    // The broker link and who this instance is; nothing travels before.
    void attach(KCirraMqttClient *client, const QString &account, const QString &instance);

    // A file name as an "open" carries it: no control characters, at most 128 characters.
    static QString wireName(const QString &name);
    void setReceiver(const QString &kind, const Receiver &receiver) { m_receivers.insert(kind, receiver); }
    // `open` carries "to" (the device there), "kind", "name" and what the kind needs.
    KCirraTransfer *send(const QString &instance, const QString &sourcePath, const QJsonObject &open,
                         const KCirraTransfer::Options &options, QObject *parent);
    // Asks `instance` to send the document `uuid` open on its `device` to our `to` ("ask").
    void ask(const QString &instance, const QString &xfer, const QJsonObject &fields);
    void publish(const QString &instance, const QString &xfer, const QString &op, QJsonObject fields);
    // A "data" record of `xfer` from this instance, with `size` raw bytes after its header line.
    QByteArray record(const QString &xfer, const QString &op, QJsonObject fields, const char *bytes = nullptr,
                      int size = 0) const;
    void publish(const QString &instance, const QByteArray &record);
    // Tells the other machine of a transfer under way that it was paused or resumed here; false
    // when `xfer` is no transfer with another machine.
    bool setPaused(const QString &xfer, bool paused);

    void onData(const KCirraFederationRecord::Received &record);
    void instanceGone(const QString &instance);
    void reconnected();

Q_SIGNALS:
    void rejected(const QString &topic, const QString &why);
    // Another instance asks for a document of this machine ("ask").
    void asked(const QString &fromInstance, const QString &xfer, const QJsonObject &fields);
    // A "fail" for a transfer not sent from here: the answer to an "ask".
    void askFailed(const QString &xfer, const QString &why);
    // The other machine of a transfer under way paused or resumed it there.
    void peerPaused(const QString &xfer, bool paused);

private:
    struct Incoming
    {
        QPointer<KCirraTransfer> transfer;
        QString from;
        int nextSeq = 0;
    };

    struct Pauses
    {
        int sent = 0;
        int seen = -1;
    };

    void open(const QString &from, const QString &xfer, const QJsonObject &header);
    // The instance at the other end of a transfer under way, else empty.
    QString peerOf(const QString &xfer) const;
    void notUnderWay(const QString &topic, const QString &op, const QString &xfer);
    void chunk(Incoming &in, const QString &xfer, int seq, const QByteArray &bytes);
    // `reason`: the receiving transfer's reason word, when it failed there.
    void answer(const QString &from, const QString &xfer, bool ok, const QString &why, const QString &reason = {});
    void remember(const QString &xfer, const QString &from, bool ok, const QString &why, const QString &reason = {});

    KCirraService *m_service;
    KCirraMqttClient *m_client = nullptr;
    QString m_account;
    QString m_instance;
    QHash<QString, Receiver> m_receivers;
    QHash<QString, QPointer<KCirraFederationSend>> m_outgoing;
    QHash<QString, Incoming> m_incoming;
    // xfer -> "done" or the words of "fail", for transfers that ended here.
    QHash<QString, QString> m_ended;
    QQueue<QString> m_endedOrder;
    // Pauses and resumes sent and the last one taken, per transfer under way.
    QHash<QString, Pauses> m_pauses;
};
