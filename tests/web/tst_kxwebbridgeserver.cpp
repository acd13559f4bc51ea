// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The WebSocket transport: every refusal proven and counted, a page attached
// with the token gets answers and events, static files stay inside their
// mounts, the publication file is private.

#include "kxwebbridgegate.h"
#include "kxwebtesthandler.h"

#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

#include <sys/stat.h>

using Refusal = KxWebBridgeServer::Refusal;
Q_DECLARE_METATYPE(KxWebBridgeServer::Refusal)

namespace {

const QString kPage = QStringLiteral("bridgetest");
const QByteArray kUpgradeLines = "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n";

QByteArray upgradeHead(const QByteArray &target, const QByteArray &host, const QByteArray &origin)
{
    QByteArray head = "GET " + target + " HTTP/1.1\r\n";
    if (!host.isNull())
        head += "Host: " + host + "\r\n";
    if (!origin.isNull())
        head += "Origin: " + origin + "\r\n";
    return head + kUpgradeLines;
}

// Sends raw bytes and returns what the server wrote before closing. Runs
// the event loop meanwhile: the server lives on this thread.
QByteArray exchange(quint16 port, const QByteArray &bytes)
{
    QTcpSocket socket;
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(bytes); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    closed.wait(5000);
    return answer + socket.readAll();
}

// One client text frame, masked or not (the payload is under 64 KiB).
QByteArray clientFrame(const QByteArray &payload, bool masked)
{
    QByteArray frame(1, char(0x81));
    const char maskBit = masked ? char(0x80) : char(0);
    if (payload.size() < 126) {
        frame.append(char(maskBit | char(payload.size())));
    } else {
        frame.append(char(maskBit | 126));
        frame.append(char(payload.size() >> 8));
        frame.append(char(payload.size() & 0xff));
    }
    if (!masked)
        return frame + payload;
    const char key[4] = {0x1b, 0x2c, 0x3d, 0x4e};
    frame.append(key, 4);
    for (int i = 0; i < payload.size(); ++i)
        frame.append(char(payload.at(i) ^ key[i % 4]));
    return frame;
}

} // namespace

class tst_KxWebBridgeServer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KxWebBridgeServer> m_server;
    std::unique_ptr<KxWebViewAsynJSObject> m_page;
    KxWebTestHandler *m_handler = nullptr;
    QTemporaryDir m_dir;

    QByteArray hostHeader() const { return "127.0.0.1:" + QByteArray::number(m_server->port()); }
    QByteArray token() const { return m_server->token().toLatin1(); }

    // A connected client with the right token and origin, or null.
    std::unique_ptr<QWebSocket> connectClient()
    {
        auto client = std::make_unique<QWebSocket>(m_server->origin());
        QSignalSpy connected(client.get(), &QWebSocket::connected);
        client->open(m_server->webSocketUrl(kPage));
        if (!connected.wait(5000))
            return nullptr;
        return client;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("www/sub")));
        for (const auto &[name, text] :
             {std::make_pair("www/sub/page.html", "<p>served</p>"), std::make_pair("secret.txt", "secret")}) {
            QFile file(m_dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
        }
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("secret.txt")), m_dir.filePath(QStringLiteral("www/link.txt"))));
    }

    void init()
    {
        m_server = std::make_unique<KxWebBridgeServer>();
        QVERIFY(m_server->listen());
        m_server->addMount(QStringLiteral("/"), m_dir.filePath(QStringLiteral("www")));
        m_page = std::make_unique<KxWebViewAsynJSObject>();
        m_page->setObjectName(kPage);
        m_handler = new KxWebTestHandler(m_page.get(), m_page.get());
        QVERIFY(m_page->registerHandler(QStringLiteral("common"), m_handler));
        m_server->addPage(kPage, m_page.get());
    }

    void cleanup()
    {
        m_server.reset();
        m_page.reset();
    }

    void tokenIsFreshAndLongEnough()
    {
        KxWebBridgeServer other;
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(m_server->token()).hasMatch());
        QVERIFY(other.token() != m_server->token());
        QVERIFY(m_server->isListening());
    }

    // Rows: the request (%T the token, %P the page, %H and %O the right Host
    // and Origin lines, %U the upgrade's own lines), the answer's status
    // (empty: the connection just ends) and the refusal counted for it.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<Refusal>("reason");
        const auto row = [](const char *name, const QByteArray &bytes, const char *status, Refusal reason) {
            QTest::newRow(name) << bytes << QByteArray(status) << reason;
        };
        const auto upgrade = [](const char *target, const char *host = "%H", const char *origin = "%O") -> QByteArray {
            return "GET " + QByteArray(target) + " HTTP/1.1\r\n" + host + origin + "%U";
        };
        const char *good = "/kzbridge?token=%T&page=%P";
        row("no token", upgrade("/kzbridge?page=%P"), "403", Refusal::NoToken);
        row("wrong token", upgrade("/kzbridge?token=00000000000000000000000000000000&page=%P"), "403",
            Refusal::WrongToken);
        row("foreign origin", upgrade(good, "%H", "Origin: http://evil.example\r\n"), "403", Refusal::BadOrigin);
        row("no origin", upgrade(good, "%H", ""), "403", Refusal::BadOrigin);
        row("foreign host", upgrade(good, "Host: evil.example\r\n"), "403", Refusal::BadHost);
        row("no host", upgrade(good, ""), "403", Refusal::BadHost);
        row("unknown page", upgrade("/kzbridge?token=%T&page=nope"), "403", Refusal::UnknownPage);
        row("other path", upgrade("/other?token=%T&page=%P"), "403", Refusal::BadRequest);
        row("bad request line", "HELLO\r\n\r\n", "400", Refusal::BadRequest);
        row("two Host headers", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", "400", Refusal::BadRequest);
        row("head over 8 KiB", "GET / HTTP/1.1\r\nX: " + QByteArray(9000, 'a'), "431", Refusal::BadRequest);
        row("static file for a foreign host", "GET /sub/page.html HTTP/1.1\r\nHost: evil.example\r\n\r\n", "403",
            Refusal::BadHost);
        row("head never finished", "GET / HTTP/1.1\r\n", "", Refusal::Timeout);
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, status);
        QFETCH(Refusal, reason);
        if (reason == Refusal::Timeout)
            m_server->setHandshakeTimeout(200);
        bytes.replace("%U", kUpgradeLines)
            .replace("%H", "Host: " + hostHeader() + "\r\n")
            .replace("%O", "Origin: " + m_server->origin().toLatin1() + "\r\n")
            .replace("%T", token())
            .replace("%P", kPage.toLatin1());
        const QString reasonName = QString::fromLatin1(QMetaEnum::fromType<Refusal>().valueToKey(int(reason)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused %1").arg(reasonName)));
        QSignalSpy attached(m_server.get(), &KxWebBridgeServer::clientAttached);

        const QByteArray answer = exchange(m_server->port(), bytes);
        QVERIFY2(status.isEmpty() ? answer.isEmpty() : answer.startsWith("HTTP/1.1 " + status), answer.constData());
        QCOMPARE(m_server->refusals(reason), 1);
        QCOMPARE(m_server->totalRefusals(), 1);
        QCOMPARE(attached.count(), 0);
        QCOMPARE(m_page->connectionCount(), 0);
    }

    void gateRefusesNonLoopbackPeers_data()
    {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("127.0.0.1") << "127.0.0.1" << true;
        QTest::newRow("documentation address") << "192.0.2.1" << false;
    }

    void gateRefusesNonLoopbackPeers()
    {
        QFETCH(QString, peer);
        QFETCH(bool, admitted);
        KxWebBridgeGate::Request request;
        QString why;
        QVERIFY(KxWebBridgeGate::parseHead(upgradeHead("/kzbridge?token=" + token() + "&page=p", hostHeader(),
                                                       m_server->origin().toLatin1()),
                                           &request, &why));
        KxWebBridgeGate::Settings settings{m_server->port(), m_server->token(), m_server->allowedOrigins()};
        Refusal reason = Refusal::BadRequest;
        QString detail;
        QCOMPARE(KxWebBridgeGate::admitUpgrade(request, QHostAddress(peer), settings, &reason, &detail), admitted);
        if (!admitted)
            QCOMPARE(reason, Refusal::NonLoopbackPeer);
    }

    void serverIsNotReachableFromOtherAddresses()
    {
        QHostAddress outside;
        const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
        for (const QHostAddress &address : addresses) {
            if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol)
                outside = address;
        }
        if (outside.isNull())
            QSKIP("this machine has no non-loopback IPv4 address");
        QTcpSocket socket;
        socket.connectToHost(outside, m_server->port());
        QVERIFY(!socket.waitForConnected(3000));
        QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
    }

    void closingThePageEndsItsClients()
    {
        std::unique_ptr<QWebSocket> client = connectClient();
        QVERIFY(client);
        QTRY_COMPARE(m_page->connectionCount(), 1);
        QSignalSpy closed(client.get(), &QWebSocket::disconnected);
        m_page.reset();
        QVERIFY(closed.wait(5000));
        QCOMPARE(client->closeCode(), QWebSocketProtocol::CloseCodeGoingAway);
    }

    // Rows: the client's frames ("m" masked, "M" with a 16-bit length, "u"
    // not masked), sent whole or a byte at a time. Nothing from an unmasked
    // frame on is read; the connection ends with a close of status 1002.
    void clientFramesMustBeMasked_data()
    {
        QTest::addColumn<QString>("frames");
        QTest::addColumn<bool>("byByte");
        QTest::newRow("masked") << "m" << false;
        QTest::newRow("not masked") << "u" << false;
        QTest::newRow("not masked, a byte at a time") << "u" << true;
        QTest::newRow("16-bit length, then not, by byte") << "Mum" << true;
    }

    void clientFramesMustBeMasked()
    {
        QFETCH(QString, frames);
        QFETCH(bool, byByte);
        const QByteArray call = "{\"t\":\"call\",\"id\":1,\"h\":\"common\",\"m\":\"echo\",\"a\":{}}";
        QByteArray bytes;
        for (const QChar kind : frames)
            bytes +=
                clientFrame(kind == QLatin1Char('M') ? call + QByteArray(300, ' ') : call, kind != QLatin1Char('u'));
        const int refusedAt = frames.indexOf(QLatin1Char('u'));
        const int before = refusedAt < 0 ? frames.size() : refusedAt;
        if (refusedAt >= 0) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not masked")));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused Unmasked")));
        }

        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_server->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(upgradeHead("/kzbridge?token=" + token() + "&page=" + kPage.toLatin1(), hostHeader(),
                                 m_server->origin().toLatin1()));
        QByteArray in;
        QTRY_VERIFY((in += socket.readAll()).contains("\r\n\r\n"));
        QVERIFY2(in.startsWith("HTTP/1.1 101"), in.constData());
        in.remove(0, in.indexOf("\r\n\r\n") + 4);
        if (byByte) {
            // Not a byte more once refused: bytes sent to a closed socket come
            // back as a reset, which throws away the close frame not read yet.
            for (const char byte : qAsConst(bytes)) {
                if (m_server->refusals(Refusal::Unmasked) > 0 || socket.state() != QAbstractSocket::ConnectedState)
                    break;
                socket.write(&byte, 1);
                socket.flush();
                QCoreApplication::processEvents();
                in += socket.readAll();
            }
        } else {
            socket.write(bytes);
        }
        if (refusedAt < 0) {
            QTRY_COMPARE(m_handler->calls, before);
            return;
        }
        QTRY_VERIFY(socket.state() == QAbstractSocket::UnconnectedState);
        QVERIFY(QByteArray(in + socket.readAll()).endsWith(QByteArray("\x88\x02\x03\xea", 4))); // close, 1002
        QVERIFY(m_handler->calls <= before);
        QCOMPARE(m_server->refusals(Refusal::Unmasked), 1);
        QTRY_COMPARE(m_page->connectionCount(), 0);
    }

    void oversizedMessageClosesTheConnection()
    {
        m_server->setMaxMessageSize(64 * 1024);
        std::unique_ptr<QWebSocket> client = connectClient();
        QVERIFY(client);
        QSignalSpy closed(client.get(), &QWebSocket::disconnected);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused Oversized")));
        client->sendTextMessage(QString(65 * 1024, QLatin1Char('x')));
        QVERIFY(closed.wait(5000));
        QTRY_COMPARE(m_server->refusals(Refusal::Oversized), 1);
        QCOMPARE(m_handler->calls, 0);
        QTRY_COMPARE(m_page->connectionCount(), 0);
    }

    void staticFiles_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        const auto row = [](const char *name, const char *request, const char *status, const char *body = "") {
            QTest::newRow(name) << QByteArray(request) << QByteArray(status) << QByteArray(body);
        };
        row("a file", "GET /sub/page.html?lang=en HTTP/1.1", "200", "<p>served</p>");
        row("dot-dot", "GET /../secret.txt HTTP/1.1", "404");
        row("encoded dot-dot", "GET /%2e%2e/secret.txt HTTP/1.1", "404");
        row("link out of the mount", "GET /link.txt HTTP/1.1", "404");
        row("POST", "POST /sub/page.html HTTP/1.1", "405");
    }

    void staticFiles()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        const QByteArray answer = exchange(m_server->port(), request + "\r\nHost: " + hostHeader() + "\r\n\r\n");
        QVERIFY2(answer.startsWith("HTTP/1.1 " + status), answer.constData());
        if (!body.isEmpty())
            QVERIFY(answer.endsWith("\r\n\r\n" + body));
        QVERIFY(!answer.contains("secret"));
    }

    void publicationIsPrivate()
    {
        const QString path = m_dir.filePath(QStringLiteral("webbridge.json"));
        QVERIFY(m_server->publish(path));
        struct stat info{};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject published = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(published.value(QStringLiteral("port")).toInt(), int(m_server->port()));
        QCOMPARE(published.value(QStringLiteral("token")).toString(), m_server->token());
    }
};

QTEST_GUILESS_MAIN(tst_KxWebBridgeServer)
#include "tst_kxwebbridgeserver.moc"
