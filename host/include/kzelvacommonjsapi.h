// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"
#include "kxwebviewjsapihandler.h"

#include <QPointer>

class KxWebViewContainer;

/*
 * Base of the page API object a browser asks for (creatingApi): a handler
 * itself, registered as "common" by initHandlers(), and the place where a
 * page's further handlers are registered. Subclasses register theirs in an
 * initHandlers() override and call the base version.
 *
 * Owner: the parent given by whoever answered creatingApi. GUI thread.
 * initHandlers() runs once, when the container takes the object (setApi).
 */
class KZELVASHELL_EXPORT KZelvaCommonJSAPI : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    static QString commonHandlerName();

    KZelvaCommonJSAPI(KxWebViewContainer *container, QObject *parent);
    ~KZelvaCommonJSAPI() override;

    KxWebViewContainer *container() const { return m_container.data(); }
    bool registerHandler(const QString &name, KxWebViewJSApiHandler *handler);

    // Registers this object as "common". False when that fails (no page
    // object, or the name is taken).
    virtual bool initHandlers();

private:
    QPointer<KxWebViewContainer> m_container;
};
