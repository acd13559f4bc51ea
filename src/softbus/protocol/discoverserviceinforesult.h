// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: one discovered service: its name, the device offering it and its data.
 * Text form: a JSON object with "service_name", "identify_info", "data", "state".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct DiscoverServiceInfoResult
{
    QString serviceName;
    Device device;
    QString data;
    qint32 state = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, DiscoverServiceInfoResult *out);
};

} // namespace Protocol
} // namespace SoftBus
