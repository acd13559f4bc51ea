// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "klabelsyncdevice.h"

#include <QJsonArray>

#include <iterator>

namespace {

constexpr char kSyncFileTag[] = "sync_file_tag";

QString text(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key)).toString();
}

// The service sends times and states as numbers, some older ones as texts.
qint64 integer(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString())
        return v.toString().toLongLong();
    return v.isDouble() ? qint64(v.toDouble()) : 0;
}

constexpr const char *kTagKeys[] = {"tagId", "type", "suffix", "name", "uuid", "fileId", "ftype"};

// A tag as the pages get it: the seven texts, a missing or non-text one empty. The service's own tags are
// that already and are kept as they came (a list of thousands is not built again, key by key).
QJsonObject pageTag(const QJsonObject &t)
{
    bool asIs = t.size() == int(std::size(kTagKeys));
    for (const char *key : kTagKeys)
        asIs = asIs && t.value(QLatin1String(key)).isString();
    if (asIs)
        return t;
    QJsonObject tag;
    for (const char *key : kTagKeys)
        tag.insert(QLatin1String(key), text(t, key));
    return tag;
}

} // namespace

KLabelSyncDevice KLabelSyncDevice::fromCloudRecord(const QJsonObject &record)
{
    KLabelSyncDevice d;
    d.status = int(integer(record, "status"));
    d.registerTime = integer(record, "register_time");
    d.lastModifiedTime = integer(record, "last_modified_time");
    d.identifyInfo = text(record, "identify_info");
    d.appId = text(record, "app_id");
    d.userId = text(record, "user_id");
    d.deviceId = text(record, "device_id");
    d.deviceName = text(record, "device_name");
    d.clientInfo = text(record, "client_info");
    d.type = text(record, "type");
    d.osInfo = text(record, "os_info");
    d.abilityInfo = text(record, "ability_info");
    d.action = text(record, "action");
    d.version = text(record, "version");
    d.ext = text(record, "ext");
    d.roamingDeviceUuid = text(record, "roaming_device_uuid");
    const QJsonArray tags = record.value(QLatin1String("Tags")).toArray();
    for (const QJsonValue &value : tags)
        d.tags.append(pageTag(value.toObject()));
    return d;
}

QJsonObject KLabelSyncDevice::toPageObject(const QString &localDeviceId) const
{
    return QJsonObject{{QStringLiteral("app_id"), appId},
                       {QStringLiteral("user_id"), userId},
                       {QStringLiteral("device_id"), deviceId},
                       {QStringLiteral("device_name"), deviceName},
                       {QStringLiteral("device_type"), type},
                       {QStringLiteral("os_type"), osInfo},
                       {QStringLiteral("status"), status},
                       {QStringLiteral("is_Local"), !deviceId.isEmpty() && deviceId == localDeviceId},
                       {QStringLiteral("register_time"), double(registerTime)},
                       {QStringLiteral("last_modified_time"), double(lastModifiedTime)},
                       {QStringLiteral("roaming_device_uuid"), roamingDeviceUuid},
                       {QStringLiteral("Tags"), tags}};
}

bool KLabelSyncDevice::supportsSyncFileTag() const
{
    // The ability list names the feature; a device without a version predates it.
    return !version.isEmpty() && abilityInfo.split(QLatin1Char(',')).contains(QLatin1String(kSyncFileTag));
}
