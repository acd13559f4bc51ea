// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

#include <functional>

/*
 * The panel's way to the SoftBus device manager's discover service: switch
 * it on or off and hear its status. The SoftBus side registers one
 * implementation with setInstance(); until it does, switchService() and
 * listen() log what they were asked and do nothing else. A listener's
 * callback may run on any thread; the panel posts it to its own.
 */
class KZelvaCrossTerminalDiscoverService
{
public:
    static const QLatin1String ServiceName; // "qoz_softbus_service_discovery"
    using StatusCallback = std::function<void(int status)>;

    virtual ~KZelvaCrossTerminalDiscoverService() = default;
    virtual void setDiscoverServiceSwitch(const QString &service, bool on) = 0;
    virtual void listenDiscoverService(const QString &service, const StatusCallback &callback) = 0;

    // Not owned; null unregisters.
    static void setInstance(KZelvaCrossTerminalDiscoverService *service);
    static KZelvaCrossTerminalDiscoverService *instance();

    static void switchService(bool on);
    static void listen(const StatusCallback &callback);
};
