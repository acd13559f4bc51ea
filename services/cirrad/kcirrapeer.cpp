// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrapeer.h"

#include <kcirrachannel.h>
#include <kcirracodec.h>

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {
// A peer that lets this much pile up unread is dropped rather than buffered.
constexpr qint64 kMaxPendingWrite = 64 * 1024 * 1024;
} // namespace

KCirraPeer::KCirraPeer(int descriptor, int id, int helloTimeoutMs, QObject *parent)
    : QObject(parent)
    , m_channel(new KCirraChannel(descriptor, KCirraCodec::kMaxFrameSize, this))
    , m_id(id)
{
    m_channel->setFrameHandler([this](const qoz::cirra::CirraFrame &frame) {
        if (m_handler && !m_closed)
            m_handler(this, frame);
    });
    connect(m_channel, &KCirraChannel::closed, this, &KCirraPeer::onClosed);
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
    if (m_channel->bytesToWrite() + bytes.size() > kMaxPendingWrite) {
        closeWithError(QStringLiteral("peer does not read; %1 bytes pending").arg(m_channel->bytesToWrite()));
        return;
    }
    m_channel->queue(bytes);
}

void KCirraPeer::push()
{
    if (!m_closed)
        m_channel->flush();
}

void KCirraPeer::drain()
{
    if (!m_closed)
        m_channel->waitForBytesWritten(1000);
}

void KCirraPeer::closeWithError(const QString &reason)
{
    if (m_closed)
        return;
    qCWarning(lcCirrad).noquote() << "closing peer" << describe() << ":" << reason;
    m_channel->abort();
    onDisconnected();
}

void KCirraPeer::onClosed(const QString &error)
{
    // An empty error: the other end hung up, as a shell does when it quits.
    if (!error.isEmpty())
        qCWarning(lcCirrad).noquote() << "closing peer" << describe() << ":" << error;
    onDisconnected();
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
