// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrapeer.h"

#include <QList>
#include <QLockFile>
#include <QObject>

#include <memory>

class KCirraListener;

/*
 * cirrad's listening socket: one instance per user session, guarded by a
 * lock file next to the socket (a socket left by a dead instance is removed),
 * socket mode 0600, a bounded number of peers, broadcasts of event frames.
 *
 * Owned by main(); main thread; lives until the process ends.
 */
class KCirraServer : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString socketPath;
        int helloTimeoutMs = 10000;
        int maxPeers = 128;
    };

    explicit KCirraServer(const Options &options, QObject *parent = nullptr);
    ~KCirraServer() override;

    bool listen(QString *error);
    QString socketPath() const { return m_options.socketPath; }

    void setFrameHandler(KCirraPeer::FrameHandler handler) { m_frameHandler = std::move(handler); }
    void setClosedHandler(std::function<void(KCirraPeer *)> handler) { m_closedHandler = std::move(handler); }

    QList<KCirraPeer *> peers() const { return m_peers; }
    // Sends `frame` to every shell connection of `userId` (all users when empty).
    // To every shell of `userId` (all users when empty) but `except`.
    int broadcast(const QString &userId, const qoz::cirra::CirraFrame &frame, const KCirraPeer *except = nullptr);
    // Pushes every peer's pending output into the kernel (before quitting).
    void flushAll();

private:
    void onNewConnection(int descriptor);

    Options m_options;
    std::unique_ptr<QLockFile> m_lock;
    KCirraListener *m_server;
    QList<KCirraPeer *> m_peers;
    int m_nextPeerId = 0;
    KCirraPeer::FrameHandler m_frameHandler;
    std::function<void(KCirraPeer *)> m_closedHandler;
};
