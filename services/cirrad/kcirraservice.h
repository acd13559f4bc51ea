// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirracalllog.h"
#include "kcirrafaults.h"
#include "kcirrafederation.h"
#include "kcirrauserstore.h"

#include <kcirrarecords.h>

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class KCirraControl;
class KCirraDeviceRegistry;
class KCirraDocumentRegistry;
class KCirraPeer;
class KCirraServer;

/*
 * What cirrad does with the frames of its peers: the hello exchange, the
 * service functions ("cirraIpcCall" and its methods, "getStorageInfo",
 * "getCloudFileInfo", "notifyWebPageEvent", "notifyAllClientActionsMap",
 * "login"), the call log, injected faults and events. A reply is always
 * written before the events that the same call causes.
 *
 * Owned by main(); main thread.
 */
class KCirraService : public QObject
{
    Q_OBJECT
public:
    // CirraIpcResult::state values of this service.
    enum State {
        Success = 0,
        NotLoggedIn = 401,
        Forbidden = 403,
        NotFound = 404,
        Busy = 409,
        BadArgument = 422,
        Failed = 500
    };

    struct Options
    {
        QString stateDir;
        bool newUsersLoggedIn = true;
        // Quit when no shell has been connected for this long (0: never).
        int idleExitMs = 0;
        // Cirrads of other machines joined through a broker (none without a URL).
        KCirraFederation::Options federation;
    };

    // The reply to one call, and what to do once it has been written.
    struct Outcome
    {
        bool ok = true;
        KCirraRecord answer;
        QString error;
        std::function<void()> after;
    };

    using MethodHandler =
        std::function<qoz::cirra::CirraIpcResult(KCirraPeer *, const qoz::cirra::CirraIpcArg &)>;

    KCirraService(KCirraServer *server, const Options &options, QObject *parent = nullptr);
    ~KCirraService() override;

    // Adds a method of "cirraIpcCall".
    void registerMethod(const QString &method, MethodHandler handler);
    // Sends the answer of a call whose handler deferred it; does nothing once
    // the caller is gone. Callable once.
    using Responder = std::function<void(const qoz::cirra::CirraIpcResult &)>;
    // Called by a method handler: its answer comes later through the
    // returned responder, and what the handler returns is not sent.
    Responder deferReply();
    // Called by a method handler that answers at once: `step` runs right
    // after the reply is written, and what it sends the caller leaves in the
    // same write as the reply.
    void afterReply(std::function<void()> step);

    KCirraServer *server() const { return m_server; }
    KCirraUserStore &users() { return m_users; }
    KCirraCallLog &callLog() { return m_callLog; }
    KCirraFaults &faults() { return m_faults; }
    // The link to the user's other machines, or null when this cirrad runs alone.
    KCirraFederation *federation() const { return m_federation; }
    KCirraDeviceRegistry *deviceRegistry() const { return m_devices.get(); }
    // Connects to the broker (when one is configured); false with `error` on unusable settings.
    bool startFederation(QString *error);

    // Sends an event to every shell of `userId` (every shell when empty);
    // returns how many received it.
    int emitEvent(const QString &userId, const QString &signal, const QString &text,
                  const KCirraRecord &record = KCirraRecord(), const KCirraPeer *except = nullptr);
    void setLoggedIn(const QString &userId, bool loggedIn, const QString &userName = QString());
    // Answers every held call; returns how many.
    int releaseHeld();

Q_SIGNALS:
    // A shell said hello (after the answer went out) / its connection ended.
    void shellIdentified(KCirraPeer *peer);
    void shellClosed(KCirraPeer *peer);

private:
    struct Held
    {
        QPointer<KCirraPeer> peer;
        qoz::cirra::CirraCall call;
        KCirraRecord argument;
    };

    void onFrame(KCirraPeer *peer, const qoz::cirra::CirraFrame &frame);
    void handleHello(KCirraPeer *peer, const qoz::cirra::CirraHello &hello);
    void handleCall(KCirraPeer *peer, const qoz::cirra::CirraCall &call);
    void execute(KCirraPeer *peer, const qoz::cirra::CirraCall &call, const KCirraRecord &argument);
    void sendReply(KCirraPeer *peer, const std::string &requestId, const Outcome &outcome);
    Outcome dispatch(KCirraPeer *peer, const QString &function, const KCirraRecord &argument);

    Outcome cirraIpcCall(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    Outcome login(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    Outcome storageInfo(KCirraPeer *peer, const qoz::cirra::GetStorageInfoArg &arg);
    Outcome cloudFileInfo(KCirraPeer *peer, const qoz::cirra::GetCloudFileInfoArg &arg);
    Outcome relayEvent(KCirraPeer *peer, const char *signal, const KCirraRecord &argument, bool echo);

    KCirraServer *m_server;
    Options m_options;
    KCirraUserStore m_users;
    KCirraCallLog m_callLog;
    KCirraFaults m_faults;
    std::unique_ptr<KCirraControl> m_control;
    std::unique_ptr<KCirraDeviceRegistry> m_devices;
    KCirraFederation *m_federation = nullptr; // Qt child
    QHash<QString, MethodHandler> m_methods;
    QList<Held> m_held;
    // The call being executed, for deferReply().
    QPointer<KCirraPeer> m_currentPeer;
    std::string m_currentRequest;
    bool m_deferred = false;
    std::function<void()> m_afterReply;
    QTimer m_idleTimer;
};
