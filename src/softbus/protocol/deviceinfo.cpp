// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "deviceinfo.h"

#include "ksoftbusjsonreader.h"

#include <QJsonArray>

namespace SoftBus {
namespace Protocol {

QJsonObject DeviceInfo::toJson() const
{
    const QJsonObject client{{QStringLiteral("channel"), clientChannel},
                             {QStringLiteral("type"), clientType},
                             {QStringLiteral("version"), clientVersion}};
    QJsonArray portList;
    for (const qint32 port : ports)
        portList.append(port);
    const QJsonObject net{{QStringLiteral("ip"), ip}, {QStringLiteral("ports"), portList}, {QStringLiteral("type"), netType}};
    const QJsonObject os{{QStringLiteral("type"), osType}, {QStringLiteral("brand"), osBrand}, {QStringLiteral("level"), osLevel}};
    return {{QStringLiteral("client_info"), client},
            {QStringLiteral("identify_info"), identify.toJson()},
            {QStringLiteral("net_info"), net},
            {QStringLiteral("os_info"), os},
            {QStringLiteral("register_time"), double(registerTime)},
            {QStringLiteral("last_modified_time"), double(lastModifiedTime)},
            {QStringLiteral("status"), status},
            {QStringLiteral("ability_info"), QJsonArray::fromStringList(abilities)},
            {QStringLiteral("ext"), ext}};
}

bool DeviceInfo::fromJson(const KSoftBusJsonNode &object, DeviceInfo *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, DeviceInfo &r) {
        in.record("identify_info", &r.identify)
            .nested("client_info", [&r](KSoftBusJsonReader &client) {
                client.text("channel", &r.clientChannel).text("type", &r.clientType).text("version", &r.clientVersion);
            })
            .nested("net_info", [&r](KSoftBusJsonReader &net) {
                net.text("ip", &r.ip).int32s("ports", &r.ports).text("type", &r.netType);
            })
            .nested("os_info", [&r](KSoftBusJsonReader &os) {
                os.text("type", &r.osType).text("brand", &r.osBrand).text("level", &r.osLevel);
            })
            .uint64("register_time", &r.registerTime)
            .uint64("last_modified_time", &r.lastModifiedTime)
            .int32("status", &r.status)
            .texts("ability_info", &r.abilities)
            .text("ext", &r.ext);
    });
}

} // namespace Protocol
} // namespace SoftBus
