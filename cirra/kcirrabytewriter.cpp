// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrabytewriter.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

KCirraByteWriter::KCirraByteWriter(int descriptor, QObject *parent)
    : QObject(parent)
    , m_fd(descriptor)
    , m_notifier(new QSocketNotifier(descriptor, QSocketNotifier::Write, this))
{
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &KCirraByteWriter::onWritable);
}

QString KCirraByteWriter::errorString() const
{
    return QString::fromLocal8Bit(std::strerror(m_error));
}

bool KCirraByteWriter::write(const char *data, qint64 size)
{
    if (!usable())
        return false;
    // Straight to the kernel: nothing is copied unless it does not take it all.
    const qint64 sent = bytesToWrite() == 0 ? send(data, size) : 0;
    if (sent < 0)
        return false;
    if (sent < size) {
        m_kept.append(data + sent, int(size - sent));
        m_notifier->setEnabled(true);
    }
    return true;
}

qint64 KCirraByteWriter::send(const char *data, qint64 size)
{
    qint64 sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(m_fd, data + sent, size_t(size - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break; // the notifier tells when there is room
        } else {
            m_error = n < 0 ? errno : EPIPE;
            detach();
            return -1;
        }
    }
    return sent;
}

bool KCirraByteWriter::keep(const QByteArray &bytes)
{
    if (!usable())
        return false;
    m_kept.append(bytes);
    if (!m_notifier->isEnabled())
        m_notifier->setEnabled(true);
    return true;
}

bool KCirraByteWriter::flush()
{
    writeKept();
    return usable();
}

void KCirraByteWriter::writeKept()
{
    if (!usable())
        return;
    if (bytesToWrite() > 0) {
        const qint64 sent = send(m_kept.constData() + m_keptOffset, bytesToWrite());
        if (sent < 0)
            return;
        m_keptOffset += int(sent);
        if (bytesToWrite() > 0)
            return;
    }
    m_kept.clear();
    m_keptOffset = 0;
    if (m_notifier->isEnabled())
        m_notifier->setEnabled(false);
}

bool KCirraByteWriter::waitForDrained(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    writeKept();
    while (usable() && bytesToWrite() > 0) {
        pollfd p = {m_fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        writeKept();
    }
    return usable();
}

void KCirraByteWriter::detach()
{
    m_notifier->setEnabled(false);
    m_fd = -1;
    m_kept.clear();
    m_keptOffset = 0;
}

void KCirraByteWriter::onWritable()
{
    writeKept();
    // Whoever hears these may delete this writer: nothing follows them.
    if (hasFailed())
        Q_EMIT failed();
    else if (m_fd >= 0 && bytesToWrite() == 0)
        Q_EMIT drained();
}
