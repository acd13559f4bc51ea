// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QJsonObject>
#include <QString>

/*
 * The reply convention of the device and file-label methods of
 * "cirraIpcCall": the answer is the compact JSON text of one object in
 * resultString with "msg" = "success" or the reason, and state 0 or the
 * failure's code.
 */
namespace KCirraIpcAnswer {

qoz::cirra::CirraIpcResult make(int state, const QString &msg, const QJsonObject &extra = QJsonObject());
// The argMap entry `key`, or empty.
QString arg(const qoz::cirra::CirraIpcArg &a, const char *key);
// An argMap entry holding a JSON object, or an empty object.
QJsonObject jsonArg(const qoz::cirra::CirraIpcArg &a, const char *key);
// The event frame of the broadcast line "act=broadcast&<key>=<compact JSON of value>".
qoz::cirra::CirraFrame broadcastFrame(const char *key, const QJsonObject &value);
// A name a user may give: not empty, at most `maxSize` characters, no control characters.
bool isPlainName(const QString &name, int maxSize);

} // namespace KCirraIpcAnswer
