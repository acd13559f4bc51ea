// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: a service-discovery request; its mode (0 to 3) selects the action of operation 7.
 * Text form: a JSON object with "service_name", "mode", "data".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct DiscoverServiceInfo
{
    QString serviceName;
    qint32 mode = 0;
    QString data;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, DiscoverServiceInfo *out);
};

} // namespace Protocol
} // namespace SoftBus
