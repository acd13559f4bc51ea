// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "device.h"

#include <QJsonObject>
#include <QString>

/*
 * SoftBus record: the state of one file-transfer task of an owner id.
 * Text form: a JSON object with "task_id", "owner_id", "file_name", "total_size", "done_size", "state", "is_sender", "peer",
 * "error" (why it failed or waits, one word such as "file_missing" or "receiver_offline"; empty otherwise).
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Protocol {

struct KFileTaskInfo
{
    QString taskId;
    QString ownerId;
    QString fileName;
    quint64 totalSize = 0;
    quint64 doneSize = 0;
    qint32 state = 0;
    bool isSender = false;
    Device peer;
    QString error;

    QJsonObject toJson() const;
    static bool fromJson(const KSoftBusJsonNode &object, KFileTaskInfo *out);
};

} // namespace Protocol
} // namespace SoftBus
