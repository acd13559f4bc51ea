// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: an ability this device announces to the others.
 * Text form: a JSON object with "ability", "version", "data".
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct Ability
{
    QString name;
    QString version;
    QString data;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, Ability *out);
};

} // namespace Protocol
} // namespace SoftBus
