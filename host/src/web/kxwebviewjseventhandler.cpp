// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjseventhandler.h"

#include "kxwebbridgeconnection.h"
#include "kxwebjsonwriter.h"
#include "kxweblog.h"

#include <kxwebviewasynjsobject.h>

#include <json/value.h>

#include <QJsonDocument>
#include <QJsonObject>

KxWebViewJSEventHandler::KxWebViewJSEventHandler(KxWebViewAsynJSObject *owner)
    : m_owner(owner)
{
}

int KxWebViewJSEventHandler::sendEvent(const QString &eventName, const QString &payload)
{
    QByteArray text;
    kxWriteJson(Json::Value(payload.toStdString()), text);
    return send(eventName, "\"d\":", text);
}

int KxWebViewJSEventHandler::sendEvent(const QString &eventName, const QJsonObject &payload)
{
    return send(eventName, "\"v\":", QJsonDocument(payload).toJson(QJsonDocument::Compact));
}

int KxWebViewJSEventHandler::send(const QString &eventName, const char *key, const QByteArray &value)
{
    static const char kHead[] = "{\"t\":\"event\",\"e\":";
    QByteArray message;
    message.reserve(int(sizeof kHead) + eventName.size() + value.size() + 8);
    message.append(kHead);
    kxWriteJson(Json::Value(eventName.toStdString()), message);
    message.append(',').append(key).append(value).append('}');
    int sent = 0;
    // A connection may go away while we send (a closing socket); iterate a copy.
    const QList<QPointer<KxWebBridgeConnection>> connections = m_owner->m_connections;
    for (const QPointer<KxWebBridgeConnection> &connection : connections) {
        if (connection && connection->queueEvent(eventName, message))
            ++sent;
    }
    qCDebug(lcWeb, "page %s: event %s to %d page(s)", qUtf8Printable(m_owner->objectName()),
            qUtf8Printable(eventName), sent);
    return sent;
}
