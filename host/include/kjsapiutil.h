// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QJsonObject>
#include <QJsonValue>

/*
 * The script core's result form for extension-object calls: {"code": n,
 * "msg": text, "data": value}; code 0 is success. Stateless.
 */
class KZELVASHELL_EXPORT KJSApiUtil
{
public:
    static void setRetVal(QJsonObject *result, int code, const QString &message, const QJsonValue &value);
};
