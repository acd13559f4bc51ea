// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ability.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject Ability::toJson() const
{
    return {{QStringLiteral("ability"), name},
            {QStringLiteral("version"), version},
            {QStringLiteral("data"), data}};
}

bool Ability::fromJson(const KSoftBusJsonNode &object, Ability *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, Ability &r) {
        in.text("ability", &r.name)
            .text("version", &r.version)
            .text("data", &r.data);
    });
}

} // namespace Protocol
} // namespace SoftBus
