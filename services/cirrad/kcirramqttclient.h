// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
struct mosquitto;

/*
 * One MQTT 5 connection to the broker through libmosquitto, driven by the Qt
 * event loop: the library's socket is watched with QSocketNotifiers (read
 * always, write while the library has bytes queued) and a one-second timer
 * runs its keep-alive. No thread of its own: every signal is emitted on the
 * owner's thread, from inside the library's read and write calls.
 *
 * A connection that fails or drops is tried again after 0.5 s, doubling up
 * to 8 s; connected() follows every successful CONNACK, so the owner
 * subscribes and publishes its retained state again each time. publish()
 * while the link is down still hands the message to the library, which
 * answers with a message id or refuses it (-1).
 *
 * Owned by its creator (Qt parent); one thread.
 */
class KCirraMqttClient : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString host;
        int port = 1883;
        bool tls = false;
        QString caFile;
        QString userName;
        QString password;
        QString clientId;
        int keepAliveSeconds = 10;
        QString willTopic;
        QByteArray willPayload;
    };

    explicit KCirraMqttClient(const Options &options, QObject *parent = nullptr);
    ~KCirraMqttClient() override;

    // Starts connecting; false when the options cannot be used (error() says why).
    bool start();
    bool isConnected() const { return m_connected; }
    QString error() const { return m_error; }

    // Returns the message id, or -1 when the library refused the message.
    int publish(const QString &topic, const QByteArray &payload, int qos, bool retain);
    int subscribe(const QString &pattern, int qos);

Q_SIGNALS:
    void connected();
    // `reason` is the CONNACK or DISCONNECT reason code (0 for a lost link).
    void disconnected(int reason);
    void received(const QString &topic, const QByteArray &payload, bool retained);
    // The broker's answer to a subscription: false when it refused it.
    void subscribed(int mid, bool granted);
    // The broker's PUBACK: false when it refused the message (reason >= 0x80).
    void published(int mid, bool accepted);

private:
    // The library's callbacks, defined next to the library calls.
    struct Callbacks;
    friend struct Callbacks;

    void watchSocket();
    void dropNotifiers();
    void updateWrite();
    void onReadable();
    void onWritable();
    void lost(int reason);
    void reconnect();

    Options m_options;
    mosquitto *m_mosq = nullptr;
    QSocketNotifier *m_read = nullptr;
    QSocketNotifier *m_write = nullptr;
    int m_fd = -1;
    bool m_connected = false;
    int m_backoffMs = 500;
    QString m_error;
    QTimer m_misc;
    QTimer m_retry;
    Q_DISABLE_COPY(KCirraMqttClient)
};
