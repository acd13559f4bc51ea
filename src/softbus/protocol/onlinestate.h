// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonreader.h"

#include <QJsonObject>

/*
 * SoftBus record: the answer of the online query (2, 9): whether this
 * device is online. Text form {"online": bool}.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct OnlineState
{
    bool online = false;

    QJsonObject toJson() const { return {{QStringLiteral("online"), online}}; }
    static bool fromJson(const KSoftBusJsonNode &object, OnlineState *out)
    {
        return KSoftBusJsonReader::read(
            object, out, [](KSoftBusJsonReader &in, OnlineState &r) { in.boolean("online", &r.online); });
    }
};

} // namespace Protocol
} // namespace SoftBus
