// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QObject>

class QTcpSocket;

/*
 * Stands between a bridge client's TCP connection and the WebSocket server,
 * which does not check that client frames are masked (RFC 6455 5.1 requires
 * closing on one that is not). Every byte the client sends passes through
 * here and each frame header is read on the way; the first unmasked client
 * frame closes the connection with status 1002 (protocol error) and none of
 * it reaches the WebSocket server. What the server writes goes back to the
 * client unchanged. The server's side is one end of a local socket pair
 * (innerSocket(), for QWebSocketServer::handleConnection).
 *
 * Made by the bridge server (its parent) for each admitted upgrade; takes
 * the client socket and goes when either side closes. GUI thread.
 */
class KxWebBridgeFrameGuard : public QObject
{
    Q_OBJECT
public:
    // `client` still holds the request head (`headBytes` bytes), unread.
    // Null when no socket pair could be made.
    static KxWebBridgeFrameGuard *create(QTcpSocket *client, qint64 headBytes, QObject *parent);
    ~KxWebBridgeFrameGuard() override;

    // Handed to the WebSocket server, which owns it from then on.
    QTcpSocket *innerSocket() const { return m_inner; }

    // Reads client frame headers in `data`, the next bytes of the stream;
    // returns how many of them come before an unmasked frame (all of them
    // when there is none) and sets *unmasked when one starts.
    qint64 scan(const QByteArray &data, bool *unmasked);

Q_SIGNALS:
    void unmaskedFrame();

private:
    KxWebBridgeFrameGuard(QTcpSocket *client, qint64 headBytes, QObject *parent);
    void onClientData();
    void onServerData();
    void closeAsUnmasked();

    QTcpSocket *m_client;
    QTcpSocket *m_inner = nullptr;
    QTcpSocket *m_relay = nullptr;
    qint64 m_headLeft;
    QByteArray m_header;      // the frame header read so far
    qint64 m_payloadLeft = 0; // payload bytes of the current frame still to pass
    bool m_failed = false;
};
