// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: identifies one device of the user (also the request of a rename, whose deviceName is the new name).
 * Text form: a JSON object with "app_id", "user_id", "device_id", "device_name".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct Device
{
    QString appId;
    QString userId;
    QString deviceId;
    QString deviceName;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, Device *out);
};

} // namespace Protocol
} // namespace SoftBus
