// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "unreadnumitem.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject UnreadNumItem::toJson() const
{
    return {{QStringLiteral("action"), action},
            {QStringLiteral("from"), from.toJson()},
            {QStringLiteral("unread_num"), unreadNum}};
}

bool UnreadNumItem::fromJson(const KSoftBusJsonNode &object, UnreadNumItem *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, UnreadNumItem &r) {
        in.text("action", &r.action)
            .record("from", &r.from)
            .int32("unread_num", &r.unreadNum);
    });
}

} // namespace Protocol
} // namespace SoftBus
