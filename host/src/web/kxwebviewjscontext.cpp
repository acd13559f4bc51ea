// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjscontext.h"

#include "kxweblog.h"
#include "kxwebviewjscall.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
void storeResult(Json::Value &target, const QByteArray &text)
{
    target["result"] = Json::Value(text.constData(), text.constData() + text.size());
}
} // namespace

KxWebViewJSContext::KxWebViewJSContext()
    : m_return(Json::objectValue)
{
}

KxWebViewJSContext::KxWebViewJSContext(const QString &handlerName, const QString &methodName,
                                       const QJsonValue &arguments)
    : m_handler(handlerName)
    , m_method(methodName)
    , m_arguments(arguments)
    , m_return(Json::objectValue)
{
}

KxWebViewJSContext::~KxWebViewJSContext() = default;
KxWebViewJSContext::KxWebViewJSContext(const KxWebViewJSContext &other) = default;
KxWebViewJSContext &KxWebViewJSContext::operator=(const KxWebViewJSContext &other) = default;

void KxWebViewJSContext::setResult(const QJsonObject &result)
{
    storeResult(m_return, QJsonDocument(result).toJson(QJsonDocument::Compact));
}

void KxWebViewJSContext::setResult(const QJsonArray &result)
{
    storeResult(m_return, QJsonDocument(result).toJson(QJsonDocument::Compact));
}

QString KxWebViewJSContext::resultText() const
{
    if (!m_return.isObject())
        return QString();
    const Json::Value &result = m_return["result"];
    if (!result.isString())
        return QString();
    const char *begin = nullptr;
    const char *end = nullptr;
    result.getString(&begin, &end);
    return QString::fromUtf8(begin, int(end - begin));
}

QVariantMap parseContextArgs(const KxWebViewJSContext &context, bool decodeText)
{
    const QJsonValue &arguments = context.arguments();
    if (arguments.isObject())
        return arguments.toObject().toVariantMap();
    if (arguments.isUndefined() || arguments.isNull())
        return QVariantMap();
    if (decodeText && arguments.isString()) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(arguments.toString().toUtf8(), &error);
        if (document.isObject())
            return document.object().toVariantMap();
    }
    qCWarning(lcWeb, "%s.%s: arguments are not an object, ignored", qUtf8Printable(context.handlerName()),
              qUtf8Printable(context.methodName()));
    return QVariantMap();
}
