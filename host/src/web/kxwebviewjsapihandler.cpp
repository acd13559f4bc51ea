// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjsapihandler.h"

#include "kxwebviewjsdispatcher.h"

#include <kxwebviewasynjsobject.h>

KxWebViewJSApiHandler::KxWebViewJSApiHandler(QObject *parent, KxWebViewAsynJSObject *jsObject)
    : QObject(parent)
    , m_jsObject(jsObject)
{
}

KxWebViewJSApiHandler::~KxWebViewJSApiHandler() = default;

KxWebViewAsynJSObject *KxWebViewJSApiHandler::jsObject() const
{
    return m_jsObject.data();
}

bool KxWebViewJSApiHandler::doCallFunction(const QString &method, KxWebViewJSContext &context,
                                           const QString &handlerName)
{
    Q_UNUSED(handlerName)
    return KxWebViewJSDispatcher::invokeSlot(this, method, context);
}
