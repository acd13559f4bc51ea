// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kfiletaskinfo.h"

#include "ksoftbusjsonreader.h"

namespace SoftBus {
namespace Protocol {

QJsonObject KFileTaskInfo::toJson() const
{
    return {{QStringLiteral("task_id"), taskId},
            {QStringLiteral("owner_id"), ownerId},
            {QStringLiteral("file_name"), fileName},
            {QStringLiteral("total_size"), double(totalSize)},
            {QStringLiteral("done_size"), double(doneSize)},
            {QStringLiteral("state"), state},
            {QStringLiteral("is_sender"), isSender},
            {QStringLiteral("peer"), peer.toJson()},
            {QStringLiteral("error"), error}};
}

bool KFileTaskInfo::fromJson(const KSoftBusJsonNode &object, KFileTaskInfo *out)
{
    return KSoftBusJsonReader::read(object, out, [](KSoftBusJsonReader &in, KFileTaskInfo &r) {
        in.text("task_id", &r.taskId)
            .text("owner_id", &r.ownerId)
            .text("file_name", &r.fileName)
            .uint64("total_size", &r.totalSize)
            .uint64("done_size", &r.doneSize)
            .int32("state", &r.state)
            .boolean("is_sender", &r.isSender)
            .record("peer", &r.peer)
            .text("error", &r.error);
    });
}

} // namespace Protocol
} // namespace SoftBus
