// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: a device status notice: the device, its status (1 online, 0 offline) and what changed ("online", "offline", "rename", "delete").
 * Text form: a JSON object with "identify_info", "status", "action", "last_modified_time".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct NoticeStatus
{
    Device device;
    qint32 status = 0;
    QString action;
    quint64 lastModifiedTime = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, NoticeStatus *out);
};

} // namespace Protocol
} // namespace SoftBus
