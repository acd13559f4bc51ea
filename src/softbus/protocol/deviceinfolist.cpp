// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "deviceinfolist.h"

#include "ksoftbusjsonreader.h"

#include <QJsonArray>

namespace SoftBus {
namespace Protocol {

QJsonObject DeviceInfoList::toJson() const
{
    QJsonArray list;
    for (const DeviceInfo &d : devices)
        list.append(d.toJson());
    return {{QStringLiteral("devices"), list}};
}

bool DeviceInfoList::fromJson(const KSoftBusJsonNode &object, DeviceInfoList *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DeviceInfoList &r) {
        in.records("devices", &r.devices);
    });
}

} // namespace Protocol
} // namespace SoftBus
