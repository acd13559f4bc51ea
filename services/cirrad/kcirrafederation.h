// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QQueue>
#include <QSet>
#include <QTimer>

#include <functional>

class KCirraDocumentRegistry;
class KCirraFederationBytes;
class KCirraMqttClient;
class KCirraService;

/*
 * Joins this cirrad to the cirrads of the same user on other machines
 * through an MQTT broker. The broker account's name is the user id it
 * federates; other users' shells stay local. This instance publishes its
 * devices (records, online state, abilities, open documents) as one
 * retained presence message, with a last will that marks them offline, and
 * reads the presence of the other instances: their devices enter the user's
 * device list (KCirraDevice::instance names the owner) and are online while
 * their instance says so. Renames and force-offline of a remote device go
 * to its instance as commands; messages to it travel with QoS 1 and are
 * de-duplicated by id on arrival. File bytes to and from the other instances
 * travel through bytes() (KCirraFederationBytes). Each device's published
 * discovery services ride along in the presence. Topics and checks:
 * KCirraFederationRecord.
 *
 * Credentials come from a file of mode 0600 ("user=", "password=" lines),
 * never from the command line. The broker being away at start is no
 * failure: cirrad runs alone and joins once it answers.
 *
 * Owned by KCirraService (Qt parent); main thread.
 */
class KCirraFederation : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString url; // mqtt://host[:port] or mqtts://host[:port]
        QString caFile;
        QString credentialsFile;
        int keepAliveSeconds = 10;
    };

    KCirraFederation(KCirraService *service, KCirraDocumentRegistry *documents, const Options &options);
    ~KCirraFederation() override;

    // False (with `error`) when the URL or the credentials cannot be used.
    bool start(QString *error);
    // "user=" and "password=" of a regular file of mode 0600 owned by this user.
    static bool readCredentials(const QString &path, QString *user, QString *password, QString *error);

    bool federates(const QString &userId) const { return userId == m_account; }
    // The instance owning a device of the user, empty for a device of this machine.
    QString ownerOf(const QString &userId, const QString &deviceId) const;
    bool isRemoteOnline(const QString &userId, const QString &deviceId) const;
    QJsonArray remoteTags(const QString &userId, const QString &deviceId) const;
    QStringList remoteAbilities(const QString &userId, const QString &deviceId) const;
    // The application name and version of the remote device's shell (relaying depends on the version).
    struct Client
    {
        QString app;
        QString version;
    };
    Client remoteClient(const QString &userId, const QString &deviceId) const;
    // The discovery services ({name: data}) a remote device publishes.
    QJsonObject remoteServices(const QString &userId, const QString &deviceId) const;
    // What this machine's devices publish, for the presence.
    void setServicesProvider(const std::function<QJsonObject(const QString &userId, const QString &deviceId)> &f)
    {
        m_services = f;
    }
    // File bytes across machines.
    KCirraFederationBytes *bytes() const { return m_bytes; }

    // This machine's devices changed: their presence is published again.
    void localChanged();
    // "rename" (with `name`) or "offline" to the instance owning the device; false when it is local.
    bool sendCommand(const QString &userId, const QString &deviceId, const QString &op, const QString &name = {});
    bool sendMessage(const QString &userId, const QString &deviceId, const QJsonObject &message);

    // Figures for the control request "federation".
    QJsonObject status() const;

Q_SIGNALS:
    // A remote device came "online", went "offline", was renamed ("rename"), its "documents" or
    // published discovery "services" changed.
    void remoteDeviceChanged(const QString &userId, const QString &deviceId, const QString &action);
    void commandReceived(const QString &userId, const QString &deviceId, const QString &op, const QString &name);
    void messageReceived(const QString &userId, const QString &deviceId, const QJsonObject &message);

private:
    struct Remote
    {
        bool online = false;
        QJsonArray tags;
        QStringList abilities;
        QJsonObject services;
        QString name;
        Client client;
    };

    void onConnected();
    void onReceived(const QString &topic, const QByteArray &payload);
    void applyPresence(const QString &instance, const QJsonObject &body);
    void publishPresence();
    QJsonObject presence() const;
    bool firstSight(const QString &id);
    void refuse(const QString &topic, const QString &why);
    // Fails the transfers of the instances whose last will stood while this one stayed connected.
    void onGoneGrace();

    KCirraService *m_service;
    KCirraDocumentRegistry *m_documents;
    Options m_options;
    KCirraMqttClient *m_client = nullptr;
    KCirraFederationBytes *m_bytes; // Qt child
    std::function<QJsonObject(const QString &, const QString &)> m_services;
    QString m_account;
    QString m_instance;
    // instance -> device -> what its presence says
    QHash<QString, QHash<QString, Remote>> m_remote;
    QSet<QString> m_seen;
    QQueue<QString> m_seenOrder;
    QSet<int> m_probes;
    // Instances whose last will (or cleared record) came: a broker going down sends the wills of
    // its clients too, so their transfers fail only once the will stood a keep-alive long here.
    QSet<QString> m_gone;
    QTimer m_goneTimer;
    QByteArray m_published;
    QTimer m_publishTimer;
    int m_refusedByBroker = 0;
    int m_rejected = 0;
    int m_duplicates = 0;
};
