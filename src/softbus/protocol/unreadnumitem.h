// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: how many offline messages of one action wait for this device.
 * Text form: a JSON object with "action", "from", "unread_num".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct UnreadNumItem
{
    QString action;
    Device from;
    qint32 unreadNum = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, UnreadNumItem *out);
};

} // namespace Protocol
} // namespace SoftBus
