// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <kxwebviewasynjsobject.h>

/*
 * One page attached to a page object through some transport. It speaks the
 * bridge's message protocol (JSON text, one object per message):
 *   page -> host  {"t":"call","id":n,"h":handler,"m":method,"a":args}
 *                 {"t":"on","e":event}
 *   host -> page  {"t":"reply","id":n,"ok":true,"v":object}
 *                 {"t":"reply","id":n,"ok":false,"code":c,"error":text}
 *                 {"t":"event","e":event,"d":payload}
 *                 {"t":"script","c":code}
 * A transport subclass delivers incoming text to receiveText and implements
 * sendText. Malformed messages are logged and counted; those with a usable
 * id are answered with a "badRequest" failure.
 *
 * Owner: the transport (QObject parent). GUI thread. Attaches itself to the
 * page object on construction and detaches when destroyed.
 */
class KZELVASHELL_EXPORT KxWebBridgeConnection : public QObject
{
    Q_OBJECT
public:
    KxWebBridgeConnection(KxWebViewAsynJSObject *page, bool inView, QObject *parent = nullptr);
    ~KxWebBridgeConnection() override;

    void receiveText(const QString &text);

    bool isInView() const { return m_inView; }
    bool isSubscribed(const QString &eventName) const { return m_events.contains(eventName); }
    bool hasSubscriptions() const { return !m_events.isEmpty(); }
    KxWebViewAsynJSObject *page() const { return m_page; }
    int malformedCount() const { return m_malformed; }

    // Messages longer than this (in UTF-16 units) are dropped unread.
    void setMaxMessageLength(qint64 length) { m_maxLength = length; }

    bool sendEvent(const QString &eventName, const QString &payload);
    // The page loaded again in the same transport: it counts as a new page.
    void pageReloaded();
    void sendScript(const QString &code);

protected:
    virtual void sendText(const QString &text) = 0;
    // The page object went; the transport may end the connection.
    virtual void pageClosed();

private:
    void refuse(const QJsonValue &id, const QString &error);
    void sendFailure(const QJsonValue &id, int status, const QString &error);

    QPointer<KxWebViewAsynJSObject> m_page;
    QSet<QString> m_events;
    quint64 m_id;
    qint64 m_maxLength;
    int m_malformed = 0;
    bool m_inView;
};
