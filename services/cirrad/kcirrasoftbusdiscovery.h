// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasoftbus.h"

#include <QHash>
#include <QObject>
#include <QSet>

/*
 * Service discovery between the devices of a user, operation 7 with the
 * request's mode as action: 0 publish a service of this device, 1 withdraw
 * it, 2 start and 3 stop searching for a service name. The publish switch
 * is kept per device in <state>/softbus/<user>/<device>.json (directories
 * 0700, files 0600), so it survives a restart. Results are
 * DiscoverServiceInfoResult notices on (7, 4): to the shells of the
 * switching device state 2 (published) or 3 (withdrawn); to searching
 * shells of the user's other devices state 0 (found) or 1 (lost), also when
 * a publishing device comes online or goes offline, and state 0 for each
 * published online device when a search starts. Answers a
 * LastModifiedTime. Devices of other machines count the same: what this
 * machine's devices publish rides in the federation's presence, and what a
 * remote device's presence says is found or lost here as it changes.
 *
 * Owned by KCirraSoftBus (Qt parent); main thread.
 */
class KCirraSoftBusDiscovery : public QObject
{
    Q_OBJECT
public:
    enum Mode {
        Publish = 0,
        Withdraw = 1,
        StartSearch = 2,
        StopSearch = 3
    };
    enum State {
        Found = 0,
        Lost = 1,
        Published = 2,
        Withdrawn = 3
    };

    explicit KCirraSoftBusDiscovery(KCirraSoftBus *bus);

    KCirraSoftBus::Answer change(KCirraPeer *peer, int mode, const QJsonObject &request);

private:
    // Published services of a device: name -> data.
    using Services = QHash<QString, QString>;

    Services load(const QString &userId, const QString &deviceId) const;
    bool store(const QString &userId, const QString &deviceId, const Services &services) const;
    QString filePath(const QString &userId, const QString &deviceId) const;
    void notify(KCirraPeer *peer, const QString &userId, const QString &deviceId, const QString &service,
                const QString &data, int state);
    // Found/lost to the searching shells of the user's other devices.
    void tellSearchers(const QString &userId, const QString &deviceId, const QString &service, const QString &data,
                       int state, const KCirraPeer *except = nullptr);
    void onShell(KCirraPeer *peer, bool online);
    void onRemote(const QString &userId, const QString &deviceId, const QString &action);
    // What an online device publishes, on this machine or another; empty when it is offline.
    Services published(const QString &userId, const QString &deviceId) const;

    KCirraSoftBus *m_bus;
    // Service names each shell searches for.
    QHash<const KCirraPeer *, QSet<QString>> m_searching;
    // What the searchers were told of each remote device ("user/device").
    QHash<QString, Services> m_remote;
};
