// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>

class KCirraByteWriter;
class QSocketNotifier;

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
 * Both sockets the guard relays between are read and written straight on
 * their descriptors: a device layer would ask the kernel how many bytes
 * wait before each read and copy them once more. What one side does not
 * take at once is kept, and the other side is not read until it is written.
 * A client message is handed on within the same event-loop pass: the inner
 * socket is told to read it at once and to write what the server answered,
 * which goes back to the client before the pass ends.
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

    // Reads client frame headers in `data`, the next `size` bytes of the
    // stream; returns how many of them come before an unmasked frame (all of
    // them when there is none) and sets *unmasked when one starts.
    qint64 scan(const char *data, qint64 size, bool *unmasked);

Q_SIGNALS:
    void unmaskedFrame();

private:
    // One relayed socket: its descriptor and the writer keeping what it did not take yet.
    struct End
    {
        int fd = -1;
        QSocketNotifier *readable = nullptr;
        KCirraByteWriter *writer = nullptr;
        bool closeWhenWritten = false;
    };

    KxWebBridgeFrameGuard(int clientFd, int relayFd, qint64 headBytes, QObject *parent);
    void setUp(End &end, int fd);
    void fromClient(const char *data, qint64 size);
    void relayAtOnce();
    End &other(End &end) { return &end == &m_client ? m_relay : m_client; }
    void onReadable(End &from);
    void onDrained(End &to);
    void pass(const char *data, qint64 size, End &to, End &from);
    void closeEnd(End &end);
    void closeAfterWriting(End &end);
    void closeAsUnmasked();

    End m_client;
    End m_relay;
    QPointer<QTcpSocket> m_inner;
    qint64 m_headLeft;
    QByteArray m_header;      // the frame header read so far
    qint64 m_payloadLeft = 0; // payload bytes of the current frame still to pass
    bool m_failed = false;
};
