// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrapeer.h"

#include <kcirracodec.h>

#include <QLocalSocket>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {
constexpr qint64 kReadChunk = 64 * 1024;
// A peer that lets this much pile up unread is dropped rather than buffered.
constexpr qint64 kMaxPendingWrite = 64 * 1024 * 1024;
} // namespace

KCirraPeer::KCirraPeer(QLocalSocket *socket, int id, int helloTimeoutMs, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_id(id)
    , m_reader(KCirraCodec::kMaxFrameSize)
{
    m_socket->setParent(this);
    // Qt stops reading from the kernel once this much is buffered, so a fast
    // sender is slowed down instead of growing our memory.
    m_socket->setReadBufferSize(1024 * 1024);
    connect(m_socket, &QLocalSocket::readyRead, this, &KCirraPeer::onReadyRead);
    connect(m_socket, &QLocalSocket::disconnected, this, &KCirraPeer::onDisconnected);
    m_helloTimer.setSingleShot(true);
    connect(&m_helloTimer, &QTimer::timeout, this, [this] {
        closeWithError(QStringLiteral("no hello within the time-out"));
    });
    m_helloTimer.start(helloTimeoutMs);
}

KCirraPeer::~KCirraPeer() = default;

void KCirraPeer::setHello(const qoz::cirra::CirraHello &hello)
{
    m_hello = hello;
    m_hasHello = true;
    m_helloTimer.stop();
}

QString KCirraPeer::describe() const
{
    if (!m_hasHello)
        return QStringLiteral("#%1").arg(m_id);
    return QStringLiteral("#%1 %2/%3 pid %4 user %5")
        .arg(m_id)
        .arg(appName(), QString::fromStdString(m_hello.deviceId))
        .arg(m_hello.processId)
        .arg(userId());
}

bool KCirraPeer::send(const qoz::cirra::CirraFrame &frame)
{
    QByteArray bytes;
    const KCirraCodec::Result result = KCirraCodec::encodeFrame(frame, &bytes);
    if (!result) {
        qCWarning(lcCirrad) << "peer" << describe() << "cannot encode frame:" << result.message;
        return false;
    }
    sendRaw(bytes);
    return !m_closed;
}

void KCirraPeer::sendRaw(const QByteArray &bytes)
{
    if (m_closed)
        return;
    if (m_socket->bytesToWrite() + bytes.size() > kMaxPendingWrite) {
        closeWithError(QStringLiteral("peer does not read; %1 bytes pending").arg(m_socket->bytesToWrite()));
        return;
    }
    m_socket->write(bytes);
}

void KCirraPeer::push()
{
    if (!m_closed)
        m_socket->flush();
}

void KCirraPeer::drain()
{
    while (!m_closed && m_socket->bytesToWrite() > 0 && m_socket->waitForBytesWritten(1000)) {
    }
}

void KCirraPeer::closeWithError(const QString &reason)
{
    if (m_closed)
        return;
    qCWarning(lcCirrad).noquote() << "closing peer" << describe() << ":" << reason;
    m_socket->abort();
    onDisconnected();
}

void KCirraPeer::onReadyRead()
{
    qoz::cirra::CirraFrame frame;
    while (!m_closed && m_socket->bytesAvailable() > 0) {
        m_reader.append(m_socket->read(qMin(kReadChunk, m_socket->bytesAvailable())));
        KCirraFrameReader::Status status;
        while ((status = m_reader.nextFrame(&frame)) == KCirraFrameReader::Status::Frame) {
            if (m_handler)
                m_handler(this, frame);
            if (m_closed)
                return;
        }
        if (status == KCirraFrameReader::Status::Error) {
            closeWithError(m_reader.errorString());
            return;
        }
    }
}

void KCirraPeer::onDisconnected()
{
    if (m_closed)
        return;
    m_closed = true;
    m_helloTimer.stop();
    if (m_closedHandler)
        m_closedHandler(this);
}
