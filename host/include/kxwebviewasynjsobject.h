// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"
#include "kxwebviewjsanswer.h"

#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class KxWebBridgeConnection;
class KxWebViewJSApiHandler;
class KxWebViewJSContext;
class KxWebViewJSEventHandler;

/*
 * The bridge's side of one page: the page-API handlers registered by name,
 * the page connections attached to it (the QWebChannel of a web view, and
 * any number of WebSocket clients), answers of asynchronous calls and events.
 * Every call of every transport goes through call().
 *
 * Owner: its Qt parent, normally the KxWebViewContainer. GUI thread;
 * publishResult may be called from any thread.
 */
class KZELVASHELL_EXPORT KxWebViewAsynJSObject : public QObject
{
    Q_OBJECT
public:
    using Reply = std::function<void(const KxWebViewJSAnswer &)>;

    explicit KxWebViewAsynJSObject(QObject *parent = nullptr);
    ~KxWebViewAsynJSObject() override;

    // Names: 1-64 of [A-Za-z0-9_.-]. Fails (with a log line) for a bad name,
    // a null handler or a name held by another live handler. The handler is
    // not owned; it leaves the table when destroyed.
    bool registerHandler(const QString &name, KxWebViewJSApiHandler *handler);
    void unregisterHandler(const QString &name);
    KxWebViewJSApiHandler *handler(const QString &name) const;
    QStringList handlerNames() const;

    // The dispatcher: runs method on the named handler with the arguments.
    // reply runs exactly once on this object's thread: before call()
    // returns for synchronous methods and refusals, later for asynchronous
    // ones (or never when this object is destroyed first). sourceLength,
    // when known, is the length of the text the arguments were read from;
    // it lets the size checks skip what that text cannot exceed.
    void call(const QString &handlerName, const QString &method, const QJsonValue &arguments, Reply reply,
              qint64 sourceLength = -1);

    // Answers the page call the context was made for with the context's
    // return value. False (and a log line) for an unbound context or one
    // already answered.
    bool publishResult(const KxWebViewJSContext &context);

    // Valid only while some attached page has subscribed to an event.
    KxWebViewJSEventHandler *eventHandler() const;

    // Runs script in the pages attached over the network transport; pages in
    // a web view are reached through KxWebViewContainer::runJavaScript.
    int runScriptInRemotePages(const QString &script);

    int connectionCount() const;

    // The id of the attached page whose call runs now; 0 outside a page call.
    // A page keeps its id while it stays loaded; a reload gives it a new one.
    quint64 callingPage() const { return m_callingPage; }

Q_SIGNALS:
    // The page of that id went or loaded again: what was kept for it may go.
    void pageGone(quint64 page);

private:
    friend class KxWebBridgeConnection;
    friend class KxWebViewJSEventHandler;

    void attach(KxWebBridgeConnection *connection);
    void detach(KxWebBridgeConnection *connection);

    QHash<QString, QPointer<KxWebViewJSApiHandler>> m_handlers;
    QList<QPointer<KxWebBridgeConnection>> m_connections;
    std::unique_ptr<KxWebViewJSEventHandler> m_eventHandler;
    quint64 m_callingPage = 0;
};
