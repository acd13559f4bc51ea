// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjseventhandler.h"

#include "kxwebbridgeconnection.h"
#include "kxweblog.h"

#include <kxwebviewasynjsobject.h>

KxWebViewJSEventHandler::KxWebViewJSEventHandler(KxWebViewAsynJSObject *owner)
    : m_owner(owner)
{
}

int KxWebViewJSEventHandler::sendEvent(const QString &eventName, const QString &payload)
{
    int sent = 0;
    // A connection may go away while we send (a closing socket); iterate a copy.
    const QList<QPointer<KxWebBridgeConnection>> connections = m_owner->m_connections;
    for (const QPointer<KxWebBridgeConnection> &connection : connections) {
        if (connection && connection->sendEvent(eventName, payload))
            ++sent;
    }
    qCDebug(lcWeb, "page %s: event %s to %d page(s)", qUtf8Printable(m_owner->objectName()),
            qUtf8Printable(eventName), sent);
    return sent;
}
