// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace apache { namespace thrift { class TBase; } }
class KCirraEventObject;
class KCloudSvrProxyPrivate;

/*
 * The host's proxy to the local cloud-document service (cirrad), over its
 * Unix socket. Connects on its own and keeps reconnecting while the service
 * is away; socketConnected() tells each time the connection is up again.
 *
 * Record calls are asynchronous: asyncCall() returns a request id and the
 * answer is delivered to the named slot of the receiver, on the GUI thread,
 * as (bool ok, QString requestId, <answer record>). A call that cannot be
 * answered (disconnect, time-out, refused or undecodable reply) completes
 * with ok = false and a default answer record; none is left hanging.
 *
 * Owned by KZelvaApplication (created on first use), GUI thread, lives for
 * the whole run.
 */
class KZELVASHELL_EXPORT KCloudSvrProxy : public QObject
{
    Q_OBJECT
public:
    // Who this shell process is, as told to the service in its hello. Empty
    // fields take the application's properties "zelvaUserId", "zelvaDeviceId",
    // "zelvaDeviceName", "zelvaAppName", then $KZELVA_USER, the host name and
    // the application name. No abilities means {"sync_file_tag"}; no
    // version, the application's or "1.0".
    struct ClientInfo
    {
        QString userId;
        QString deviceId;
        QString deviceName;
        QString deviceType;
        QString os;
        QString appName;
        QString appVersion;
        QStringList abilities;
    };

    explicit KCloudSvrProxy(QObject *parent = nullptr);
    ~KCloudSvrProxy() override;

    // True while connected, or while another process holds the service lock.
    bool checkCirraRunning() const;
    // Starts cirrad unless it runs ($KZELVA_CIRRAD names the program; set
    // and empty, nothing is started). With `wait`, blocks up to 3 seconds
    // (in a local event loop) until the connection is up.
    void startCirraProcess(const QString &args, bool wait);
    bool isLogined() const;
    // The login flow: asks the service to log this shell's user in;
    // loginStatusChanged() follows.
    void login(int src, const QString &a, const QString &b);

    // Sends `record` (of class `typeName`) to `function`; returns the request
    // id or an empty string when the call was not accepted (unknown function,
    // record type that the function does not take, too many calls pending).
    // Calls made while the service is away wait for the connection until
    // their time-out.
    QString asyncCall(const QString &function,
                      const std::pair<const apache::thrift::TBase *, const char *> &record,
                      QObject *receiver, const QString &slot);

    KCirraEventObject *cirraEventObject() const;
    bool isConnected() const;
    QString userId() const;
    QString userName() const;
    ClientInfo clientInfo() const;
    // Takes effect at the next connection; reconnects when connected.
    void setClientInfo(const ClientInfo &info);
    int callTimeout() const;
    void setCallTimeout(int ms);

Q_SIGNALS:
    void socketConnected();
    void socketDisconnected();
    void loginStatusChanged();
    // Every call ends here once, after its slot (if any) was invoked.
    void callFinished(const QString &requestId, bool ok);

private:
    friend class KCloudSvrProxyPrivate;
    std::unique_ptr<KCloudSvrProxyPrivate> d;
    Q_DISABLE_COPY(KCloudSvrProxy)
};
