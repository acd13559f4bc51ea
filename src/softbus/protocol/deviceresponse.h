// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonreader.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: the answer of a device operation, the service's own result
 * (`code`, 0 success; `msg`) with the answer value (DeviceInfo,
 * DeviceInfoList or LastModifiedTime). Text form {"code": n, "msg": text,
 * "data": T}. This is also its page form.
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

template<class T>
struct DeviceResponse
{
    qint32 code = 0;
    QString msg;
    T data;

    QJsonObject toJson() const
    {
        return {{QStringLiteral("code"), code}, {QStringLiteral("msg"), msg}, {QStringLiteral("data"), data.toJson()}};
    }

    static bool fromJson(const KSoftBusJsonNode &object, DeviceResponse *out)
    {
        return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DeviceResponse &r) {
            in.int32("code", &r.code).text("msg", &r.msg).record("data", &r.data);
        });
    }
};

} // namespace Protocol
} // namespace SoftBus
