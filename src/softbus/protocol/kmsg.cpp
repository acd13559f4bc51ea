// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kmsg.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject KMsg::toJson() const
{
    return {{QStringLiteral("msg_id"), msgId},
            {QStringLiteral("from"), from.toJson()},
            {QStringLiteral("action"), action},
            {QStringLiteral("content"), content},
            {QStringLiteral("time"), double(time)}};
}

bool KMsg::fromJson(const KSoftBusJsonNode &object, KMsg *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, KMsg &r) {
        in.text("msg_id", &r.msgId)
            .record("from", &r.from)
            .text("action", &r.action)
            .text("content", &r.content)
            .uint64("time", &r.time);
    });
}

} // namespace Protocol
} // namespace SoftBus
