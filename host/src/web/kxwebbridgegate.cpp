// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgegate.h"

#include "kxwebbridgelimits.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace {
constexpr char kBridgePath[] = "/kzbridge";
}

bool KxWebBridgeGate::Request::isWebSocketUpgrade() const
{
    return header("upgrade").toLower() == "websocket";
}

bool KxWebBridgeGate::parseHead(const QByteArray &head, Request *request, QString *why)
{
    auto fail = [why](const char *reason) {
        if (why)
            *why = QLatin1String(reason);
        return false;
    };
    if (head.size() > KxWebBridgeLimits::kMaxHttpHeadBytes)
        return fail("request head too large");
    if (!head.endsWith("\r\n\r\n"))
        return fail("request head incomplete");
    const QList<QByteArray> lines = head.left(head.size() - 4).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1."))
        return fail("bad request line");
    request->method = requestLine.at(0);
    request->target = requestLine.at(1);
    if (!request->target.startsWith('/'))
        return fail("bad request target");
    request->headers.clear();
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).endsWith('\r') ? lines.at(i).chopped(1) : lines.at(i);
        const int colon = line.indexOf(':');
        if (colon <= 0 || line.contains('\0'))
            return fail("bad header line");
        const QByteArray name = line.left(colon).trimmed().toLower();
        // Two Host or Origin headers could make us and a proxy disagree: refuse.
        if (request->headers.contains(name) && (name == "host" || name == "origin"))
            return fail("repeated Host or Origin header");
        request->headers.insert(name, line.mid(colon + 1).trimmed());
    }
    return true;
}

bool KxWebBridgeGate::isOwnHost(const QByteArray &host, quint16 port)
{
    const QByteArray suffix = ':' + QByteArray::number(port);
    return host == "127.0.0.1" + suffix || host.toLower() == "localhost" + suffix;
}

bool KxWebBridgeGate::sameToken(const QString &given, const QString &expected)
{
    // Constant time in the token's length: the comparison must not tell how
    // many leading characters were right.
    const QByteArray a = given.toLatin1();
    const QByteArray b = expected.toLatin1();
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (int i = 0; i < b.size(); ++i)
        diff |= static_cast<unsigned char>(b.at(i) ^ (i < a.size() ? a.at(i) : 0));
    return diff == 0 && !b.isEmpty();
}

bool KxWebBridgeGate::admitUpgrade(const Request &request, const QHostAddress &peer, const Settings &settings,
                                   KxWebBridgeServer::Refusal *reason, QString *detail)
{
    using Refusal = KxWebBridgeServer::Refusal;
    auto refuse = [reason, detail](Refusal why, const QString &text) {
        *reason = why;
        *detail = text;
        return false;
    };
    if (!peer.isLoopback())
        return refuse(Refusal::NonLoopbackPeer, QStringLiteral("peer %1").arg(peer.toString()));
    const QByteArray host = request.header("host");
    if (!isOwnHost(host, settings.port))
        return refuse(Refusal::BadHost, QStringLiteral("Host \"%1\"").arg(QString::fromLatin1(host.left(100))));
    const QString origin = QString::fromLatin1(request.header("origin"));
    if (!settings.origins.contains(origin))
        return refuse(Refusal::BadOrigin, QStringLiteral("Origin \"%1\"").arg(origin.left(100)));
    const QUrl url(QString::fromLatin1(request.target), QUrl::StrictMode);
    if (!url.isValid() || url.path() != QLatin1String(kBridgePath))
        return refuse(Refusal::BadRequest, QStringLiteral("path \"%1\"").arg(url.path().left(100)));
    const QString token = QUrlQuery(url).queryItemValue(QStringLiteral("token"));
    if (token.isEmpty())
        return refuse(Refusal::NoToken, QStringLiteral("no token"));
    if (!sameToken(token, settings.token))
        return refuse(Refusal::WrongToken, QStringLiteral("wrong token"));
    return true;
}

QString KxWebBridgeGate::resolveFile(const QByteArray &target, const QList<QPair<QString, QString>> &mounts)
{
    const int end = target.indexOf('?') >= 0 ? target.indexOf('?') : target.indexOf('#');
    const QString path = QUrl::fromPercentEncoding(end >= 0 ? target.left(end) : target);
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) || path.contains(QChar(0)))
        return QString();
    const QStringList segments = path.split(QLatin1Char('/'));
    if (segments.contains(QStringLiteral("..")) || segments.contains(QStringLiteral(".")))
        return QString();
    for (int i = mounts.size() - 1; i >= 0; --i) {
        const QString &prefix = mounts.at(i).first;
        if (!path.startsWith(prefix))
            continue;
        const QString root = QFileInfo(mounts.at(i).second).canonicalFilePath();
        if (root.isEmpty())
            continue;
        const QFileInfo file(root + QLatin1Char('/') + path.mid(prefix.size()));
        const QString canonical = file.canonicalFilePath();
        // Symbolic links out of the mounted folder are refused like "..".
        if (!canonical.isEmpty() && canonical.startsWith(root + QLatin1Char('/')) && QFileInfo(canonical).isFile())
            return canonical;
    }
    return QString();
}
