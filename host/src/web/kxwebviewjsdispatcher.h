// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <kxwebviewasynjsobject.h>

#include <QByteArray>
#include <QJsonValue>
#include <QString>

class KxWebViewJSApiHandler;
class KxWebViewJSContext;

/*
 * The one place where a page call meets a handler: checks names and
 * arguments against the bridge limits, finds the handler, runs the method
 * and decides whether the answer is immediate or deferred. Stateless.
 */
class KZELVASHELL_EXPORT KxWebViewJSDispatcher
{
public:
    static void dispatch(KxWebViewAsynJSObject *page, const QString &handlerName, const QString &method,
                         const QJsonValue &arguments, KxWebViewAsynJSObject::Reply reply,
                         qint64 sourceLength = -1);

    // Invokes a public slot or invokable "method(KxWebViewJSContext&)";
    // false when there is none.
    static bool invokeSlot(KxWebViewJSApiHandler *handler, const QString &method, KxWebViewJSContext &context);

    static bool isValidName(const QString &name, bool identifier);
    // Empty when the arguments are within the limits, else the reason.
    // With the length of the text they were read from, string lengths that
    // text cannot exceed are not measured.
    static QString checkArguments(const QJsonValue &arguments, qint64 sourceLength = -1);
    // Compact JSON text of a context's return value.
    static QByteArray serialize(const KxWebViewJSContext &context);
};
