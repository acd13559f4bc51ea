// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "protocol/device.h"

#include <QVariantMap>

/*
 * A device as the web page names it: app id, user id, device id and device
 * name. Page form {"app_id", "user_id", "device_id", "device_name"}, all
 * strings; the same fields as the protocol's Device.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Business {
namespace Data {

struct DeviceIdentify : Protocol::Device
{
    DeviceIdentify() = default;
    explicit DeviceIdentify(const Protocol::Device &device)
        : Protocol::Device(device)
    {
    }

    QJsonObject toPage() const { return toJson(); }
    // Each key's value taken as a string; absent keys give empty strings.
    static DeviceIdentify fromPage(const QVariantMap &page);
};

} // namespace Data
} // namespace Business
} // namespace SoftBus
