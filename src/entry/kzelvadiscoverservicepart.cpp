// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvadiscoverservicepart.h"

#include "kcommunicatorproxy.h"
#include "kzelvaworkareahelper.h"

KZelvaDiscoverServicePart::KZelvaDiscoverServicePart(QObject *manager)
    : QObject(manager)
{
    KZelvaCrossTerminalDiscoverService::setInstance(this);
}

KZelvaDiscoverServicePart::~KZelvaDiscoverServicePart()
{
    if (KZelvaCrossTerminalDiscoverService::instance() == this)
        KZelvaCrossTerminalDiscoverService::setInstance(nullptr);
}

void KZelvaDiscoverServicePart::setDiscoverServiceSwitch(const QString &service, bool on)
{
    SoftBus::Protocol::DiscoverServiceInfo info;
    info.serviceName = service;
    info.mode = on ? 0 : 1;
    SoftBus::Business::KCommunicatorProxy::instance()->discoverServiceSearch(info, [service, on](int code, quint64) {
        if (code != 0)
            writeLog(1, QStringLiteral("%1 : failed! service:%2 on:%3 code:%4")
                            .arg(QStringLiteral("setDiscoverServiceSwitch"), service)
                            .arg(on)
                            .arg(code));
    });
}

void KZelvaDiscoverServicePart::listenDiscoverService(const QString &service, const StatusCallback &callback)
{
    SoftBus::Business::KCommunicatorProxy::instance()->listenDiscoverServiceSearch(
        service.toStdString(),
        [service, callback](int code, const SoftBus::Protocol::DiscoverServiceInfoResult &result) {
            if (code == 0 && result.serviceName == service && callback)
                callback(result.state);
            return SoftBus::Export::Alive;
        });
    // Whoever listens also searches, so the devices that publish the service are heard found and lost.
    SoftBus::Protocol::DiscoverServiceInfo search;
    search.serviceName = service;
    search.mode = 2;
    SoftBus::Business::KCommunicatorProxy::instance()->discoverServiceSearch(search, [service](int code, quint64) {
        if (code != 0)
            writeLog(1, QStringLiteral("%1 : failed! service:%2 code:%3")
                            .arg(QStringLiteral("listenDiscoverService"), service)
                            .arg(code));
    });
}
