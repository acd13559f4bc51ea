// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QJsonValue>
#include <QString>
#include <QVariantMap>

#include <json/value.h>

#include <memory>

class QJsonArray;
class QJsonObject;
class KxWebViewJSCall;

/*
 * One call of a page API: the handler and method the page named, the
 * arguments it passed, and the JSON value (an object) the method fills. The
 * page receives that object as the answer; by convention the method stores
 * its result as compact JSON text under "result" (setResult does that).
 *
 * A context handed to a method by the dispatcher is bound to the page call.
 * Copies share the binding: a method that keeps a copy after it returns has
 * made the call asynchronous, and the page gets its answer when the copy is
 * given to KxWebViewAsynJSObject::publishResult (or a "noAnswer" failure once
 * every copy is gone unpublished). Each copy has its own return value.
 *
 * Value type; GUI thread (a copy may travel to another thread, publishResult
 * brings the answer back).
 */
class KZELVASHELL_EXPORT KxWebViewJSContext
{
public:
    KxWebViewJSContext();
    // An unbound context, for calling a method directly (tests, host code).
    KxWebViewJSContext(const QString &handlerName, const QString &methodName, const QJsonValue &arguments);
    ~KxWebViewJSContext();
    KxWebViewJSContext(const KxWebViewJSContext &other);
    KxWebViewJSContext &operator=(const KxWebViewJSContext &other);

    QString handlerName() const { return m_handler; }
    QString methodName() const { return m_method; }
    // As the page sent them: normally an object, or the JSON text of one.
    const QJsonValue &arguments() const { return m_arguments; }

    // The answer object. Assign members only (ret["key"] = ...): jsoncpp
    // throws on type misuse and this code base runs without exceptions.
    Json::Value &returnValue() { return m_return; }
    const Json::Value &returnValue() const { return m_return; }

    // Stores the compact JSON text of the value as the string member "result".
    void setResult(const QJsonObject &result);
    void setResult(const QJsonArray &result);
    // "result" as text, empty when unset or not a string.
    QString resultText() const;

    // True for a context the dispatcher made for a page call.
    bool isBound() const { return bool(m_call); }

private:
    friend class KxWebViewJSDispatcher;
    friend class KxWebViewAsynJSObject;

    std::shared_ptr<KxWebViewJSCall> m_call;
    QString m_handler;
    QString m_method;
    QJsonValue m_arguments;
    Json::Value m_return;
};

/*
 * The arguments of a call as a map; absent keys read as invalid values.
 * With decodeText the arguments may also be the JSON text of an object, as
 * pages written for string-only bridges send them. Anything else gives an
 * empty map and a warning naming the handler and method.
 */
KZELVASHELL_EXPORT QVariantMap parseContextArgs(const KxWebViewJSContext &context, bool decodeText);
