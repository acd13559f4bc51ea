// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QJsonObject>
#include <QObject>
#include <QSet>

class KCirraDocumentRegistry;
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
 * connected, unless it was taken offline ("forceOfflineSoftBussDevice",
 * "logoutRemoteDevice": its shells are logged out) and no shell of it said
 * hello since. Device records carry the device's open documents ("Tags",
 * KCirraDocumentRegistry); their changes go to the syncing shells as
 * "fileLabelMessageNotice" and a device-status broadcast.
 * "sendMyDeviceMsg" sends "broadcastFromSendMyDeviceMsg" to the user's
 * other shells; "showAddMobileDeviceDlg" is acknowledged.
 *
 * Owned by KCirraService; main thread.
 */
class KCirraDeviceRegistry : public QObject
{
    Q_OBJECT
public:
    KCirraDeviceRegistry(KCirraService *service, KCirraDocumentRegistry *documents);

    // A shell of the device is connected here and it was not taken offline.
    bool isLocalOnline(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;

private:
    qoz::cirra::CirraIpcResult deviceList(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult updateDevice(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult labelOnlineMsg(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult forceOffline(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult logoutRemote(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    qoz::cirra::CirraIpcResult sendMyDeviceMsg(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    // False with the refusal when `deviceId` is not a device of the caller's user.
    bool checkDevice(KCirraPeer *peer, const QString &method, const QString &userId, const QString &deviceId,
                     qoz::cirra::CirraIpcResult *refusal);
    void takeOffline(const QString &userId, const QString &deviceId, const KCirraPeer *origin);
    void onDocumentsChanged(KCirraPeer *peer);
    void onShellIdentified(KCirraPeer *peer);
    void onShellClosed(KCirraPeer *peer);
    void onRemoteDeviceChanged(const QString &userId, const QString &deviceId, const QString &action);
    void onRemoteCommand(const QString &userId, const QString &deviceId, const QString &op, const QString &name);
    // Renames a device of the user; false when it is unknown.
    bool renameDevice(const QString &userId, const QString &deviceId, const QString &name, const KCirraPeer *origin);
    // Here or, through the federation, on another machine.
    bool isOnline(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;
    int onlineCount(const KCirraUser &user) const;
    QJsonObject record(const KCirraUser &user, const KCirraDevice &device, const KCirraPeer *except = nullptr) const;
    void broadcastStatus(const QString &userId, const QString &deviceId, const KCirraPeer *origin);
    // "act=broadcast&<key>=<value>" to the user's shells but `origin` (only those syncing labels).
    void sendBroadcast(const QString &userId, const char *key, const QJsonObject &value, const KCirraPeer *origin,
                       bool syncingOnly);

    KCirraService *m_service;
    KCirraDocumentRegistry *m_documents;
    QSet<QString> m_forcedOffline;      // "user/device" taken offline until a shell of it says hello again
    QSet<const KCirraPeer *> m_syncing; // peers that asked for labels
};
