// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjsdispatcher.h"

#include "kxwebbridgelimits.h"
#include "kxwebjsonwriter.h"
#include "kxweblog.h"
#include "kxwebviewjscall.h"

#include <kxwebviewjsapihandler.h>
#include <kxwebviewjscontext.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMetaMethod>

#include <memory>

using namespace KxWebBridgeLimits;

namespace {

KxWebViewJSAnswer failure(KxWebViewJSAnswer::Status status, const QString &error)
{
    KxWebViewJSAnswer answer;
    answer.status = status;
    answer.error = error;
    return answer;
}

struct Budget
{
    int nodes = 0;
    qint64 chars = 0;
    bool measureStrings = true;
};

QString checkString(const QString &text, Budget &budget)
{
    if (text.size() > kMaxStringLength)
        return QStringLiteral("a string of %1 characters exceeds %2").arg(text.size()).arg(kMaxStringLength);
    budget.chars += text.size();
    if (budget.chars > kMaxArgumentChars)
        return QStringLiteral("the strings exceed %1 characters in all").arg(kMaxArgumentChars);
    return QString();
}

QString checkValue(const QJsonValue &value, int depth, Budget &budget)
{
    if (++budget.nodes > kMaxArgumentNodes)
        return QStringLiteral("more than %1 values").arg(kMaxArgumentNodes);
    if (depth > kMaxArgumentDepth)
        return QStringLiteral("nested deeper than %1").arg(kMaxArgumentDepth);
    switch (value.type()) {
    case QJsonValue::String:
        return budget.measureStrings ? checkString(value.toString(), budget) : QString();
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        // Checked before the walk so a huge list is refused without visiting it.
        if (array.size() > kMaxArgumentNodes)
            return QStringLiteral("a list of %1 values exceeds %2").arg(array.size()).arg(kMaxArgumentNodes);
        for (const QJsonValue &item : array) {
            QString why = checkValue(item, depth + 1, budget);
            if (!why.isEmpty())
                return why;
        }
        return QString();
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        if (object.size() > kMaxArgumentNodes)
            return QStringLiteral("an object of %1 members exceeds %2").arg(object.size()).arg(kMaxArgumentNodes);
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            QString why = budget.measureStrings ? checkString(it.key(), budget) : QString();
            if (why.isEmpty())
                why = checkValue(it.value(), depth + 1, budget);
            if (!why.isEmpty())
                return why;
        }
        return QString();
    }
    default:
        return QString();
    }
}

} // namespace

bool KxWebViewJSDispatcher::isValidName(const QString &name, bool identifier)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    for (int i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        const bool punctuation = c == u'.' || c == u'-';
        if (!(letter || (digit && (i > 0 || !identifier)) || (punctuation && !identifier)))
            return false;
    }
    return true;
}

QString KxWebViewJSDispatcher::checkArguments(const QJsonValue &arguments, qint64 sourceLength)
{
    Budget budget;
    // A string is never longer than the text it was read from: converting
    // each one only to measure it costs more than the call itself.
    budget.measureStrings = sourceLength < 0 || sourceLength > kMaxStringLength;
    return checkValue(arguments, 0, budget);
}

QByteArray KxWebViewJSDispatcher::serialize(const KxWebViewJSContext &context)
{
    const Json::Value &value = context.returnValue();
    if (value.isNull())
        return QByteArrayLiteral("{}");
    if (!value.isObject())
        qCWarning(lcWeb, "%s.%s: the answer is not an object", qUtf8Printable(context.handlerName()),
                  qUtf8Printable(context.methodName()));
    QByteArray text;
    kxWriteJson(value, text);
    return text;
}

bool KxWebViewJSDispatcher::invokeSlot(KxWebViewJSApiHandler *handler, const QString &method,
                                       KxWebViewJSContext &context)
{
    if (!handler || !isValidName(method, true))
        return false;
    // Looking a slot up by its signature text costs more than most calls;
    // slots found are kept (GUI thread only). Names that are not slots are
    // not kept: a page could send any number of them.
    static QHash<QPair<const QMetaObject *, QString>, int> found;
    const QMetaObject *meta = handler->metaObject();
    const auto key = qMakePair(meta, method);
    int index = found.value(key, -1);
    if (index < 0) {
        const QByteArray signature = method.toLatin1() + QByteArrayLiteral("(KxWebViewJSContext&)");
        index = meta->indexOfMethod(signature.constData());
        if (index < 0)
            return false;
        const QMetaMethod slot = meta->method(index);
        // Signals and constructors share the table; a page must not emit a signal.
        if (slot.access() != QMetaMethod::Public || slot.returnType() != QMetaType::Void
            || (slot.methodType() != QMetaMethod::Slot && slot.methodType() != QMetaMethod::Method))
            return false;
        found.insert(key, index);
    }
    return meta->method(index).invoke(handler, Qt::DirectConnection, QGenericArgument("KxWebViewJSContext&", &context));
}

void KxWebViewJSDispatcher::dispatch(KxWebViewAsynJSObject *page, const QString &handlerName, const QString &method,
                                     const QJsonValue &arguments, KxWebViewAsynJSObject::Reply reply,
                                     qint64 sourceLength)
{
    // Only a log line needs it: not made for a call that goes through.
    const auto what = [&]() -> QString {
        return handlerName.left(kMaxNameLength) + QLatin1Char('.') + method.left(kMaxNameLength);
    };
    // The method may close the page; log with the name taken now.
    const QString pageName = page->objectName();
    auto refuse = [&](KxWebViewJSAnswer::Status status, const QString &error) {
        qCWarning(lcWeb, "page %s: call %s refused (%s): %s", qUtf8Printable(pageName), qUtf8Printable(what()),
                  qUtf8Printable(KxWebViewJSAnswer::codeName(status)), qUtf8Printable(error));
        if (reply)
            reply(failure(status, error));
    };
    if (!isValidName(handlerName, false))
        return refuse(KxWebViewJSAnswer::BadRequest, QStringLiteral("bad handler name"));
    if (!isValidName(method, true))
        return refuse(KxWebViewJSAnswer::BadRequest, QStringLiteral("bad method name"));
    if (!arguments.isUndefined() && !arguments.isNull() && !arguments.isObject() && !arguments.isString())
        return refuse(KxWebViewJSAnswer::BadRequest, QStringLiteral("arguments must be an object"));
    const QString tooLarge = checkArguments(arguments, sourceLength);
    if (!tooLarge.isEmpty())
        return refuse(KxWebViewJSAnswer::TooLarge, tooLarge);
    KxWebViewJSApiHandler *handler = page->handler(handlerName);
    if (!handler)
        return refuse(KxWebViewJSAnswer::UnknownHandler, QStringLiteral("no handler \"%1\"").arg(handlerName));

    qCDebug(lcWeb, "page %s: call %s", qUtf8Printable(pageName), qUtf8Printable(what()));
    KxWebViewJSContext context(handlerName, method,
                               arguments.isUndefined() ? QJsonValue(QJsonObject()) : arguments);
    context.m_call = std::make_shared<KxWebViewJSCall>(handlerName, method, std::move(reply));
    const std::shared_ptr<KxWebViewJSCall> call = context.m_call;
    if (!handler->doCallFunction(method, context, handlerName)) {
        qCWarning(lcWeb, "page %s: call %s refused (unknownMethod)", qUtf8Printable(pageName), qUtf8Printable(what()));
        call->answer(failure(KxWebViewJSAnswer::UnknownMethod, QStringLiteral("no method \"%1\"").arg(method)));
        return;
    }
    // Two owners here (context and call); a third means the method kept a copy to answer later.
    if (call.use_count() > 2 || call->isAnswered())
        return;
    KxWebViewJSAnswer answer;
    answer.value = serialize(context);
    call->answer(answer);
}
