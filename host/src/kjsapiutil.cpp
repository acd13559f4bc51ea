// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kjsapiutil.h"

void KJSApiUtil::setRetVal(QJsonObject *result, int code, const QString &message, const QJsonValue &value)
{
    if (!result)
        return;
    result->insert(QStringLiteral("code"), code);
    result->insert(QStringLiteral("msg"), message);
    result->insert(QStringLiteral("data"), value);
}
