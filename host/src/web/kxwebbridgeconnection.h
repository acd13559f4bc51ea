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
 *                 {"t":"event","e":event,"d":payload text} or {..."v":payload object}
 *                 {"t":"batch","m":[event, event, ...]}
 *                 {"t":"script","c":code}
 * Events are queued and sent once the event-loop pass that raised them is
 * over: one alone as it is, several in one "batch" message (up to
 * kMaxBatchBytes each), so a burst of notices costs the page one message
 * and one parse, not one per event. Any other message sends the queue
 * first, so the page sees everything in the order it was raised.
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

    // `message` is a whole event message; false when this page did not subscribe to `eventName`.
    bool queueEvent(const QString &eventName, const QByteArray &message);
    static constexpr int kMaxBatchBytes = 64 * 1024;
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
    void flushEvents();

    QPointer<KxWebViewAsynJSObject> m_page;
    QSet<QString> m_events;
    quint64 m_id;
    qint64 m_maxLength;
    QByteArray m_queuedEvents; // queued event messages, comma-separated
    int m_queuedCount = 0;
    bool m_flushPosted = false;
    int m_malformed = 0;
    bool m_inView;
};
