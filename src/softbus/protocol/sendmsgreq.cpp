// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "sendmsgreq.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject SendMsgReq::toJson() const
{
    return {
        {QStringLiteral("to"), to.toJson()}, {QStringLiteral("action"), action}, {QStringLiteral("content"), content}};
}

bool SendMsgReq::fromJson(const KSoftBusJsonNode &object, SendMsgReq *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, SendMsgReq &r) {
        in.record("to", &r.to).text("action", &r.action).text("content", &r.content);
    });
}

} // namespace Protocol
} // namespace SoftBus
