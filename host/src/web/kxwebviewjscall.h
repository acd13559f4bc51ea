// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewasynjsobject.h>

#include <QString>

#include <atomic>

/*
 * The binding of a context to one page call, shared by every copy of the
 * context. Holds the reply route; answers at most once. When the last copy
 * goes without an answer the page is told "noAnswer", so its promise never
 * hangs.
 */
class KxWebViewJSCall
{
public:
    KxWebViewJSCall(const QString &handler, const QString &method, KxWebViewAsynJSObject::Reply reply);
    ~KxWebViewJSCall();

    // False when the call was answered before.
    bool answer(const KxWebViewJSAnswer &answer);
    bool isAnswered() const { return m_answered.load(); }
    QString describe() const;

private:
    QString m_handler;
    QString m_method;
    KxWebViewAsynJSObject::Reply m_reply;
    std::atomic<bool> m_answered{false};
};
