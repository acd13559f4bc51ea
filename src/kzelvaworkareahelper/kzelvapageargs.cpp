// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapageargs.h"

#include "kzelvaworkareahelper.h"

#include <kxwebviewjscontext.h>

#include <QJsonDocument>
#include <QJsonObject>

QVariantMap paramsOf(const KxWebViewJSContext &context)
{
    const QVariant params = parseContextArgs(context, true).value(QStringLiteral("params"));
    if (params.userType() == QMetaType::QString)
        return QJsonDocument::fromJson(params.toString().toUtf8()).object().toVariantMap();
    return params.toMap();
}

bool textArg(const QVariantMap &params, const QString &key, const QString &method, QString *value)
{
    const QVariant v = params.value(key);
    if (v.isValid() && v.userType() != QMetaType::QString) {
        writeLog(2, QStringLiteral("%1 : failed! %2 is not a text").arg(method, key));
        return false;
    }
    *value = v.toString();
    if (value->isEmpty()) {
        writeLog(2, QStringLiteral("%1 : failed! %2 is Empty").arg(method, key));
        return false;
    }
    return true;
}

QStringList textArgs(const KxWebViewJSContext &context, const QString &method,
                     std::initializer_list<const char *> keys)
{
    const QVariantMap params = paramsOf(context);
    QStringList values;
    for (const char *key : keys) {
        QString value;
        if (!textArg(params, QLatin1String(key), method, &value))
            return {};
        values.append(value);
    }
    return values;
}
