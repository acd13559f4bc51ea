// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

/*
 * One device of the user as the cloud service lists it, with the documents
 * (tags) open on it. Built from the service's device record field by field;
 * turned into the device object of the devices-and-tags JSON for the pages.
 * A plain value; any thread.
 */
class KLabelSyncDevice
{
public:
    // Reads a device record; fields missing or of another type stay empty/0.
    static KLabelSyncDevice fromCloudRecord(const QJsonObject &record);
    // The device object of the devices-and-tags JSON; `localDeviceId` marks
    // this device ("is_Local").
    QJsonObject toPageObject(const QString &localDeviceId) const;
    // Whether the device can hand over copies of its local documents.
    bool supportsSyncFileTag() const;

    int status = 0;
    qint64 registerTime = 0;
    qint64 lastModifiedTime = 0;
    QString identifyInfo;
    QString appId;
    QString userId;
    QString deviceId;
    QString deviceName;
    QString clientInfo;
    QString type;
    QString osInfo;
    QString abilityInfo;
    QString action;
    QString version;
    QString ext;
    QString roamingDeviceUuid;
    // The documents open on the device, as the pages get them: objects of the texts "tagId", "type",
    // "suffix", "name", "uuid", "fileId" and "ftype".
    QJsonArray tags;
};
