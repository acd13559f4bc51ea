// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "deviceinfo.h"

/*
 * SoftBus record: the devices of a device-list answer, in the service's
 * order. Text form: {"devices": [DeviceInfo...]}.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct DeviceInfoList
{
    QList<DeviceInfo> devices;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, DeviceInfoList *out);
};

} // namespace Protocol
} // namespace SoftBus
