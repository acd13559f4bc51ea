// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirraservice.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

class KCirraDocumentRegistry;
class KCirraPeer;
class KCirraTransfer;
class QTimer;

/*
 * Relays a document open on one of the user's devices to another
 * ("cirraIpcCall" method "batchQueryFilesTags", argMap "device_id", "uuid").
 * The shell that has the document open is asked to save it
 * ("act=broadcast&relayFileLabel={"relayId","uuid"}", to that shell only)
 * and answers with "relayFileLabelReady" (argMap "relayId", "path", or
 * "error"); the file's bytes then move through KCirraTransfer into the
 * receiving device's relay folder, the receiver's call is answered with the
 * copy's path and the source shell is told to close its tab
 * ("relayFileLabelDone"). Progress reaches the receiver as
 * "fileLabelRelayProgress". A source shell that goes away, does not answer
 * within 30 s, or a failed transfer fails the relay (state 500); a second
 * relay of a document being relayed is refused (409).
 *
 * A document open on a device of another machine: its cirrad is asked
 * through the broker ("ask", KCirraFederationBytes), asks its shell to save
 * as above and sends the bytes back as a transfer of kind "relay" under the
 * asking relay's id; they land here like a local relay's, with the same
 * progress and answer. A refusal there ("fail") or a broken transfer fails
 * the relay here, and the source shell there closes its tab only on
 * success.
 *
 * Owned by KCirraService (Qt parent); main thread.
 */
class KCirraRelay : public QObject
{
    Q_OBJECT
public:
    KCirraRelay(KCirraService *service, KCirraDocumentRegistry *documents);
    ~KCirraRelay() override;

private:
    struct Relay
    {
        QString userId;
        QString uuid;
        QString name;
        QString sourceDevice;
        QString targetDevice;
        QPointer<KCirraPeer> source;
        QPointer<KCirraPeer> target;
        KCirraService::Responder respond;
        QPointer<KCirraTransfer> transfer;
        QTimer *timeout = nullptr;
        // The instance holding the document (on the receiving side), or the one receiving it and
        // its relay id there (on the holding side); empty on one machine.
        QString sourceInstance;
        QString targetInstance;
        QString targetRelay;
        qint64 lastProgressMs = 0;
    };

    qoz::cirra::CirraIpcResult request(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult ready(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    QString begin(Relay relay, const QString &relayId);
    void onAsked(const QString &fromInstance, const QString &xfer, const QJsonObject &fields);
    bool receive(const QString &fromInstance, const QJsonObject &open, KCirraTransfer *transfer);
    void watch(const QString &relayId, KCirraTransfer *transfer);
    void onTransferFinished(const QString &relayId, bool ok, const QString &error);
    void onShellClosed(KCirraPeer *peer);
    void finish(const QString &relayId, int state, const QString &msg, const QJsonObject &data = QJsonObject());

    KCirraService *m_service;
    KCirraDocumentRegistry *m_documents;
    QHash<QString, Relay> m_relays;
    qint64 m_nextId = 0;
    qint64 m_rate = 0;
};
