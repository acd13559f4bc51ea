// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalservicestate.h"

#include "kworkarealabelsync.h"
#include "kzelvaworkareahelper.h"

#include <kcloudsvrproxy.h>

#include <QWidget>

const QLatin1String KZelvaCrossTerminalServiceState::EventName("crossterminal.event.serviceStatus");

KZelvaCrossTerminalServiceState::KZelvaCrossTerminalServiceState(QObject *parent, KCloudSvrProxy *proxy, QWidget *panel)
    : QObject(parent)
    , m_proxy(proxy)
    , m_panel(panel)
{
    if (proxy) {
        connect(proxy, &KCloudSvrProxy::socketConnected, this, &KZelvaCrossTerminalServiceState::update);
        connect(proxy, &KCloudSvrProxy::socketDisconnected, this, &KZelvaCrossTerminalServiceState::update);
        connect(proxy, &KCloudSvrProxy::loginStatusChanged, this, &KZelvaCrossTerminalServiceState::update);
    }
    m_status = statusOf(proxy && proxy->isConnected(), proxy && proxy->isLogined());
}

QString KZelvaCrossTerminalServiceState::statusOf(bool connected, bool signedIn)
{
    if (!connected)
        return QStringLiteral("unavailable");
    return signedIn ? QStringLiteral("ok") : QStringLiteral("signedOut");
}

void KZelvaCrossTerminalServiceState::update()
{
    const QString status = statusOf(m_proxy && m_proxy->isConnected(), m_proxy && m_proxy->isLogined());
    if (status == m_status)
        return;
    writeLog(status == QLatin1String("unavailable") ? 2 : 0,
             QStringLiteral("%1 : device service %2, was %3").arg(QStringLiteral("serviceStatus"), status, m_status));
    m_status = status;
    if (status == QLatin1String("ok") && m_panel && m_panel->isVisible()) {
        if (KWorkAreaLabelSync *labels = KWorkAreaLabelSync::instance()) {
            labels->getSoftBussDeviceList();
            labels->getCloudStorage();
            labels->sendPanelOpenStatus();
        }
    }
    Q_EMIT statusChanged(status);
}
