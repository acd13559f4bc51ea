// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgeframeguard.h"

#include "kxweblog.h"

#include <kcirrabytewriter.h>

#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <limits>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uchar kMaskBit = 0x80;
// A close frame from the server (never masked) with status 1002.
const char kCloseProtocolError[] = {'\x88', '\x02', '\x03', '\xea'};
constexpr size_t kReadChunk = 64 * 1024;
// Bytes one side may pass in one event-loop pass, so the other is served too.
constexpr qint64 kReadPerPass = 1024 * 1024;

} // namespace

KxWebBridgeFrameGuard *KxWebBridgeFrameGuard::create(QTcpSocket *client, qint64 headBytes, QObject *parent)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
        qCWarning(lcWeb, "bridge server: no socket pair for a client: %s", strerror(errno));
        return nullptr;
    }
    // The client's connection is taken over by its descriptor; the socket
    // object lets go of its own copy below.
    const int clientFd = ::fcntl(int(client->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
    auto *inner = new QTcpSocket;
    if (clientFd < 0 || !inner->setSocketDescriptor(fds[0])) {
        qCWarning(lcWeb, "bridge server: socket pair not usable for a client");
        delete inner;
        ::close(fds[0]);
        ::close(fds[1]);
        if (clientFd >= 0)
            ::close(clientFd);
        return nullptr;
    }
    ::fcntl(clientFd, F_SETFL, ::fcntl(clientFd, F_GETFL) | O_NONBLOCK);
    auto *guard = new KxWebBridgeFrameGuard(clientFd, fds[1], headBytes, parent);
    guard->m_inner = inner;
    // The request head (and whatever came after it) is buffered already: no
    // notifier would bring it. It is passed once the server took the inner side.
    const QByteArray buffered = client->readAll();
    client->abort();
    client->deleteLater();
    QMetaObject::invokeMethod(
        guard,
        [guard, buffered] {
            if (guard->m_client.fd >= 0)
                guard->fromClient(buffered.constData(), buffered.size());
        },
        Qt::QueuedConnection);
    return guard;
}

KxWebBridgeFrameGuard::KxWebBridgeFrameGuard(int clientFd, int relayFd, qint64 headBytes, QObject *parent)
    : QObject(parent)
    , m_headLeft(headBytes)
{
    setUp(m_client, clientFd);
    setUp(m_relay, relayFd);
}

KxWebBridgeFrameGuard::~KxWebBridgeFrameGuard()
{
    for (const int fd : {m_client.fd, m_relay.fd}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void KxWebBridgeFrameGuard::setUp(End &end, int fd)
{
    end.fd = fd;
    end.readable = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    end.writer = new KCirraByteWriter(fd, this);
    connect(end.readable, &QSocketNotifier::activated, this, [this, &end] { onReadable(end); });
    connect(end.writer, &KCirraByteWriter::drained, this, [this, &end] { onDrained(end); });
    connect(end.writer, &KCirraByteWriter::failed, this, [this, &end] {
        closeEnd(end);
        closeAfterWriting(other(end));
    });
}

qint64 KxWebBridgeFrameGuard::scan(const char *data, qint64 size, bool *unmasked)
{
    *unmasked = false;
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
        m_header.append(data[at]);
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

void KxWebBridgeFrameGuard::fromClient(const char *data, qint64 size)
{
    qint64 head = 0;
    if (m_headLeft > 0) {
        head = qMin(m_headLeft, size);
        m_headLeft -= head;
    }
    bool unmasked = false;
    const qint64 passed = scan(data + head, size - head, &unmasked);
    pass(data, head + passed, m_relay, m_client);
    if (unmasked)
        closeAsUnmasked();
    else if (head + passed > 0)
        relayAtOnce();
}

void KxWebBridgeFrameGuard::relayAtOnce()
{
    // Waiting for the next event-loop pass twice (the server reading, this
    // guard reading its answer) costs more than the hop itself.
    if (!m_inner || m_relay.writer->bytesToWrite() > 0 || m_relay.fd < 0)
        return;
    m_inner->waitForReadyRead(0);
    if (m_inner)
        m_inner->flush();
    if (m_relay.fd >= 0 && m_relay.readable->isEnabled())
        onReadable(m_relay);
}

void KxWebBridgeFrameGuard::onReadable(End &from)
{
    End &to = other(from);
    char buffer[kReadChunk];
    qint64 budget = kReadPerPass;
    while (from.fd >= 0 && !m_failed && budget > 0) {
        const ssize_t n = ::recv(from.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            // Hung up or failed: the other side gets what is kept for it, then goes too.
            closeEnd(from);
            closeAfterWriting(to);
            return;
        }
        budget -= n;
        if (&from == &m_client)
            fromClient(buffer, n);
        else
            pass(buffer, n, to, from);
        // Less than asked for: the socket is empty. Something kept: the
        // other side is full and this one waits for it.
        if (size_t(n) < sizeof buffer || to.writer->bytesToWrite() > 0)
            return;
    }
}

void KxWebBridgeFrameGuard::pass(const char *data, qint64 size, End &to, End &from)
{
    if (size <= 0 || to.fd < 0)
        return;
    if (!to.writer->write(data, size)) {
        closeEnd(to);
        closeAfterWriting(from);
        return;
    }
    // Kept: the other side is not read until this one drained.
    if (to.writer->bytesToWrite() > 0)
        from.readable->setEnabled(false);
}

void KxWebBridgeFrameGuard::onDrained(End &to)
{
    End &from = other(to);
    if (to.closeWhenWritten)
        closeEnd(to);
    else if (from.fd >= 0 && !from.closeWhenWritten && !m_failed)
        from.readable->setEnabled(true);
}

void KxWebBridgeFrameGuard::closeAfterWriting(End &end)
{
    if (end.fd < 0)
        return;
    end.readable->setEnabled(false);
    end.closeWhenWritten = true;
    if (end.writer->bytesToWrite() == 0)
        closeEnd(end);
}

void KxWebBridgeFrameGuard::closeEnd(End &end)
{
    if (end.fd < 0)
        return;
    end.readable->setEnabled(false);
    end.writer->detach();
    // Unread bytes at close would make the kernel reset the connection and
    // the peer could lose what was written last (a close frame).
    char sink[4096];
    while (::recv(end.fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    ::close(end.fd);
    end.fd = -1;
    if (m_client.fd < 0 && m_relay.fd < 0)
        deleteLater();
}

void KxWebBridgeFrameGuard::closeAsUnmasked()
{
    m_failed = true;
    qCWarning(lcWeb, "bridge server: a client frame is not masked, the connection closes (1002)");
    Q_EMIT unmaskedFrame();
    // The server side goes first, so nothing it still writes reaches the client.
    closeEnd(m_relay);
    pass(kCloseProtocolError, sizeof(kCloseProtocolError), m_client, m_relay);
    closeAfterWriting(m_client);
}
