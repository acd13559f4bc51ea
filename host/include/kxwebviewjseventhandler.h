// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

class KxWebViewAsynJSObject;
class QByteArray;
class QJsonObject;

/*
 * Sends events to the pages attached to one page object. A page receives an
 * event only after its script subscribed to that name with on(name, ...).
 * Each event message is built once for every page; the connections queue
 * it and send what one event-loop pass raised together (see
 * KxWebBridgeConnection).
 * Owner: the page object (KxWebViewAsynJSObject::eventHandler hands it out
 * only while a page has subscribed). GUI thread.
 */
class KZELVASHELL_EXPORT KxWebViewJSEventHandler
{
public:
    explicit KxWebViewJSEventHandler(KxWebViewAsynJSObject *owner);

    // payload is JSON text (the page script parses it) or plain text.
    // Returns the number of page connections the event went to.
    int sendEvent(const QString &eventName, const QString &payload);
    // The payload as an object: written once, the page reads it without a second parse.
    int sendEvent(const QString &eventName, const QJsonObject &payload);

private:
    int send(const QString &eventName, const char *key, const QByteArray &value);

    KxWebViewAsynJSObject *m_owner;
};
