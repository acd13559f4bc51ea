// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <array>

#include "kxwebviewasynjsobject.h"

class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

/*
 * The network transport of the page-API bridge, so that a page can be driven
 * from a browser outside the shell (tests, development). One TCP port on
 * 127.0.0.1 only, serving:
 *  - WebSocket upgrades at /kzbridge?token=T&page=NAME, attaching the client
 *    to the page object registered as NAME;
 *  - plain GET/HEAD of static files from the mounted folders, so pages load
 *    from this origin (http://127.0.0.1:PORT) and pass the Origin check.
 * An upgrade is refused unless the peer is loopback, the Host header names
 * this server, the Origin is on the allowlist and the token matches; the
 * token is 128 random bits from the system's CSPRNG, new for every server.
 * Each refusal is logged and counted (refusals()). Incoming WebSocket
 * messages are capped (maxMessageSize); a larger one closes the connection,
 * and so does a client frame that is not masked (status 1002).
 *
 * Owner: whoever creates it; sessionServer() is the process's own, parented
 * to the application. GUI thread.
 */
class KZELVASHELL_EXPORT KxWebBridgeServer : public QObject
{
    Q_OBJECT
public:
    enum class Refusal {
        NoToken,
        WrongToken,
        BadOrigin,
        BadHost,
        NonLoopbackPeer,
        Oversized,
        BadRequest,
        UnknownPage,
        TooManyConnections,
        Timeout,
        Unmasked,
        Count_ // keep last
    };
    Q_ENUM(Refusal)

    explicit KxWebBridgeServer(QObject *parent = nullptr);
    ~KxWebBridgeServer() override;

    // Binds 127.0.0.1:port (0: any free port).
    bool listen(quint16 port = 0, QString *errorString = nullptr);
    void close();
    bool isListening() const;
    quint16 port() const;
    QString token() const { return m_token; }
    QString origin() const;

    // Origins allowed besides this server's own http origins ("null" lets
    // file:// pages in; the token still guards them).
    void setExtraOrigins(const QStringList &origins) { m_extraOrigins = origins; }
    QStringList allowedOrigins() const;

    void setMaxMessageSize(qint64 bytes) { m_maxMessageSize = bytes; }
    // Time a connection has to complete its request head (default 5 s).
    void setHandshakeTimeout(int ms) { m_handshakeTimeoutMs = ms; }
    qint64 maxMessageSize() const { return m_maxMessageSize; }

    // Serves directory below urlPrefix ("/" or "/js/"); later mounts win on overlap.
    void addMount(const QString &urlPrefix, const QString &directory);

    // Makes a page object reachable as name (the newest of one name wins).
    // Dropped when the object is destroyed.
    void addPage(const QString &name, KxWebViewAsynJSObject *page);
    KxWebViewAsynJSObject *page(const QString &name) const;

    // http://127.0.0.1:PORT/path#kztoken=T&kzpage=NAME: what a browser opens.
    QUrl pageUrl(const QString &path, const QString &pageName) const;
    // ws://127.0.0.1:PORT/kzbridge?token=T&page=NAME
    QUrl webSocketUrl(const QString &pageName) const;

    int refusals(Refusal reason) const { return m_refusals[size_t(reason)]; }
    int totalRefusals() const;
    int clientCount() const;

    // Writes {"pid","port","token","origin","url"} to path with mode 0600.
    bool publish(const QString &path, QString *errorString = nullptr) const;

    // The process's server, made on first use when KZELVA_WEB_BRIDGE is "1"
    // (any port) or a port number; null otherwise. It serves KZELVA_WEB_ROOT
    // at "/" when set and publishes itself as webbridge-<pid>.json in the
    // runtime directory.
    static KxWebBridgeServer *sessionServer();
    static QString publicationPath();

Q_SIGNALS:
    void refused(KxWebBridgeServer::Refusal reason, const QString &detail);
    void clientAttached(const QString &pageName);
    void clientDetached(const QString &pageName);

private:
    void onNewConnection();
    void onSocketReadyRead(QTcpSocket *socket);
    void finishPending(QTcpSocket *socket);
    void onWebSocket();
    void serveFile(QTcpSocket *socket, const QByteArray &method, const QByteArray &target);
    void refuse(Refusal reason, const QString &detail, QTcpSocket *socket, int httpStatus);

    QTcpServer *m_tcp = nullptr;
    QWebSocketServer *m_webSockets = nullptr;
    QString m_token;
    QStringList m_extraOrigins;
    QList<QPair<QString, QString>> m_mounts;
    QHash<QString, QPointer<KxWebViewAsynJSObject>> m_pages;
    std::array<int, size_t(Refusal::Count_)> m_refusals{};
    qint64 m_maxMessageSize;
    int m_handshakeTimeoutMs;
    int m_openSockets = 0;
    QString m_publishedPath;
};
