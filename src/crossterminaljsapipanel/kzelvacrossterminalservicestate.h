// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class KCloudSvrProxy;

/*
 * What the panel page says about the device service: "ok" while the cloud
 * service is connected and the user signed in, "signedOut" while it is
 * connected without a user, "unavailable" while it cannot be reached. The
 * page keeps its last lists while the service is away. When the service
 * comes back and the watched panel is shown, the device list, the storage
 * figures and the live labels are asked for again (a restarted service
 * knows nothing of this shell's open panel).
 *
 * Made by the panel page's API (its parent), watching the application's
 * cloud proxy. GUI thread.
 */
class KZelvaCrossTerminalServiceState : public QObject
{
    Q_OBJECT
public:
    static const QLatin1String EventName; // "crossterminal.event.serviceStatus"

    KZelvaCrossTerminalServiceState(QObject *parent, KCloudSvrProxy *proxy, QWidget *panel);

    QString status() const { return m_status; }
    static QString statusOf(bool connected, bool signedIn);

Q_SIGNALS:
    // Only on a change; `status` as status().
    void statusChanged(const QString &status);

private:
    void update();

    QPointer<KCloudSvrProxy> m_proxy;
    QPointer<QWidget> m_panel;
    QString m_status;
};
