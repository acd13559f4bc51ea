// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QPointer>

#include "kxwebviewasynjsobject.h"
class KxWebViewJSContext;

/*
 * Base of every page API. A page reaches a handler through the name it is
 * registered under (KxWebViewAsynJSObject::registerHandler) and calls its
 * public slots or Q_INVOKABLE methods that take exactly one
 * KxWebViewJSContext& and return nothing; nothing else is callable.
 *
 * Owner: its Qt parent (the page API that made it); the page object is only
 * referenced. GUI thread. Lives as long as its parent; registration is
 * dropped automatically when it is destroyed.
 */
class KZELVASHELL_EXPORT KxWebViewJSApiHandler : public QObject
{
    Q_OBJECT
public:
    KxWebViewJSApiHandler(QObject *parent, KxWebViewAsynJSObject *jsObject);
    ~KxWebViewJSApiHandler() override;

    // The page object this handler answers through; null once it is gone.
    KxWebViewAsynJSObject *jsObject() const;

    // Runs the method named by the page. Returns false when this handler has
    // no callable method of that name (the dispatcher then answers
    // "unknownMethod"). Override to log or to route calls differently; the
    // default invokes the slot through the meta-object system.
    virtual bool doCallFunction(const QString &method, KxWebViewJSContext &context, const QString &handlerName);

private:
    QPointer<KxWebViewAsynJSObject> m_jsObject;
};
