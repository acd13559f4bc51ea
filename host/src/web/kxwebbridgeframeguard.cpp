// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgeframeguard.h"

#include "ksocketdirectwriter.h"
#include "kxweblog.h"

#include <QTcpSocket>

#include <cerrno>
#include <cstring>

#include <limits>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uchar kMaskBit = 0x80;
// A close frame from the server (never masked) with status 1002.
const char kCloseProtocolError[] = {'\x88', '\x02', '\x03', '\xea'};

} // namespace

KxWebBridgeFrameGuard *KxWebBridgeFrameGuard::create(QTcpSocket *client, qint64 headBytes, QObject *parent)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
        qCWarning(lcWeb, "bridge server: no socket pair for a client: %s", strerror(errno));
        return nullptr;
    }
    auto *inner = new QTcpSocket;
    auto *relay = new QTcpSocket;
    const bool innerSet = inner->setSocketDescriptor(fds[0]);
    const bool relaySet = relay->setSocketDescriptor(fds[1]);
    if (!innerSet || !relaySet) {
        qCWarning(lcWeb, "bridge server: socket pair not usable for a client");
        if (!innerSet)
            ::close(fds[0]);
        if (!relaySet)
            ::close(fds[1]);
        delete inner;
        delete relay;
        return nullptr;
    }
    auto *guard = new KxWebBridgeFrameGuard(client, headBytes, parent);
    guard->m_inner = inner;
    guard->m_relay = relay;
    relay->setParent(guard);
    connect(relay, &QTcpSocket::readyRead, guard, &KxWebBridgeFrameGuard::onServerData);
    connect(relay, &QTcpSocket::disconnected, guard, [guard] {
        if (guard->m_failed)
            return;
        guard->onServerData();
        guard->m_client->disconnectFromHost();
    });
    return guard;
}

KxWebBridgeFrameGuard::KxWebBridgeFrameGuard(QTcpSocket *client, qint64 headBytes, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_headLeft(headBytes)
{
    client->setParent(this);
    connect(client, &QTcpSocket::readyRead, this, &KxWebBridgeFrameGuard::onClientData);
    connect(client, &QTcpSocket::disconnected, this, [this] {
        if (m_relay)
            m_relay->disconnectFromHost();
        deleteLater();
    });
    // The request head is buffered already: no readyRead would bring it.
    QMetaObject::invokeMethod(this, &KxWebBridgeFrameGuard::onClientData, Qt::QueuedConnection);
}

KxWebBridgeFrameGuard::~KxWebBridgeFrameGuard() = default;

qint64 KxWebBridgeFrameGuard::scan(const QByteArray &data, bool *unmasked)
{
    *unmasked = false;
    const qint64 size = data.size();
    // Where the frame whose header is being read began; 0 when it began earlier.
    qint64 frameStart = 0;
    qint64 at = 0;
    while (at < size) {
        if (m_payloadLeft > 0) {
            const qint64 take = qMin(m_payloadLeft, size - at);
            m_payloadLeft -= take;
            at += take;
            continue;
        }
        if (m_header.isEmpty())
            frameStart = at;
        m_header.append(data.at(int(at)));
        ++at;
        if (m_header.size() < 2)
            continue;
        const uchar second = uchar(m_header.at(1));
        if (!(second & kMaskBit)) {
            *unmasked = true;
            return frameStart;
        }
        const int shortLength = second & 0x7f;
        const int lengthBytes = shortLength == 126 ? 2 : shortLength == 127 ? 8 : 0;
        if (m_header.size() < 2 + lengthBytes + 4)
            continue;
        quint64 length = quint64(shortLength);
        if (lengthBytes) {
            length = 0;
            for (int i = 0; i < lengthBytes; ++i)
                length = (length << 8) | uchar(m_header.at(2 + i));
        }
        m_payloadLeft = qint64(qMin<quint64>(length, quint64(std::numeric_limits<qint64>::max())));
        m_header.clear();
    }
    return size;
}

void KxWebBridgeFrameGuard::onClientData()
{
    if (m_failed || !m_relay)
        return;
    const QByteArray data = m_client->readAll();
    qint64 head = 0;
    if (m_headLeft > 0) {
        head = qMin(m_headLeft, qint64(data.size()));
        m_headLeft -= head;
    }
    bool unmasked = false;
    const qint64 passed = scan(data.mid(int(head)), &unmasked);
    KSocketDirectWriter::write(m_relay, m_relay->socketDescriptor(), data.constData(), head + passed);
    if (unmasked)
        closeAsUnmasked();
}

void KxWebBridgeFrameGuard::onServerData()
{
    if (m_failed)
        return;
    const QByteArray data = m_relay->readAll();
    KSocketDirectWriter::write(m_client, m_client->socketDescriptor(), data.constData(), data.size());
}

void KxWebBridgeFrameGuard::closeAsUnmasked()
{
    m_failed = true;
    qCWarning(lcWeb, "bridge server: a client frame is not masked, the connection closes (1002)");
    Q_EMIT unmaskedFrame();
    // The server side goes first, so nothing it still writes reaches the client.
    m_relay->abort();
    m_client->write(kCloseProtocolError, sizeof(kCloseProtocolError));
    m_client->disconnectFromHost();
}
