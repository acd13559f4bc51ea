// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>

/*
 * SoftBus record: one device of the user as the service describes it.
 * Text form: the device's page object without "local" ("identify_info",
 * "client_info", "os_info", "net_info", "status", "register_time",
 * "last_modified_time"), plus "ability_info" (array of strings) and "ext".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct DeviceInfo
{
    Device identify;
    QString clientVersion;
    QString clientChannel;
    QString clientType;
    QString osType;
    QString osLevel;
    QString osBrand;
    QString netType;
    QString ip;
    QList<qint32> ports;
    qint32 status = 0; // 1 online, 0 offline
    quint64 registerTime = 0;
    quint64 lastModifiedTime = 0;
    // Not shown on the page.
    QStringList abilities;
    QString ext;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, DeviceInfo *out);
};

} // namespace Protocol
} // namespace SoftBus
