// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrachannel.h"

#include "kcirrabytewriter.h"

#include <cirra/cirra_types.h>

#include <QFile>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Read per wake-up at most; a fast sender then waits for the next pass
// instead of keeping the other connections waiting.
constexpr qint64 kReadPerPass = 1024 * 1024;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

KCirraChannel::KCirraChannel(int descriptor, quint32 maxFrameSize, QObject *parent)
    : QObject(parent)
    , m_fd(descriptor)
    , m_reader(maxFrameSize)
    , m_readNotifier(new QSocketNotifier(descriptor, QSocketNotifier::Read, this))
    , m_writer(new KCirraByteWriter(descriptor, this))
{
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0 && !(flags & O_NONBLOCK))
        ::fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &KCirraChannel::onReadable);
    connect(m_writer, &KCirraByteWriter::failed, this, [this] { wrote(false); });
}

KCirraChannel::~KCirraChannel()
{
    abort();
}

int KCirraChannel::connectTo(const QString &path, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path) {
        *error = QStringLiteral("unusable socket path %1").arg(path);
        return -1;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = errorText(errno);
        return -1;
    }
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        *error = errorText(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool KCirraChannel::send(const QByteArray &bytes)
{
    return isOpen() && wrote(m_writer->write(bytes));
}

bool KCirraChannel::queue(const QByteArray &bytes)
{
    return isOpen() && wrote(m_writer->keep(bytes));
}

void KCirraChannel::flush()
{
    if (isOpen())
        wrote(m_writer->flush());
}

bool KCirraChannel::waitForBytesWritten(int timeoutMs)
{
    return isOpen() && wrote(m_writer->waitForDrained(timeoutMs)) && bytesToWrite() == 0;
}

qint64 KCirraChannel::bytesToWrite() const
{
    return m_writer->bytesToWrite();
}

bool KCirraChannel::wrote(bool written)
{
    if (written || !m_writer->hasFailed() || m_writeFailed)
        return written;
    // The other end is gone. The bytes cannot arrive any more; the close is
    // reported from the event loop, not from inside the caller's write.
    m_writeFailed = true;
    QMetaObject::invokeMethod(
        this, [this, error = m_writer->errorString()] { fail(error); }, Qt::QueuedConnection);
    return false;
}

void KCirraChannel::onReadable()
{
    QPointer<KCirraChannel> guard(this);
    char buffer[kReadChunk];
    qint64 budget = kReadPerPass;
    while (isOpen() && budget > 0) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0) {
            fail(QString());
            return;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                fail(errorText(errno));
            return;
        }
        budget -= n;
        m_reader.append(buffer, int(n));
        qoz::cirra::CirraFrame frame;
        KCirraFrameReader::Status status;
        while ((status = m_reader.nextFrame(&frame)) == KCirraFrameReader::Status::Frame) {
            if (m_handler)
                m_handler(frame);
            // The handler may have closed or deleted us.
            if (!guard || !isOpen())
                return;
        }
        if (status == KCirraFrameReader::Status::Error) {
            fail(m_reader.errorString());
            return;
        }
        // Less than asked for: the socket is empty; the notifier tells of more.
        if (size_t(n) < sizeof buffer)
            return;
    }
}

void KCirraChannel::fail(const QString &error)
{
    if (!isOpen())
        return;
    abort();
    Q_EMIT closed(error);
}

void KCirraChannel::abort()
{
    if (!isOpen())
        return;
    m_readNotifier->setEnabled(false);
    m_writer->detach();
    ::close(m_fd);
    m_fd = -1;
}
