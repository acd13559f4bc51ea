// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminaldiscoverservice.h"

#include "kzelvaworkareahelper.h"

namespace {
KZelvaCrossTerminalDiscoverService *g_service = nullptr;
}

const QLatin1String KZelvaCrossTerminalDiscoverService::ServiceName("qoz_softbus_service_discovery");

void KZelvaCrossTerminalDiscoverService::setInstance(KZelvaCrossTerminalDiscoverService *service)
{
    g_service = service;
}

KZelvaCrossTerminalDiscoverService *KZelvaCrossTerminalDiscoverService::instance()
{
    return g_service;
}

void KZelvaCrossTerminalDiscoverService::switchService(bool on)
{
    if (!g_service) {
        writeLog(2, QStringLiteral("enableDiscoverService : no SoftBus device manager, %1 stays as it is (asked: %2)")
                        .arg(ServiceName, on ? QStringLiteral("on") : QStringLiteral("off")));
        return;
    }
    g_service->setDiscoverServiceSwitch(ServiceName, on);
}

void KZelvaCrossTerminalDiscoverService::listen(const StatusCallback &callback)
{
    if (!g_service) {
        writeLog(2, QStringLiteral("listenDiscoverService : no SoftBus device manager, %1 status is not heard")
                        .arg(ServiceName));
        return;
    }
    g_service->listenDiscoverService(ServiceName, callback);
}
