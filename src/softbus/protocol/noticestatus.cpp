// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "noticestatus.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject NoticeStatus::toJson() const
{
    return {{QStringLiteral("identify_info"), device.toJson()},
            {QStringLiteral("status"), status},
            {QStringLiteral("action"), action},
            {QStringLiteral("last_modified_time"), double(lastModifiedTime)}};
}

bool NoticeStatus::fromJson(const KSoftBusJsonNode &object, NoticeStatus *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, NoticeStatus &r) {
        in.record("identify_info", &r.device)
            .int32("status", &r.status)
            .text("action", &r.action)
            .uint64("last_modified_time", &r.lastModifiedTime);
    });
}

} // namespace Protocol
} // namespace SoftBus
