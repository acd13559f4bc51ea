// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrafederationsend.h"

#include "kcirrafederationbytes.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcFederation)

KCirraFederationSend::KCirraFederationSend(KCirraFederationBytes *bytes, const QString &instance, const QString &xfer,
                                           const QString &sourcePath, const QJsonObject &open, const Options &options,
                                           QObject *parent)
    : KCirraTransfer(sourcePath, QString(), open.value(QStringLiteral("name")).toString(), options, parent)
    , m_bytes(bytes)
    , m_instance(instance)
    , m_xfer(xfer)
    , m_open(open)
{
    m_check.setInterval(1000);
    connect(&m_check, &QTimer::timeout, this, &KCirraFederationSend::check);
}

KCirraFederationSend::~KCirraFederationSend()
{
    // Gone while running: the receiver must not keep its ".part".
    if (state() == State::Running || state() == State::Paused)
        dropTarget();
}

void KCirraFederationSend::publish(const QString &op, const QJsonObject &fields)
{
    if (m_bytes)
        m_bytes->publish(m_instance, m_xfer, op, fields);
}

bool KCirraFederationSend::openTarget()
{
    QJsonObject open = m_open;
    open.insert(QStringLiteral("size"), double(total()));
    publish(QStringLiteral("open"), open);
    m_opened = true;
    m_lastAnswerMs = QDateTime::currentMSecsSinceEpoch();
    m_check.start();
    return true;
}

bool KCirraFederationSend::writeTarget(const char *data, qint64 size)
{
    if (!m_bytes)
        return false;
    // The read buffer may be larger than a chunk: cut it. Each piece is copied once, into its record.
    for (qint64 at = 0; at < size; at += KCirraFederationRecord::kChunkBytes) {
        const int seq = m_nextSeq++;
        const QByteArray record =
            m_bytes->record(m_xfer, QStringLiteral("chunk"), {{QStringLiteral("seq"), seq}}, data + at,
                            int(qMin<qint64>(KCirraFederationRecord::kChunkBytes, size - at)));
        m_unacked.insert(seq, record);
        m_bytes->publish(m_instance, record);
    }
    return true;
}

void KCirraFederationSend::completeTarget()
{
    m_ended = true;
    publish(QStringLiteral("end"), {{QStringLiteral("sha256"), QString::fromLatin1(sha256().toHex())}});
}

void KCirraFederationSend::dropTarget()
{
    m_check.stop();
    m_unacked.clear();
    // The failure's word ("sender_offline", "file_changed", ...) goes along; empty for a cancel.
    if (m_opened)
        publish(QStringLiteral("cancel"), {{QStringLiteral("reason"), reason()}});
    m_opened = false;
}

void KCirraFederationSend::acknowledged(int seq)
{
    m_lastAnswerMs = QDateTime::currentMSecsSinceEpoch();
    while (!m_unacked.isEmpty() && m_unacked.firstKey() <= seq)
        m_unacked.erase(m_unacked.begin());
    wake();
}

void KCirraFederationSend::answered(bool ok, const QString &why, const QString &reason)
{
    if (state() != State::Running && state() != State::Paused)
        return;
    m_opened = false; // the receiver is done with it either way
    m_check.stop();
    if (!ok) {
        // The receiver's word when it is one of ours, so the page can say what went wrong there.
        static const char *const kWords[] = {"disk_full", "cannot_save", "too_large", "damaged", "peer_offline"};
        const char *word = "peer_cancelled";
        for (const char *w : kWords) {
            if (reason == QLatin1String(w))
                word = w;
        }
        return fail(QStringLiteral("the other machine could not take the file: ") + why.left(200), word);
    }
    if (!m_ended || !m_unacked.isEmpty())
        return fail(QStringLiteral("the other machine finished before the last chunk"), "damaged");
    qCInfo(lcFederation).noquote() << "sent" << total() << "bytes to instance" << m_instance << "as" << m_xfer;
    succeed();
}

void KCirraFederationSend::resend()
{
    if (!m_opened || !m_bytes)
        return;
    m_lastAnswerMs = QDateTime::currentMSecsSinceEpoch();
    // "open" is idempotent at the receiver; then every chunk it has not confirmed, in order.
    QJsonObject open = m_open;
    open.insert(QStringLiteral("size"), double(total()));
    publish(QStringLiteral("open"), open);
    for (const QByteArray &record : qAsConst(m_unacked))
        m_bytes->publish(m_instance, record);
    if (m_ended)
        publish(QStringLiteral("end"), {{QStringLiteral("sha256"), QString::fromLatin1(sha256().toHex())}});
}

void KCirraFederationSend::check()
{
    const qint64 quiet = QDateTime::currentMSecsSinceEpoch() - m_lastAnswerMs;
    if (m_unacked.isEmpty() && !m_ended) {
        m_lastAnswerMs = QDateTime::currentMSecsSinceEpoch(); // paused or reading: nothing is owed
        return;
    }
    if (quiet > kGiveUpMs)
        return fail(QStringLiteral("the other machine stopped answering"), "peer_offline");
    if (quiet > kResendMs) {
        qCInfo(lcFederation).noquote() << m_xfer << ": no answer for" << quiet << "ms, sending again from chunk"
                                       << (m_unacked.isEmpty() ? m_nextSeq : m_unacked.firstKey());
        resend();
    }
}
