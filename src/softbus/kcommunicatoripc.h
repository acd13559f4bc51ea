// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikcommunicator.h"

#include <kcirrarecords.h>

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>

#include <map>
#include <string>

/*
 * The SoftBus communicator over the host's cloud proxy: each request is a
 * "cirraIpcCall" of method "requestSoftBusCommunicator"; the proxy completes
 * it on ipc_send / ipc_listenMessage, and the service's broadcast lines
 * ("act=broadcast&SoftBusEvent=<Base64 JSON>[&SoftBusData=<Base64 data>]")
 * carry the results and notices
 * afterwards. Four registries follow a request: pending sends and pending
 * listens (by request id, until the IPC call completes), awaiting results
 * (by the service's cobId, until the last result or Finished) and the
 * listeners of each operation. A reconnection of the service empties them
 * all and hands over to the communicator proxy to register again.
 *
 * Created once by the process-wide communicator proxy and lives as long;
 * GUI thread only (the registries have no locks).
 */
namespace SoftBus {
namespace Business {

// Completion slots name the record by its bare class name, as the proxy invokes them.
using qoz::cirra::CirraIpcResult;

class KCommunicatorIpc : public QObject, public IKCommunicator
{
    Q_OBJECT
public:
    KCommunicatorIpc();
    ~KCommunicatorIpc() override;

    int send(const Protocol::Internal::CommunicationContent &content, ContentCallback callback) override;
    int listenMessage(const ChannelAbility::Operation &operation, ContentCallback callback) override;

private Q_SLOTS:
    void ipc_send(bool ok, QString requestId, CirraIpcResult result);
    void ipc_listenMessage(bool ok, QString requestId, CirraIpcResult result);
    void ipc_reRegisterListen(bool ok, QString requestId, CirraIpcResult result);
    void reRegisterListen();
    void onNotifyBroadcast(QString message);

private:
    // A registered callback and a serial that tells it apart from one
    // registered again under the same key while it ran.
    struct Entry
    {
        quint64 serial = 0;
        ContentCallback callback;
    };

    QString ipcCall(QObject *receiver, const char *method, std::map<std::string, std::string> params);
    Entry entry(ContentCallback callback) { return {++m_serial, std::move(callback)}; }
    // `data`: the content's data when the line carried it beside the event ("SoftBusData").
    void onSendResult(const QJsonObject &event, const QString *data);
    void onListenNotice(const QJsonObject &event, const QString *data);

    QMap<QString, ContentCallback> m_pendingSends;
    QMap<QString, QPair<ChannelAbility::Operation, ContentCallback>> m_pendingListens;
    QMap<qint64, Entry> m_awaitingResults;
    QMap<ChannelAbility::Operation, QList<Entry>> m_listeners;
    quint64 m_serial = 0;

    Q_DISABLE_COPY(KCommunicatorIpc)
};

} // namespace Business
} // namespace SoftBus
