// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: one message from another device of the user.
 * Text form: a JSON object with "msg_id", "from", "action", "content", "time".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct KMsg
{
    QString msgId;
    Device from;
    QString action;
    QString content;
    quint64 time = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, KMsg *out);
};

} // namespace Protocol
} // namespace SoftBus
