// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "channelabilityoperation.h"

#include <QString>

/*
 * The unit exchanged with the SoftBus service: which callback object on the
 * service side it belongs to (`cobId`, links broadcast results to their
 * request), the operation, the payload text (a record's text form), whether
 * it is the last result of its request, and a status carried along.
 * Text form {"cobId":"<decimal>","operation":{...},"data":text|null,
 * "isLast":bool,"status":n}; a null `data` stays null.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {
namespace Internal {

struct CommunicationContent
{
    qint64 cobId = -1;
    Business::ChannelAbility::Operation operation;
    QString data;
    bool isLast = false;
    qint32 status = 0;

    QJsonObject toJson() const;
    // The text form as UTF-8, the bytes QJsonDocument writes for toJson(),
    // without building the object: every request is one.
    QByteArray toText() const;
    static bool fromJson(const KSoftBusJsonNode &object, CommunicationContent *out);
};

} // namespace Internal
} // namespace Protocol
} // namespace SoftBus
