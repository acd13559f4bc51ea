// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "device.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject Device::toJson() const
{
    return {{QStringLiteral("app_id"), appId},
            {QStringLiteral("user_id"), userId},
            {QStringLiteral("device_id"), deviceId},
            {QStringLiteral("device_name"), deviceName}};
}

bool Device::fromJson(const KSoftBusJsonNode &object, Device *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, Device &r) {
        in.text("app_id", &r.appId)
            .text("user_id", &r.userId)
            .text("device_id", &r.deviceId)
            .text("device_name", &r.deviceName);
    });
}

} // namespace Protocol
} // namespace SoftBus
