// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "communicationcontent.h"

#include "ksoftbusjsonreader.h"

#include <kcirrajsontext.h>

namespace SoftBus {
namespace Protocol {
namespace Internal {

QJsonObject CommunicationContent::toJson() const
{
    // cobId as text: a JSON number would lose ids beyond 2^53.
    return {{QStringLiteral("cobId"), QString::number(cobId)},
            {QStringLiteral("operation"), operation.toJson()},
            {QStringLiteral("data"), data.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(data)},
            {QStringLiteral("isLast"), isLast},
            {QStringLiteral("status"), status}};
}

QByteArray CommunicationContent::toText() const
{
    // Members in QJsonObject's order (by key).
    QByteArray text;
    text.reserve(96 + data.size() * 2);
    text.append("{\"cobId\":\"").append(QByteArray::number(cobId)).append("\",\"data\":");
    if (data.isNull())
        text.append("null");
    else
        KCirraJsonText::appendString(data, &text);
    text.append(",\"isLast\":").append(isLast ? "true" : "false");
    text.append(",\"operation\":{\"ability\":").append(QByteArray::number(operation.ability));
    text.append(",\"action\":").append(QByteArray::number(operation.action));
    text.append("},\"status\":").append(QByteArray::number(status)).append('}');
    return text;
}

bool CommunicationContent::fromJson(const KSoftBusJsonNode &object, CommunicationContent *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, CommunicationContent &c) {
        in.int64("cobId", &c.cobId).record("operation", &c.operation).boolean("isLast", &c.isLast).int32("status", &c.status);
        if (!in.isNull("data"))
            in.text("data", &c.data);
    });
}

} // namespace Internal
} // namespace Protocol
} // namespace SoftBus
