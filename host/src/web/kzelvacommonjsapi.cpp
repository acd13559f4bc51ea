// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacommonjsapi.h"

#include "kxweblog.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>

QString KZelvaCommonJSAPI::commonHandlerName()
{
    return QStringLiteral("common");
}

KZelvaCommonJSAPI::KZelvaCommonJSAPI(KxWebViewContainer *container, QObject *parent)
    : KxWebViewJSApiHandler(parent, container ? container->jsObject() : nullptr)
    , m_container(container)
{
}

KZelvaCommonJSAPI::~KZelvaCommonJSAPI() = default;

bool KZelvaCommonJSAPI::registerHandler(const QString &name, KxWebViewJSApiHandler *handler)
{
    KxWebViewAsynJSObject *page = jsObject();
    if (!page) {
        qCWarning(lcWeb, "cannot register handler \"%s\": the page is gone", qUtf8Printable(name));
        return false;
    }
    return page->registerHandler(name, handler);
}

bool KZelvaCommonJSAPI::initHandlers()
{
    return registerHandler(commonHandlerName(), this);
}
