// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebtesthandler.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewjseventhandler.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

namespace {
bool isNumber(const QVariant &value)
{
    const int type = value.userType();
    return type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int;
}

QVariantMap params(const KxWebViewJSContext &context)
{
    return parseContextArgs(context, true).value(QStringLiteral("params")).toMap();
}
} // namespace

void KxWebTestHandler::echo(KxWebViewJSContext &context)
{
    ++calls;
    echoed.append(params(context));
    context.setResult(QJsonObject::fromVariantMap(echoed.last()));
}

void KxWebTestHandler::add(KxWebViewJSContext &context)
{
    ++calls;
    const QVariantMap args = params(context);
    const QVariant a = args.value(QStringLiteral("a"));
    const QVariant b = args.value(QStringLiteral("b"));
    if (!isNumber(a) || !isNumber(b)) {
        context.setResult(QJsonObject{{QStringLiteral("isSuccess"), false}});
        return;
    }
    context.setResult(QJsonObject{{QStringLiteral("isSuccess"), true}, {QStringLiteral("sum"), a.toDouble() + b.toDouble()}});
}

void KxWebTestHandler::later(KxWebViewJSContext &context)
{
    ++calls;
    const QVariantMap args = params(context);
    KxWebViewJSContext copy = context;
    QPointer<KxWebViewAsynJSObject> page = jsObject();
    QTimer::singleShot(args.value(QStringLiteral("ms")).toInt(), this, [copy, page, args]() mutable {
        copy.setResult(QJsonObject{{QStringLiteral("isSuccess"), true},
                                   {QStringLiteral("later"), args.value(QStringLiteral("text")).toString()}});
        if (page)
            page->publishResult(copy);
    });
}

void KxWebTestHandler::hold(KxWebViewJSContext &context)
{
    ++calls;
    kept.append(context);
}

void KxWebTestHandler::emitEvent(KxWebViewJSContext &context)
{
    ++calls;
    const QVariantMap args = params(context);
    context.setResult(QJsonObject{{QStringLiteral("isSuccess"), true}});
    const QString name = args.value(QStringLiteral("name")).toString();
    const QString payload = args.value(QStringLiteral("payload")).toString();
    QPointer<KxWebViewAsynJSObject> page = jsObject();
    // After the answer, as a product page API raises its events.
    QTimer::singleShot(0, this, [page, name, payload] {
        if (page && page->eventHandler())
            page->eventHandler()->sendEvent(name, payload);
    });
}

void KxWebTestHandler::runScript(KxWebViewJSContext &context)
{
    ++calls;
    const int pages = jsObject() ? jsObject()->runScriptInRemotePages(params(context).value(QStringLiteral("script")).toString()) : 0;
    context.setResult(QJsonObject{{QStringLiteral("pages"), pages}});
}

void KxWebTestHandler::notAPageMethod(int value)
{
    calls += value;
}

void KxWebTestHandler::secret(KxWebViewJSContext &context)
{
    ++calls;
    context.setResult(QJsonObject{{QStringLiteral("secret"), true}});
}
