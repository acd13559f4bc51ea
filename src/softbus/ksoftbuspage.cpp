// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbuspage.h"

namespace SoftBus {
namespace Business {

QJsonObject KSoftBusPage::answer(int code, const QVariant &data)
{
    return event(code, QJsonValue::fromVariant(data), true);
}

QJsonObject KSoftBusPage::event(int code, const QJsonValue &data, bool withCode)
{
    QJsonObject payload{{QStringLiteral("success"), code == 0}, {QStringLiteral("data"), data}};
    if (withCode)
        payload.insert(QStringLiteral("code"), code);
    return payload;
}

} // namespace Business
} // namespace SoftBus
