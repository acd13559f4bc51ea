// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewasynjsobject.h"

#include "kxwebbridgeconnection.h"
#include "kxweblog.h"
#include "kxwebviewjscall.h"
#include "kxwebviewjsdispatcher.h"

#include <kxwebviewjsapihandler.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>

#include <QThread>

KxWebViewAsynJSObject::KxWebViewAsynJSObject(QObject *parent)
    : QObject(parent)
    , m_eventHandler(std::make_unique<KxWebViewJSEventHandler>(this))
{
}

KxWebViewAsynJSObject::~KxWebViewAsynJSObject() = default;

bool KxWebViewAsynJSObject::registerHandler(const QString &name, KxWebViewJSApiHandler *handler)
{
    if (!handler || !KxWebViewJSDispatcher::isValidName(name, false)) {
        qCWarning(lcWeb, "page %s: cannot register handler \"%s\": %s", qUtf8Printable(objectName()),
                  qUtf8Printable(name.left(80)), handler ? "bad name" : "null handler");
        return false;
    }
    const QPointer<KxWebViewJSApiHandler> existing = m_handlers.value(name);
    if (existing && existing != handler) {
        qCWarning(lcWeb, "page %s: handler \"%s\" is registered already", qUtf8Printable(objectName()),
                  qUtf8Printable(name));
        return false;
    }
    m_handlers.insert(name, handler);
    connect(handler, &QObject::destroyed, this, [this, name, handler] {
        if (m_handlers.value(name).isNull() || m_handlers.value(name) == handler)
            m_handlers.remove(name);
    });
    return true;
}

void KxWebViewAsynJSObject::unregisterHandler(const QString &name)
{
    m_handlers.remove(name);
}

KxWebViewJSApiHandler *KxWebViewAsynJSObject::handler(const QString &name) const
{
    return m_handlers.value(name).data();
}

QStringList KxWebViewAsynJSObject::handlerNames() const
{
    QStringList names;
    for (auto it = m_handlers.constBegin(); it != m_handlers.constEnd(); ++it) {
        if (it.value())
            names.append(it.key());
    }
    names.sort();
    return names;
}

void KxWebViewAsynJSObject::call(const QString &handlerName, const QString &method, const QJsonValue &arguments,
                                 Reply reply, qint64 sourceLength)
{
    // Answers of asynchronous methods may be published from another thread;
    // the reply always runs on ours, and not at all once we are gone.
    QPointer<KxWebViewAsynJSObject> self(this);
    Reply onOwnThread = [self, reply = std::move(reply)](const KxWebViewJSAnswer &answer) {
        if (!self || !reply)
            return;
        if (QThread::currentThread() == self->thread()) {
            reply(answer);
            return;
        }
        QMetaObject::invokeMethod(
            self.data(), [self, reply, answer] {
                if (self)
                    reply(answer);
            },
            Qt::QueuedConnection);
    };
    KxWebViewJSDispatcher::dispatch(this, handlerName, method, arguments, std::move(onOwnThread), sourceLength);
}

bool KxWebViewAsynJSObject::publishResult(const KxWebViewJSContext &context)
{
    const std::shared_ptr<KxWebViewJSCall> call = context.m_call;
    if (!call) {
        qCWarning(lcWeb, "page %s: publishResult for %s.%s, a context of no page call", qUtf8Printable(objectName()),
                  qUtf8Printable(context.handlerName()), qUtf8Printable(context.methodName()));
        return false;
    }
    KxWebViewJSAnswer answer;
    answer.value = KxWebViewJSDispatcher::serialize(context);
    if (!call->answer(answer)) {
        qCWarning(lcWeb, "page %s: publishResult for %s: answered before", qUtf8Printable(objectName()),
                  qUtf8Printable(call->describe()));
        return false;
    }
    return true;
}

KxWebViewJSEventHandler *KxWebViewAsynJSObject::eventHandler() const
{
    for (const QPointer<KxWebBridgeConnection> &connection : m_connections) {
        if (connection && connection->hasSubscriptions())
            return m_eventHandler.get();
    }
    return nullptr;
}

int KxWebViewAsynJSObject::runScriptInRemotePages(const QString &script)
{
    int sent = 0;
    const QList<QPointer<KxWebBridgeConnection>> connections = m_connections;
    for (const QPointer<KxWebBridgeConnection> &connection : connections) {
        if (connection && !connection->isInView()) {
            connection->sendScript(script);
            ++sent;
        }
    }
    return sent;
}

int KxWebViewAsynJSObject::connectionCount() const
{
    int count = 0;
    for (const QPointer<KxWebBridgeConnection> &connection : m_connections)
        count += connection ? 1 : 0;
    return count;
}

void KxWebViewAsynJSObject::attach(KxWebBridgeConnection *connection)
{
    m_connections.append(connection);
}

void KxWebViewAsynJSObject::detach(KxWebBridgeConnection *connection)
{
    m_connections.removeAll(connection);
    m_connections.removeAll(nullptr);
}
