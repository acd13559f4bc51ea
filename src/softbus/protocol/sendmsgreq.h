// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: a message for another device of the user (the request of
 * sendMsg, operation (1, 6)). Text form {"to": Device, "action": text,
 * "content": text}; its page form is the same object. The service answers
 * with a DeviceResponse<KMsg>: the message as the receiver gets it, "msg"
 * "delivered" or "queued" (the receiver is offline and gets it when it next
 * listens).
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct SendMsgReq
{
    Device to;
    QString action;
    QString content;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, SendMsgReq *out);
};

} // namespace Protocol
} // namespace SoftBus
