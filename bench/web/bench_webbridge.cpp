// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A page-API call through the WebSocket bridge (admission done, a handler
// that answers its arguments) against a raw WebSocket echo of the same
// message bytes on the same machine, client and servers in this process.
// Target: the bridge call costs at most 1.5x the raw echo.

#include "kzbenchratio.h"

#include "kxwebbridgeconnection.h"

#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewjsapihandler.h>
#include <kxwebviewjscontext.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QWebSocket>
#include <QWebSocketServer>

#include <malloc.h>
#include <memory>

namespace {

class EchoApi : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    using KxWebViewJSApiHandler::KxWebViewJSApiHandler;

public Q_SLOTS:
    // Answers with its argument, as cheaply as a handler can: the cost left
    // is the bridge's.
    void echo(KxWebViewJSContext &context)
    {
        const QByteArray text = context.arguments().toObject().value(QLatin1String("text")).toString().toUtf8();
        context.returnValue()["text"] = Json::Value(text.constData(), text.constData() + text.size());
    }
};

QString callMessage(int textLength)
{
    const QJsonObject message{{QStringLiteral("t"), QStringLiteral("call")},
                              {QStringLiteral("id"), 1},
                              {QStringLiteral("h"), QStringLiteral("common")},
                              {QStringLiteral("m"), QStringLiteral("echo")},
                              {QStringLiteral("a"), QJsonObject{{QStringLiteral("text"), QString(textLength, QLatin1Char('w'))}}}};
    return QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

// Sends one message per iteration and waits for the one answer.
void roundTrips(benchmark::State &state, QWebSocket *client, const QString &message)
{
    QEventLoop loop;
    qint64 answered = 0;
    QObject::connect(client, &QWebSocket::textMessageReceived, &loop, [&](const QString &) {
        ++answered;
        loop.quit();
    });
    for (auto _ : state) {
        client->sendTextMessage(message);
        loop.exec();
    }
    if (answered != qint64(state.iterations()))
        state.SkipWithError("answers went missing");
    state.SetBytesProcessed(state.iterations() * message.size());
}

std::unique_ptr<QWebSocket> connectTo(const QUrl &url, const QString &origin)
{
    auto client = std::make_unique<QWebSocket>(origin);
    QSignalSpy connected(client.get(), &QWebSocket::connected);
    client->open(url);
    if (!connected.wait(5000))
        return nullptr;
    return client;
}

void bridgeCall(benchmark::State &state)
{
    KxWebBridgeServer server;
    KxWebViewAsynJSObject page;
    EchoApi api(&page, &page);
    page.registerHandler(QStringLiteral("common"), &api);
    if (!server.listen()) {
        state.SkipWithError("cannot listen");
        return;
    }
    server.addPage(QStringLiteral("bench"), &page);
    std::unique_ptr<QWebSocket> client = connectTo(server.webSocketUrl(QStringLiteral("bench")), server.origin());
    if (!client) {
        state.SkipWithError("cannot connect");
        return;
    }
    roundTrips(state, client.get(), callMessage(int(state.range(0))));
}

void rawEcho(benchmark::State &state)
{
    QWebSocketServer server(QStringLiteral("echo"), QWebSocketServer::NonSecureMode);
    if (!server.listen(QHostAddress::LocalHost)) {
        state.SkipWithError("cannot listen");
        return;
    }
    QObject::connect(&server, &QWebSocketServer::newConnection, [&server] {
        QWebSocket *peer = server.nextPendingConnection();
        QObject::connect(peer, &QWebSocket::textMessageReceived, peer, &QWebSocket::sendTextMessage);
    });
    std::unique_ptr<QWebSocket> client =
        connectTo(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(server.serverPort())), QString());
    if (!client) {
        state.SkipWithError("cannot connect");
        return;
    }
    roundTrips(state, client.get(), callMessage(int(state.range(0))));
}

class NullConnection : public KxWebBridgeConnection
{
public:
    using KxWebBridgeConnection::KxWebBridgeConnection;
    qint64 sent = 0;

protected:
    void sendText(const QString &text) override { sent += text.size(); }
};

// The bridge's own work for one call: decode, check, dispatch, encode.
void bridgeInProcess(benchmark::State &state)
{
    KxWebViewAsynJSObject page;
    EchoApi api(&page, &page);
    page.registerHandler(QStringLiteral("common"), &api);
    NullConnection connection(&page, false);
    const QString message = callMessage(int(state.range(0)));
    for (auto _ : state)
        connection.receiveText(message);
    if (connection.sent == 0)
        state.SkipWithError("no answer");
}

} // namespace

BENCHMARK(bridgeInProcess)->Arg(16)->Arg(1024)->Arg(16384)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(bridgeCall)->Arg(16)->Arg(1024)->Arg(16384)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(rawEcho)->Arg(16)->Arg(1024)->Arg(16384)->UseRealTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // A shell's heap is busy; this nearly empty process would hand memory
    // back to the system after every call and time brk() rather than the
    // bridge. Both sides of the ratio run with the same setting.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    QCoreApplication app(argc, argv);
    return kzRunRatioBenchmarks(argc, argv, {{"bridgeCall", "rawEcho"}});
}

#include "bench_webbridge.moc"
