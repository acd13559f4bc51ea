// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewjsapihandler.h>
#include <kxwebviewjscontext.h>

#include <QList>

/*
 * A page API for the bridge tests: synchronous and asynchronous methods, a
 * method that drops its call, one that raises an event, and members a page
 * must not reach (a signal, a private slot, a slot of another signature).
 * Arguments come in "params" as the product's pages send them.
 */
class KxWebTestHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    using KxWebViewJSApiHandler::KxWebViewJSApiHandler;

    int calls = 0;
    QList<QVariantMap> echoed; // params of every echo call
    QList<KxWebViewJSContext> kept; // contexts of "hold", answered by the test

public Q_SLOTS:
    // {"params":{...}} -> result = params
    void echo(KxWebViewJSContext &context);
    // {"params":{"a":number,"b":number}} -> {"isSuccess":true,"sum":a+b}, else {"isSuccess":false}
    void add(KxWebViewJSContext &context);
    // answers {"isSuccess":true,"later":params.text} after params.ms milliseconds
    void later(KxWebViewJSContext &context);
    // keeps the context in `kept` without answering
    void hold(KxWebViewJSContext &context);
    // answers, then sends the event params.name with payload params.payload
    void emitEvent(KxWebViewJSContext &context);
    // runs params.script in the remote pages of the page object
    void runScript(KxWebViewJSContext &context);
    void notAPageMethod(int value);

Q_SIGNALS:
    void touched(KxWebViewJSContext &context);

private Q_SLOTS:
    void secret(KxWebViewJSContext &context);
};
