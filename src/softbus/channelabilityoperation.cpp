// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "channelabilityoperation.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Business {
namespace ChannelAbility {

QJsonObject Operation::toJson() const
{
    return {{QStringLiteral("ability"), ability}, {QStringLiteral("action"), action}};
}

bool Operation::fromJson(const Protocol::KSoftBusJsonNode &object, Operation *out)
{
    return Protocol::KSoftBusJsonReader::read(object, out, [](Protocol::KSoftBusJsonReader &in, Operation &op) {
        in.int32("ability", &op.ability).int32("action", &op.action);
    });
}

} // namespace ChannelAbility
} // namespace Business
} // namespace SoftBus
