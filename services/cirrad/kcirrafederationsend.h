// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirratransfer.h"

#include <QJsonObject>
#include <QMap>
#include <QPointer>

class KCirraFederationBytes;

/*
 * Sends one file to another machine's cirrad through the broker: the file
 * is read here as by any KCirraTransfer, its bytes leave as numbered
 * "chunk" records (QoS 1) instead of landing in a ".part". At most kWindow
 * chunks wait for the receiver's acknowledgement, so a slow receiver slows
 * the reading; chunks not acknowledged within kResendMs (a broker restart,
 * a lost message) go out again from the first one missing, and the
 * receiver takes them in order only. After the last chunk the SHA-256 of
 * what was read goes with "end"; the transfer finishes when the receiver
 * answers "done" (its own hash matched, the file has its final name), or
 * fails with the receiver's "fail" words, with "peer_offline" when the
 * other instance went away or stopped answering for kGiveUpMs. A cancel or
 * a failure here tells the receiver, which removes its ".part".
 *
 * Made by KCirraFederationBytes::send(); owned by the feature that sends
 * (Qt parent); main thread.
 */
class KCirraFederationSend : public KCirraTransfer
{
    Q_OBJECT
public:
    static constexpr int kWindow = 32;
    static constexpr int kResendMs = 5000;
    static constexpr int kGiveUpMs = 60000;

    KCirraFederationSend(KCirraFederationBytes *bytes, const QString &instance, const QString &xfer,
                         const QString &sourcePath, const QJsonObject &open, const Options &options, QObject *parent);
    ~KCirraFederationSend() override;

    QString instance() const { return m_instance; }
    QString xfer() const { return m_xfer; }
    // The receiver's answers.
    void acknowledged(int seq);
    // `reason`: the receiver's reason word for a failure ("disk_full", "damaged", ...).
    void answered(bool ok, const QString &why, const QString &reason);
    // The link came back: what was not acknowledged goes out again.
    void resend();

protected:
    bool openTarget() override;
    bool writeTarget(const char *data, qint64 size) override;
    bool targetBusy() const override { return m_unacked.size() >= kWindow; }
    void completeTarget() override;
    void dropTarget() override;

private:
    void publish(const QString &op, const QJsonObject &fields = {});
    void check();

    QPointer<KCirraFederationBytes> m_bytes; // gone first when the service ends
    QString m_instance;
    QString m_xfer;
    QJsonObject m_open;
    // seq -> the whole "chunk" record, sent again as it is.
    QMap<int, QByteArray> m_unacked;
    int m_nextSeq = 0;
    bool m_opened = false;
    bool m_ended = false;
    qint64 m_lastAnswerMs = 0;
    QTimer m_check;
};
