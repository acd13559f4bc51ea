// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// File-task notices until a page holds each event, side by side with their floor:
// - pageEvents: 10 000 (5, 1) notices as cirrad broadcasts them (a real
//   KFileTaskInfo line, taken from a real cirrad) through the transport, the
//   proxy's file-task fan-out, the page handler and the page bridge, until a
//   WebSocket page client received each "event.softbus.fileTaskInfo";
// - rawEvents: the same 10 000 event messages sent by a plain WebSocket
//   server to a plain client.
#include "kcirradprocess.h"
#include "kcommunicatorjshandler.h"
#include "kzbenchratio.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>
#include <kzelvaapplication.h>

#include <QTemporaryDir>
#include <QWebSocket>
#include <QWebSocketServer>

using qoz::cirra::CirraIpcArg;
using qoz::cirra::CirraIpcResult;

class Completion : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void onResult(bool, QString, CirraIpcResult) {}
};

namespace {

constexpr int kNotices = 10000;
QString g_noticeLine; // one (5, 1) broadcast line as cirrad sent it
QString g_eventText;  // the event message the page client got for it
bool g_capture = false;
qint64 g_received = 0;

void spinUntil(const std::function<bool()> &condition)
{
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void pageEvents(benchmark::State &state)
{
    KCirraEventObject *events = zelvaApp->cloudSvrProxy()->cirraEventObject();
    for (auto _ : state) {
        const qint64 target = g_received + kNotices;
        for (int i = 0; i < kNotices; ++i)
            Q_EMIT events->signal_broadcast(g_noticeLine);
        spinUntil([&] { return g_received >= target; });
    }
}

void rawEvents(benchmark::State &state)
{
    QWebSocketServer server(QStringLiteral("raw"), QWebSocketServer::NonSecureMode);
    if (!server.listen(QHostAddress::LocalHost)) {
        state.SkipWithError("cannot listen");
        return;
    }
    QWebSocket client;
    qint64 received = 0;
    QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString &) { ++received; });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(server.serverPort())));
    spinUntil([&] { return server.hasPendingConnections(); });
    QWebSocket *peer = server.nextPendingConnection();
    spinUntil([&] { return client.state() == QAbstractSocket::ConnectedState; });
    for (auto _ : state) {
        const qint64 target = received + kNotices;
        for (int i = 0; i < kNotices; ++i)
            peer->sendTextMessage(g_eventText);
        spinUntil([&] { return received >= target; });
    }
    delete peer;
}

} // namespace

BENCHMARK(pageEvents)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(rawEvents)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QTemporaryDir profile(QStringLiteral("/tmp/kzbench-XXXXXX"));
    kzBenchPrivateSession(profile);
    qputenv("KZELVA_CIRRAD", "");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KZelvaApplication app(argc, argv);
    KCirradProcess cirrad;
    QString error;
    if (!cirrad.start({}, &error)) {
        std::fprintf(stderr, "cannot start cirrad: %s\n", qPrintable(error));
        return 1;
    }
    cirrad.control(QStringLiteral("addDevice"), {{QStringLiteral("user"), QStringLiteral("bench")},
                                                 {QStringLiteral("deviceId"), QStringLiteral("dev-1")},
                                                 {QStringLiteral("deviceName"), QStringLiteral("Desk 1")}});
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("bench");
    info.deviceId = QStringLiteral("dev-0");
    info.deviceName = QStringLiteral("Desk 0");
    zelvaApp->cloudSvrProxy()->setClientInfo(info);
    spinUntil([] { return zelvaApp->cloudSvrProxy()->isConnected(); });

    // The page: the communicator's handler behind the bridge, a WebSocket client listening to file tasks.
    KxWebBridgeServer server;
    KxWebViewAsynJSObject page;
    SoftBus::Business::JsApiHander::KCommunicatorJSHandler handler(&page, &page);
    page.registerHandler(QStringLiteral("softbus.communicator"), &handler);
    if (!server.listen()) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    server.addPage(QStringLiteral("bench"), &page);
    QWebSocket client(server.origin());
    QObject::connect(&client, &QWebSocket::textMessageReceived, [](const QString &text) {
        if (!text.contains(QLatin1String("\"t\":\"event\"")))
            return;
        ++g_received;
        if (g_eventText.isEmpty())
            g_eventText = text;
    });
    client.open(server.webSocketUrl(QStringLiteral("bench")));
    spinUntil([&] { return client.state() == QAbstractSocket::ConnectedState; });
    client.sendTextMessage(QStringLiteral(R"({"t":"on","e":"event.softbus.fileTaskInfo"})"));
    client.sendTextMessage(QStringLiteral(
        R"({"t":"call","id":1,"h":"softbus.communicator","m":"listenFileTaskInfo","a":{"action":"bench"}})"));

    // One real notice: a task of a missing file fails at once and says so on (5, 1).
    QObject::connect(zelvaApp->cloudSvrProxy()->cirraEventObject(), &KCirraEventObject::signal_broadcast,
                     [](const QString &line) {
                         if (g_capture && g_noticeLine.isEmpty() && line.contains(QLatin1String("SoftBusEvent")))
                             g_noticeLine = line;
                     });
    Completion completion;
    CirraIpcArg arg;
    arg.method = "sendFileToDevice";
    arg.argMap = {{"path", QString(profile.path() + QStringLiteral("/missing")).toStdString()},
                  {"deviceId", "dev-1"},
                  {"ownerId", "bench"}};
    // The listen is in place once cirrad logged it; then the task goes.
    spinUntil([&] {
        return !cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("requestSoftBusCommunicator")).isEmpty();
    });
    g_capture = true;
    zelvaApp->cloudSvrProxy()->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, &completion,
                                         QStringLiteral("onResult"));
    spinUntil([] { return g_received > 0; });
    if (g_noticeLine.isEmpty()) {
        std::fprintf(stderr, "no file-task notice came\n");
        return 1;
    }

    const int result = kzRunRatioBenchmarks(argc, argv, {{"pageEvents", "rawEvents"}});
    cirrad.stop();
    return result;
}

#include "bench_softbuspageevents.moc"
