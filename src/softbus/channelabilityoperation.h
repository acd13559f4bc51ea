// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>

/*
 * One operation of the SoftBus service: its area (`ability`: 2 device,
 * 1 device notices and messages, 5 file tasks, 7 service discovery) and the
 * operation within it (`action`). Ordered by ability, then action; that order
 * keys the listener registries. Text form {"ability":n,"action":n}.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Business {
namespace ChannelAbility {

struct Operation
{
    qint32 ability = 0;
    qint32 action = 0;

    QJsonObject toJson() const;
    static bool fromJson(const Protocol::KSoftBusJsonNode &object, Operation *out);

    friend bool operator<(const Operation &a, const Operation &b)
    {
        return a.ability != b.ability ? a.ability < b.ability : a.action < b.action;
    }
    friend bool operator==(const Operation &a, const Operation &b)
    {
        return a.ability == b.ability && a.action == b.action;
    }
    friend bool operator!=(const Operation &a, const Operation &b) { return !(a == b); }
};

} // namespace ChannelAbility
} // namespace Business
} // namespace SoftBus
