// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirramqttclient.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <mosquitto.h>
#include <mqtt_protocol.h>

Q_LOGGING_CATEGORY(lcFederation, "zelva.cirrad.federation", QtInfoMsg)

namespace {

constexpr int kMaxBackoffMs = 8000;

void initLibrary()
{
    static const int once = [] {
        mosquitto_lib_init();
        return 0;
    }();
    Q_UNUSED(once)
}

} // namespace

struct KCirraMqttClient::Callbacks
{
    static void onConnect(mosquitto *, void *self, int rc, int, const mosquitto_property *)
    {
        auto *client = static_cast<KCirraMqttClient *>(self);
        if (rc != 0) {
            // A refused login is logged without the credentials.
            qCWarning(lcFederation).noquote() << "broker refused the connection:" << mosquitto_reason_string(rc);
            client->lost(rc);
            return;
        }
        client->m_connected = true;
        client->m_backoffMs = 500;
        qCInfo(lcFederation).noquote() << "connected to the broker" << client->m_options.host << client->m_options.port;
        Q_EMIT client->connected();
    }
    static void onDisconnect(mosquitto *, void *self, int rc, const mosquitto_property *)
    {
        static_cast<KCirraMqttClient *>(self)->lost(rc);
    }
    static void onMessage(mosquitto *, void *self, const mosquitto_message *m, const mosquitto_property *)
    {
        auto *client = static_cast<KCirraMqttClient *>(self);
        Q_EMIT client->received(QString::fromUtf8(m->topic),
                                QByteArray(static_cast<const char *>(m->payload), m->payloadlen), m->retain);
    }
    static void onSubscribe(mosquitto *, void *self, int mid, int count, const int *granted, const mosquitto_property *)
    {
        bool ok = count > 0;
        for (int i = 0; i < count; ++i)
            ok = ok && granted[i] < 0x80;
        Q_EMIT static_cast<KCirraMqttClient *>(self)->subscribed(mid, ok);
    }
    static void onPublish(mosquitto *, void *self, int mid, int reason, const mosquitto_property *)
    {
        Q_EMIT static_cast<KCirraMqttClient *>(self)->published(mid, reason < 0x80);
    }
};

KCirraMqttClient::KCirraMqttClient(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    m_misc.setInterval(1000);
    connect(&m_misc, &QTimer::timeout, this, [this] {
        if (!m_mosq || m_fd < 0)
            return;
        if (mosquitto_loop_misc(m_mosq) != MOSQ_ERR_SUCCESS)
            lost(0);
        else
            updateWrite();
    });
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &KCirraMqttClient::reconnect);
}

KCirraMqttClient::~KCirraMqttClient()
{
    // A deliberate end: no "lost" line, no signal, no retry.
    blockSignals(true);
    m_connected = false;
    m_retry.stop();
    m_backoffMs = 0;
    if (m_mosq) {
        mosquitto_disconnect(m_mosq);
        mosquitto_destroy(m_mosq);
    }
}

bool KCirraMqttClient::start()
{
    initLibrary();
    const QByteArray id = m_options.clientId.toUtf8();
    m_mosq = mosquitto_new(id.constData(), true, this);
    if (!m_mosq) {
        m_error = QStringLiteral("cannot create the MQTT client");
        return false;
    }
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    // Acknowledgements are small and answered at once: not held back waiting for more bytes.
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_v5_callback_set(m_mosq, &Callbacks::onConnect);
    mosquitto_disconnect_v5_callback_set(m_mosq, &Callbacks::onDisconnect);
    mosquitto_message_v5_callback_set(m_mosq, &Callbacks::onMessage);
    mosquitto_subscribe_v5_callback_set(m_mosq, &Callbacks::onSubscribe);
    mosquitto_publish_v5_callback_set(m_mosq, &Callbacks::onPublish);
    if (mosquitto_username_pw_set(m_mosq, m_options.userName.toUtf8().constData(),
                                  m_options.password.toUtf8().constData())
        != MOSQ_ERR_SUCCESS) {
        m_error = QStringLiteral("unusable broker credentials");
        return false;
    }
    if (!m_options.willTopic.isEmpty()
        && mosquitto_will_set(m_mosq, m_options.willTopic.toUtf8().constData(), m_options.willPayload.size(),
                              m_options.willPayload.constData(), 1, true)
               != MOSQ_ERR_SUCCESS) {
        m_error = QStringLiteral("unusable last-will message");
        return false;
    }
    if (m_options.tls) {
        const QByteArray ca = m_options.caFile.toLocal8Bit();
        if (mosquitto_tls_set(m_mosq, ca.isEmpty() ? nullptr : ca.constData(),
                              ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr)
            != MOSQ_ERR_SUCCESS) {
            m_error = QStringLiteral("cannot use the TLS authority ") + m_options.caFile;
            return false;
        }
    }
    m_misc.start();
    const int rc = mosquitto_connect_async(m_mosq, m_options.host.toUtf8().constData(), m_options.port,
                                           m_options.keepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        qCInfo(lcFederation).noquote() << "broker" << m_options.host << m_options.port << "unreachable ("
                                       << mosquitto_strerror(rc) << "); running alone until it answers";
        m_retry.start(m_backoffMs);
        return true;
    }
    watchSocket();
    return true;
}

int KCirraMqttClient::publish(const QString &topic, const QByteArray &payload, int qos, bool retain)
{
    if (!m_mosq)
        return -1;
    int mid = 0;
    const int rc = mosquitto_publish_v5(m_mosq, &mid, topic.toUtf8().constData(), payload.size(), payload.constData(),
                                        qos, retain, nullptr);
    // Without a link the library keeps QoS 1 messages and sends them after the next CONNACK.
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_NO_CONN) {
        qCWarning(lcFederation).noquote()
            << "publish on" << topic << "refused by the client library:" << mosquitto_strerror(rc);
        return -1;
    }
    updateWrite();
    return mid;
}

int KCirraMqttClient::subscribe(const QString &pattern, int qos)
{
    int mid = 0;
    if (!m_mosq
        || mosquitto_subscribe_v5(m_mosq, &mid, pattern.toUtf8().constData(), qos, 0, nullptr) != MOSQ_ERR_SUCCESS)
        return -1;
    updateWrite();
    return mid;
}

void KCirraMqttClient::watchSocket()
{
    const int fd = mosquitto_socket(m_mosq);
    if (fd == m_fd)
        return updateWrite();
    dropNotifiers();
    m_fd = fd;
    if (fd < 0)
        return;
    m_read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_read, &QSocketNotifier::activated, this, &KCirraMqttClient::onReadable);
    m_write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(m_write, &QSocketNotifier::activated, this, &KCirraMqttClient::onWritable);
    updateWrite();
}

void KCirraMqttClient::updateWrite()
{
    if (m_fd >= 0 && mosquitto_socket(m_mosq) != m_fd)
        return watchSocket();
    if (m_write)
        m_write->setEnabled(mosquitto_want_write(m_mosq));
}

void KCirraMqttClient::onReadable()
{
    const int rc = mosquitto_loop_read(m_mosq, 64);
    if (rc != MOSQ_ERR_SUCCESS)
        return lost(0);
    updateWrite();
}

void KCirraMqttClient::onWritable()
{
    const int rc = mosquitto_loop_write(m_mosq, 64);
    if (rc != MOSQ_ERR_SUCCESS)
        return lost(0);
    updateWrite();
}

void KCirraMqttClient::dropNotifiers()
{
    // Called from inside a notifier's own signal: they go once it returned.
    for (QSocketNotifier *n : {m_read, m_write}) {
        if (n) {
            n->setEnabled(false);
            n->deleteLater();
        }
    }
    m_read = m_write = nullptr;
    m_fd = -1;
}

void KCirraMqttClient::lost(int reason)
{
    dropNotifiers();
    const bool was = m_connected;
    m_connected = false;
    if (was) {
        qCInfo(lcFederation).noquote() << "lost the broker; trying again";
        Q_EMIT disconnected(reason);
    }
    if (m_retry.isActive())
        return;
    m_retry.start(m_backoffMs);
    m_backoffMs = qMin(m_backoffMs * 2, kMaxBackoffMs);
}

void KCirraMqttClient::reconnect()
{
    if (mosquitto_reconnect_async(m_mosq) != MOSQ_ERR_SUCCESS) {
        m_retry.start(m_backoffMs);
        m_backoffMs = qMin(m_backoffMs * 2, kMaxBackoffMs);
        return;
    }
    watchSocket();
}
