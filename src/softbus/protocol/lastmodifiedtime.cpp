// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "lastmodifiedtime.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject LastModifiedTime::toJson() const
{
    return {{QStringLiteral("last_modified_time"), double(time)}};
}

bool LastModifiedTime::fromJson(const KSoftBusJsonNode &object, LastModifiedTime *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, LastModifiedTime &r) {
        in.uint64("last_modified_time", &r.time);
    });
}

} // namespace Protocol
} // namespace SoftBus
