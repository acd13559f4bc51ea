// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjscall.h"

#include "kxweblog.h"

KxWebViewJSCall::KxWebViewJSCall(const QString &handler, const QString &method, KxWebViewAsynJSObject::Reply reply)
    : m_handler(handler)
    , m_method(method)
    , m_reply(std::move(reply))
{
}

KxWebViewJSCall::~KxWebViewJSCall()
{
    if (m_answered.load())
        return;
    qCWarning(lcWeb, "%s: asynchronous call dropped without an answer", qUtf8Printable(describe()));
    KxWebViewJSAnswer dropped;
    dropped.status = KxWebViewJSAnswer::NoAnswer;
    dropped.error = QStringLiteral("the method kept the call and dropped it without an answer");
    answer(dropped);
}

bool KxWebViewJSCall::answer(const KxWebViewJSAnswer &answer)
{
    if (m_answered.exchange(true))
        return false;
    if (m_reply)
        m_reply(answer);
    return true;
}

QString KxWebViewJSCall::describe() const
{
    return m_handler + QLatin1Char('.') + m_method;
}
