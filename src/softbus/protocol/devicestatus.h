// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: filter of the device list: 0 every device of the user, 1 those online.
 * Text form: a JSON object with "status".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct DeviceStatus
{
    qint32 status = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, DeviceStatus *out);
};

} // namespace Protocol
} // namespace SoftBus
