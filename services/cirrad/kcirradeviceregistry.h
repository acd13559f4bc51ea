// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QJsonObject>
#include <QObject>
#include <QSet>

class KCirraPeer;
class KCirraService;
struct KCirraDevice;
struct KCirraUser;

/*
 * The user's devices as the file-label feature sees them: the "cirraIpcCall"
 * methods "getSoftBussDeviceList", "updateSoftBussDeviceInfo" and
 * "sendFileLabelOnlineMsg", and the device-status broadcast
 * ("act=broadcast&fileLabelDeviceStatus=<json>") when a device comes online,
 * goes offline or is renamed. It goes to the user's other shells that are
 * syncing labels: those that sent "get_labels" and not "stop_sync_label"
 * since. A device is online while a shell that named it in its hello is
 * connected.
 *
 * Owned by KCirraService; main thread.
 */
class KCirraDeviceRegistry : public QObject
{
    Q_OBJECT
public:
    explicit KCirraDeviceRegistry(KCirraService *service);

private:
    qoz::cirra::CirraIpcResult deviceList(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult updateDevice(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult labelOnlineMsg(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    void onShellIdentified(KCirraPeer *peer);
    void onShellClosed(KCirraPeer *peer);
    bool isOnline(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;
    int onlineCount(const KCirraUser &user) const;
    QJsonObject record(const KCirraUser &user, const KCirraDevice &device, const KCirraPeer *except = nullptr) const;
    void broadcastStatus(const QString &userId, const QString &deviceId, const KCirraPeer *origin);

    KCirraService *m_service;
    QSet<const KCirraPeer *> m_syncing; // peers that asked for labels
};
