// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: the time stamp (ms since the epoch) of a device change: the answer of rename, delete and ability requests.
 * Text form: a JSON object with "last_modified_time".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct LastModifiedTime
{
    quint64 time = 0;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, LastModifiedTime *out);
};

} // namespace Protocol
} // namespace SoftBus
