// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "discoverserviceinforesult.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject DiscoverServiceInfoResult::toJson() const
{
    return {{QStringLiteral("service_name"), serviceName},
            {QStringLiteral("identify_info"), device.toJson()},
            {QStringLiteral("data"), data},
            {QStringLiteral("state"), state}};
}

bool DiscoverServiceInfoResult::fromJson(const KSoftBusJsonNode &object, DiscoverServiceInfoResult *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DiscoverServiceInfoResult &r) {
        in.text("service_name", &r.serviceName)
            .record("identify_info", &r.device)
            .text("data", &r.data)
            .int32("state", &r.state);
    });
}

} // namespace Protocol
} // namespace SoftBus
