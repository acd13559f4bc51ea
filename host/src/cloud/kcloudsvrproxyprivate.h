// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcloudsvrproxy.h"

#include <kcirrarecords.h>

#include <QDeadlineTimer>
#include <QHash>
#include <QPair>
#include <QPointer>
#include <QTimer>

class KCirraChannel;
class KCirraEventObject;

/*
 * The connection engine behind KCloudSvrProxy: socket, hello exchange,
 * pending calls with their deadlines, reconnection with back-off, and the
 * dispatch of replies and events.
 *
 * Owned by KCloudSvrProxy; GUI thread.
 */
class KCloudSvrProxyPrivate
{
public:
    enum class State { Disconnected, Connecting, Handshaking, Ready };

    struct Pending
    {
        QString id;
        QString function;
        QByteArray answerType;
        QPointer<QObject> receiver;
        QByteArray slot;  // the signature the answer is delivered to
        QByteArray frame; // the encoded call, until it is written
        bool sent = false;
        QDeadlineTimer deadline;
    };

    explicit KCloudSvrProxyPrivate(KCloudSvrProxy *q);
    ~KCloudSvrProxyPrivate();

    void connectNow();
    void scheduleReconnect(int delayMs);
    QString call(const QString &function, const apache::thrift::TBase *record, const char *typeName,
                 QObject *receiver, const QString &slot);
    KCloudSvrProxy::ClientInfo effectiveClientInfo() const;

    KCloudSvrProxy *q;
    KCirraEventObject *events;
    KCirraChannel *socket = nullptr;
    State state = State::Disconnected;
    QTimer reconnectTimer;
    QTimer deadlineTimer;
    int backoffMs;
    bool loggedIn = false;
    QString userName;
    KCloudSvrProxy::ClientInfo clientInfo;
    int callTimeoutMs;
    quint64 nextId = 0;
    QHash<QString, Pending> pending;
    QList<QString> unsent; // ids in call order
    QHash<QPair<const QMetaObject *, QByteArray>, int> slotIndexes;

private:
    void onConnected();
    void onDisconnected(const QString &reason);
    void handleFrame(const qoz::cirra::CirraFrame &frame);
    void handleHello(const qoz::cirra::CirraHello &hello);
    void handleReply(const qoz::cirra::CirraReply &reply);
    void handleEvent(const qoz::cirra::CirraEvent &event);
    void setLoginState(bool in, const QString &name);

public:
    void dropConnection(const QString &reason);

private:
    void flushUnsent();
    void expireDeadlines();
    void failAll();
    void complete(const Pending &call, bool ok, const KCirraRecord &answer);
    void deliver(const Pending &call, bool ok, const KCirraRecord &answer);
    bool send(const QByteArray &frame);
};
