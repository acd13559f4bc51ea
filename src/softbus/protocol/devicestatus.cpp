// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "devicestatus.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject DeviceStatus::toJson() const
{
    return {{QStringLiteral("status"), status}};
}

bool DeviceStatus::fromJson(const KSoftBusJsonNode &object, DeviceStatus *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DeviceStatus &r) {
        in.int32("status", &r.status);
    });
}

} // namespace Protocol
} // namespace SoftBus
