// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraserver.h"

#include "kcirralistener.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

KCirraServer::KCirraServer(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_server(new KCirraListener([this](int descriptor) { onNewConnection(descriptor); }, this))
{
}

KCirraServer::~KCirraServer()
{
    // The handlers point into objects that may already be gone.
    m_frameHandler = nullptr;
    m_closedHandler = nullptr;
    m_server->close();
}

bool KCirraServer::listen(QString *error)
{
    if (m_options.socketPath.isEmpty()) {
        *error = QStringLiteral("no usable runtime directory for the socket");
        return false;
    }
    // The lock decides who owns the socket path; QLockFile treats the lock of
    // a dead process as stale, so a crashed instance does not block a restart.
    m_lock = std::make_unique<QLockFile>(m_options.socketPath + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        *error = QStringLiteral("another cirrad (pid %1) already serves %2").arg(pid).arg(m_options.socketPath);
        return false;
    }
    if (QFileInfo::exists(m_options.socketPath)) {
        qCInfo(lcCirrad).noquote() << "removing stale socket" << m_options.socketPath;
        QLocalServer::removeServer(m_options.socketPath);
    }
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_options.socketPath)) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(m_options.socketPath, m_server->errorString());
        return false;
    }
    if (::chmod(QFile::encodeName(m_options.socketPath).constData(), 0600) != 0) {
        *error = QStringLiteral("cannot set the mode of %1").arg(m_options.socketPath);
        return false;
    }
    qCInfo(lcCirrad).noquote() << "listening on" << m_options.socketPath;
    return true;
}

int KCirraServer::broadcast(const QString &userId, const qoz::cirra::CirraFrame &frame, const KCirraPeer *except)
{
    int sent = 0;
    // Sending may close a peer whose buffer overflows; iterate over a copy.
    const QList<KCirraPeer *> peers = m_peers;
    for (KCirraPeer *peer : peers) {
        if (peer != except && peer->isOpen() && peer->isShell() && (userId.isEmpty() || peer->userId() == userId)
            && peer->send(frame))
            ++sent;
    }
    return sent;
}

void KCirraServer::flushAll()
{
    for (KCirraPeer *peer : qAsConst(m_peers))
        peer->drain();
}

void KCirraServer::onNewConnection(int descriptor)
{
    if (m_peers.size() >= m_options.maxPeers) {
        qCWarning(lcCirrad) << "refusing connection: already" << m_peers.size() << "peers";
        ::close(descriptor);
        return;
    }
    auto *peer = new KCirraPeer(descriptor, ++m_nextPeerId, m_options.helloTimeoutMs, this);
    peer->setFrameHandler([this](KCirraPeer *p, const qoz::cirra::CirraFrame &frame) {
        if (m_frameHandler)
            m_frameHandler(p, frame);
    });
    peer->setClosedHandler([this](KCirraPeer *p) {
        m_peers.removeOne(p);
        if (m_closedHandler)
            m_closedHandler(p);
        p->deleteLater();
    });
    m_peers.append(peer);
}
