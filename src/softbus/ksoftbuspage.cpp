// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbuspage.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace SoftBus {
namespace Business {

void KSoftBusPage::insertData(QJsonObject *object, const QVariant &data)
{
    const QJsonValue value = QJsonValue::fromVariant(data);
    if (value.isArray())
        object->insert(QStringLiteral("data"), value.toArray());
    else if (value.isObject())
        object->insert(QStringLiteral("data"), value.toObject());
    else
        object->insert(QStringLiteral("data"), value);
}

QJsonObject KSoftBusPage::answer(int code, const QVariant &data)
{
    QJsonObject result{{QStringLiteral("code"), code}, {QStringLiteral("success"), code == 0}};
    insertData(&result, data);
    return result;
}

QJsonObject KSoftBusPage::event(int code, const QVariant &data, bool withCode)
{
    QJsonObject payload = answer(code, data);
    if (!withCode)
        payload.remove(QStringLiteral("code"));
    return payload;
}

QString KSoftBusPage::eventText(int code, const QVariant &data, bool withCode)
{
    return QString::fromUtf8(QJsonDocument(event(code, data, withCode)).toJson(QJsonDocument::Compact));
}

} // namespace Business
} // namespace SoftBus
