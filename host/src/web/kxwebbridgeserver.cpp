// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgeserver.h"

#include "kxwebbridgeframeguard.h"
#include "kxwebbridgegate.h"
#include "kxwebbridgelimits.h"
#include "kxwebbridgesocketconnection.h"
#include "kxweblog.h"
#include "kzelvadatafile.h"

#include <kxwebviewasynjsobject.h>
#include <kzelvapaths.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

using namespace KxWebBridgeLimits;

namespace {

constexpr char kPendingProperty[] = "kzBridgePending";
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

QString newToken()
{
    // 128 bits from the operating system's CSPRNG.
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex());
}

QByteArray contentType(const QString &path)
{
    static const struct
    {
        const char *suffix;
        const char *type;
    } kTypes[] = {{"html", "text/html; charset=utf-8"}, {"js", "text/javascript; charset=utf-8"},
                  {"mjs", "text/javascript; charset=utf-8"}, {"css", "text/css; charset=utf-8"},
                  {"json", "application/json"}, {"svg", "image/svg+xml"}, {"png", "image/png"},
                  {"jpg", "image/jpeg"}, {"gif", "image/gif"}, {"ico", "image/x-icon"},
                  {"woff2", "font/woff2"}, {"txt", "text/plain; charset=utf-8"}};
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const auto &entry : kTypes) {
        if (suffix == QLatin1String(entry.suffix))
            return entry.type;
    }
    return "application/octet-stream";
}

QByteArray statusText(int status)
{
    switch (status) {
    case 200:
        return "200 OK";
    case 400:
        return "400 Bad Request";
    case 403:
        return "403 Forbidden";
    case 404:
        return "404 Not Found";
    case 405:
        return "405 Method Not Allowed";
    case 431:
        return "431 Request Header Fields Too Large";
    default:
        return "503 Service Unavailable";
    }
}

void respond(QTcpSocket *socket, int status, const QByteArray &type, const QByteArray &body, bool withBody)
{
    QByteArray head = "HTTP/1.1 " + statusText(status) + "\r\nContent-Type: " + type
        + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\n\r\n";
    socket->write(head);
    if (withBody)
        socket->write(body);
    socket->disconnectFromHost();
}

} // namespace

KxWebBridgeServer::KxWebBridgeServer(QObject *parent)
    : QObject(parent)
    , m_token(newToken())
    , m_maxMessageSize(kMaxMessageBytes)
    , m_handshakeTimeoutMs(kHandshakeTimeoutMs)
{
}

KxWebBridgeServer::~KxWebBridgeServer()
{
    if (!m_publishedPath.isEmpty())
        QFile::remove(m_publishedPath);
}

bool KxWebBridgeServer::listen(quint16 port, QString *errorString)
{
    close();
    m_tcp = new QTcpServer(this);
    m_tcp->setMaxPendingConnections(kMaxConnections);
    if (!m_tcp->listen(QHostAddress::LocalHost, port)) {
        if (errorString)
            *errorString = m_tcp->errorString();
        qCWarning(lcWeb, "bridge server: cannot listen on 127.0.0.1:%u: %s", port, qUtf8Printable(m_tcp->errorString()));
        delete m_tcp;
        m_tcp = nullptr;
        return false;
    }
    m_webSockets = new QWebSocketServer(QStringLiteral("kzbridge"), QWebSocketServer::NonSecureMode, this);
    connect(m_tcp, &QTcpServer::newConnection, this, &KxWebBridgeServer::onNewConnection);
    connect(m_webSockets, &QWebSocketServer::newConnection, this, &KxWebBridgeServer::onWebSocket);
    qCInfo(lcWeb, "bridge server: listening on %s", qUtf8Printable(origin()));
    return true;
}

void KxWebBridgeServer::close()
{
    delete m_tcp;
    m_tcp = nullptr;
    delete m_webSockets;
    m_webSockets = nullptr;
}

bool KxWebBridgeServer::isListening() const
{
    return m_tcp && m_tcp->isListening();
}

quint16 KxWebBridgeServer::port() const
{
    return m_tcp ? m_tcp->serverPort() : 0;
}

QString KxWebBridgeServer::origin() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QStringList KxWebBridgeServer::allowedOrigins() const
{
    return QStringList{origin(), QStringLiteral("http://localhost:%1").arg(port())} + m_extraOrigins;
}

void KxWebBridgeServer::addMount(const QString &urlPrefix, const QString &directory)
{
    QString prefix = urlPrefix.startsWith(QLatin1Char('/')) ? urlPrefix : QLatin1Char('/') + urlPrefix;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    m_mounts.append({prefix, directory});
}

void KxWebBridgeServer::addPage(const QString &name, KxWebViewAsynJSObject *page)
{
    if (!page || name.isEmpty())
        return;
    m_pages.insert(name, page);
    connect(page, &QObject::destroyed, this, [this, name] {
        if (m_pages.value(name).isNull())
            m_pages.remove(name);
    });
}

KxWebViewAsynJSObject *KxWebBridgeServer::page(const QString &name) const
{
    return m_pages.value(name).data();
}

QUrl KxWebBridgeServer::pageUrl(const QString &path, const QString &pageName) const
{
    QUrl url(origin());
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
    QUrlQuery fragment;
    fragment.addQueryItem(QStringLiteral("kztoken"), m_token);
    fragment.addQueryItem(QStringLiteral("kzpage"), pageName);
    url.setFragment(fragment.toString(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

QUrl KxWebBridgeServer::webSocketUrl(const QString &pageName) const
{
    QUrl url(QStringLiteral("ws://127.0.0.1:%1/kzbridge").arg(port()));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("token"), m_token);
    query.addQueryItem(QStringLiteral("page"), pageName);
    url.setQuery(query);
    return url;
}

int KxWebBridgeServer::totalRefusals() const
{
    int total = 0;
    for (int count : m_refusals)
        total += count;
    return total;
}

int KxWebBridgeServer::clientCount() const
{
    return m_webSockets ? m_webSockets->findChildren<KxWebBridgeSocketConnection *>().size() : 0;
}

void KxWebBridgeServer::refuse(Refusal reason, const QString &detail, QTcpSocket *socket, int httpStatus)
{
    ++m_refusals[size_t(reason)];
    const QString peer = socket ? socket->peerAddress().toString() + QLatin1Char(':') + QString::number(socket->peerPort())
                                : QStringLiteral("-");
    qCWarning(lcWeb, "bridge server: refused %s from %s: %s",
              QMetaEnum::fromType<Refusal>().valueToKey(int(reason)), qUtf8Printable(peer), qUtf8Printable(detail));
    Q_EMIT refused(reason, detail);
    if (!socket)
        return;
    if (httpStatus)
        respond(socket, httpStatus, "text/plain; charset=utf-8", statusText(httpStatus) + '\n', true);
    else
        socket->abort();
}

void KxWebBridgeServer::onNewConnection()
{
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // The bind keeps others out; this is the second lock on the door.
        if (!socket->peerAddress().isLoopback()) {
            refuse(Refusal::NonLoopbackPeer, QStringLiteral("peer %1").arg(socket->peerAddress().toString()), socket, 0);
            continue;
        }
        if (m_openSockets + clientCount() >= kMaxConnections) {
            refuse(Refusal::TooManyConnections, QStringLiteral("%1 open").arg(m_openSockets), socket, 0);
            continue;
        }
        ++m_openSockets;
        socket->setProperty(kPendingProperty, true);
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, socket] {
            finishPending(socket);
            refuse(Refusal::Timeout, QStringLiteral("request head not complete in time"), socket, 0);
        });
        timer->start(m_handshakeTimeoutMs);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onSocketReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { finishPending(socket); });
    }
}

void KxWebBridgeServer::finishPending(QTcpSocket *socket)
{
    if (!socket->property(kPendingProperty).toBool())
        return;
    socket->setProperty(kPendingProperty, false);
    --m_openSockets;
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    qDeleteAll(socket->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly));
}

void KxWebBridgeServer::onSocketReadyRead(QTcpSocket *socket)
{
    if (!socket->property(kPendingProperty).toBool())
        return;
    // Peek, do not read: an upgrade is handed to QWebSocketServer with the
    // request still in the socket's buffer.
    const QByteArray buffered = socket->peek(kMaxHttpHeadBytes + 1);
    const int end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffered.size() > kMaxHttpHeadBytes) {
            finishPending(socket);
            refuse(Refusal::BadRequest, QStringLiteral("request head over %1 bytes").arg(kMaxHttpHeadBytes), socket, 431);
        }
        return;
    }
    // From here on the socket is answered one way or the other.
    finishPending(socket);

    KxWebBridgeGate::Request request;
    QString why;
    if (!KxWebBridgeGate::parseHead(buffered.left(end + 4), &request, &why))
        return refuse(Refusal::BadRequest, why, socket, 400);
    if (!request.isWebSocketUpgrade()) {
        if (!KxWebBridgeGate::isOwnHost(request.header("host"), port()))
            return refuse(Refusal::BadHost,
                          QStringLiteral("Host \"%1\"").arg(QString::fromLatin1(request.header("host").left(100))),
                          socket, 403);
        socket->read(end + 4);
        return serveFile(socket, request.method, request.target);
    }

    KxWebBridgeGate::Settings settings;
    settings.port = port();
    settings.token = m_token;
    settings.origins = allowedOrigins();
    Refusal reason = Refusal::BadRequest;
    QString detail;
    if (!KxWebBridgeGate::admitUpgrade(request, socket->peerAddress(), settings, &reason, &detail))
        return refuse(reason, detail, socket, 403);
    const QString pageName = QUrlQuery(QUrl(QString::fromLatin1(request.target))).queryItemValue(QStringLiteral("page"));
    if (!page(pageName))
        return refuse(Refusal::UnknownPage, QStringLiteral("page \"%1\"").arg(pageName.left(80)), socket, 403);

    // QtWebSockets does not close on unmasked client frames: the client's
    // bytes reach it through a guard that does.
    KxWebBridgeFrameGuard *guard = KxWebBridgeFrameGuard::create(socket, end + 4, this);
    if (!guard)
        return refuse(Refusal::BadRequest, QStringLiteral("no frame guard for the connection"), socket, 503);
    connect(guard, &KxWebBridgeFrameGuard::unmaskedFrame, this,
            [this] { refuse(Refusal::Unmasked, QStringLiteral("client frame not masked"), nullptr, 0); });
    m_webSockets->handleConnection(guard->innerSocket());
}

void KxWebBridgeServer::serveFile(QTcpSocket *socket, const QByteArray &method, const QByteArray &target)
{
    const bool head = method == "HEAD";
    if (method != "GET" && !head)
        return respond(socket, 405, "text/plain; charset=utf-8", statusText(405) + '\n', true);
    const QString path = KxWebBridgeGate::resolveFile(target, m_mounts);
    // Read without blocking: what was checked to be a file may have been replaced meanwhile.
    QByteArray body;
    if (path.isEmpty() || KZelvaDataFile::read(path, kMaxFileBytes, &body, nullptr, true) != KZelvaDataFile::Read::Ok) {
        qCInfo(lcWeb, "bridge server: 404 %s", target.left(200).constData());
        return respond(socket, 404, "text/plain; charset=utf-8", statusText(404) + '\n', !head);
    }
    respond(socket, 200, contentType(path), body, !head);
}

void KxWebBridgeServer::onWebSocket()
{
    while (QWebSocket *socket = m_webSockets->nextPendingConnection()) {
        // Checked again on what the WebSocket server itself parsed.
        const QUrlQuery query(socket->requestUrl());
        const QString pageName = query.queryItemValue(QStringLiteral("page"));
        KxWebViewAsynJSObject *target = page(pageName);
        if (!KxWebBridgeGate::sameToken(query.queryItemValue(QStringLiteral("token")), m_token) || !target) {
            refuse(Refusal::WrongToken, QStringLiteral("upgrade changed after admission"), nullptr, 0);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setMaxAllowedIncomingMessageSize(quint64(m_maxMessageSize));
        socket->setMaxAllowedIncomingFrameSize(quint64(m_maxMessageSize));
        auto *connection = new KxWebBridgeSocketConnection(target, socket, m_webSockets);
        connection->setMaxMessageLength(m_maxMessageSize);
        connect(connection, &KxWebBridgeSocketConnection::closed, this, [this, pageName](bool tooMuchData) {
            if (tooMuchData)
                refuse(Refusal::Oversized, QStringLiteral("message over %1 bytes").arg(m_maxMessageSize), nullptr, 0);
            Q_EMIT clientDetached(pageName);
        });
        qCInfo(lcWeb, "bridge server: page %s attached", qUtf8Printable(pageName));
        Q_EMIT clientAttached(pageName);
    }
}

bool KxWebBridgeServer::publish(const QString &path, QString *errorString) const
{
    const QJsonObject info{{QStringLiteral("pid"), qint64(QCoreApplication::applicationPid())},
                           {QStringLiteral("port"), int(port())},
                           {QStringLiteral("token"), m_token},
                           {QStringLiteral("origin"), origin()},
                           {QStringLiteral("webSocket"), QStringLiteral("ws://127.0.0.1:%1/kzbridge").arg(port())}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(QJsonDocument(info).toJson()) < 0 || !file.commit()) {
        if (errorString)
            *errorString = file.errorString();
        qCWarning(lcWeb, "bridge server: cannot publish %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

QString KxWebBridgeServer::publicationPath()
{
    return KZelvaPaths::runtimeDir() + QStringLiteral("/webbridge-%1.json").arg(QCoreApplication::applicationPid());
}

KxWebBridgeServer *KxWebBridgeServer::sessionServer()
{
    static QPointer<KxWebBridgeServer> server;
    static bool tried = false;
    if (server || tried || !QCoreApplication::instance())
        return server.data();
    tried = true;
    const QByteArray setting = qgetenv("KZELVA_WEB_BRIDGE");
    bool isPort = false;
    const uint port = setting.toUInt(&isPort);
    if (setting.isEmpty() || setting == "0" || !isPort || port > 65535)
        return nullptr;
    server = new KxWebBridgeServer(QCoreApplication::instance());
    if (!server->listen(setting == "1" ? 0 : quint16(port))) {
        delete server.data();
        return nullptr;
    }
    const QString root = QString::fromLocal8Bit(qgetenv("KZELVA_WEB_ROOT"));
    if (!root.isEmpty())
        server->addMount(QStringLiteral("/"), root);
    if (server->publish(publicationPath()))
        server->m_publishedPath = publicationPath();
    return server.data();
}
