// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "discoverserviceinfo.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject DiscoverServiceInfo::toJson() const
{
    return {{QStringLiteral("service_name"), serviceName},
            {QStringLiteral("mode"), mode},
            {QStringLiteral("data"), data}};
}

bool DiscoverServiceInfo::fromJson(const KSoftBusJsonNode &object, DiscoverServiceInfo *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DiscoverServiceInfo &r) {
        in.text("service_name", &r.serviceName)
            .int32("mode", &r.mode)
            .text("data", &r.data);
    });
}

} // namespace Protocol
} // namespace SoftBus
