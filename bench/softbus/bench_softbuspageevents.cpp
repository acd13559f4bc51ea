// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// File-task notices until a page holds each event, side by side with their floor:
// - browserPageEvents: 10 000 (5, 1) notices as cirrad broadcasts them (a
//   real KFileTaskInfo line, taken from a real cirrad) through the transport,
//   the proxy's file-task fan-out, the page handler and the page bridge, until
//   a page in headless Chromium (bench/softbus/www/pageevents.html, with
//   kzbridge.js) raised each "event.softbus.fileTaskInfo";
// - browserRawEvents: the same 10 000 event messages, one WebSocket message
//   each, from a plain WebSocket server to a page in the same browser that
//   parses each (rawevents.html);
// - pageEvents / rawEvents: the same pair with a Qt WebSocket client in this
//   process instead of the browser (the shell side's own cost).
#include "kcirradprocess.h"
#include "kcommunicatorjshandler.h"
#include "kzbenchratio.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>
#include <kzelvaapplication.h>

#include <kxwebviewjsapihandler.h>
#include <kxwebviewjscontext.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QWebSocketServer>

#include <memory>

using qoz::cirra::CirraIpcArg;
using qoz::cirra::CirraIpcResult;

class Completion : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void onResult(bool, QString, CirraIpcResult) {}
};

// "bench.reached": the browser page's count of raised events.
class ReachedHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    using KxWebViewJSApiHandler::KxWebViewJSApiHandler;
    qint64 count = -1;

public Q_SLOTS:
    void reached(KxWebViewJSContext &context)
    {
        count = parseContextArgs(context, false).value(QStringLiteral("count")).toLongLong();
    }
};

namespace {

constexpr int kNotices = 10000;
QString g_noticeLine; // one (5, 1) broadcast line as cirrad sent it
QString g_eventText;  // the event message the page client got for it
bool g_capture = false;
qint64 g_received = 0;
KxWebBridgeServer *g_server = nullptr;
ReachedHandler *g_reached = nullptr;
QWebSocket *g_client = nullptr; // the in-process page client
constexpr char kChromium[] = "/usr/bin/chromium";

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

// Headless Chromium showing one page; ends with the object.
class Browser
{
public:
    explicit Browser(const QUrl &url)
    {
        m_process.setProgram(QString::fromLatin1(kChromium));
        m_process.setArguments({QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
                                QStringLiteral("--disable-component-update"), QStringLiteral("--no-first-run"),
                                QStringLiteral("--disable-renderer-backgrounding"),
                                QStringLiteral("--user-data-dir=") + m_profile.path(), url.toString()});
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start();
    }
    ~Browser()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(10000);
    }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

private:
    QTemporaryDir m_profile;
    QProcess m_process;
};

// Spins until `condition` or the browser ended (false then).
bool spinWhileRunning(const Browser &browser, const std::function<bool()> &condition)
{
    while (!condition()) {
        if (!browser.isRunning())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    return true;
}

bool haveBrowser(benchmark::State &state)
{
    if (QFileInfo::exists(QString::fromLatin1(kChromium)))
        return true;
    state.SkipWithError("no /usr/bin/chromium");
    return false;
}

void browserPageEvents(benchmark::State &state)
{
    if (!haveBrowser(state))
        return;
    // The in-process client goes, so the browser's page is the only one listening.
    if (g_client) {
        g_client->close();
        spinUntil([] { return g_client->state() == QAbstractSocket::UnconnectedState; });
    }
    KCirraEventObject *events = zelvaApp->cloudSvrProxy()->cirraEventObject();
    Browser browser(g_server->pageUrl(QStringLiteral("pageevents.html"), QStringLiteral("bench")));
    if (!spinWhileRunning(browser, [] { return g_reached->count >= 0; })) {
        state.SkipWithError("the browser ended before its page listened");
        return;
    }
    for (auto _ : state) {
        const qint64 target = g_reached->count + kNotices;
        for (int i = 0; i < kNotices; ++i)
            Q_EMIT events->signal_broadcast(g_noticeLine);
        if (!spinWhileRunning(browser, [&] { return g_reached->count >= target; })) {
            state.SkipWithError("the browser ended");
            return;
        }
    }
}

void browserRawEvents(benchmark::State &state)
{
    if (!haveBrowser(state))
        return;
    QWebSocketServer server(QStringLiteral("raw"), QWebSocketServer::NonSecureMode);
    if (!server.listen(QHostAddress::LocalHost)) {
        state.SkipWithError("cannot listen");
        return;
    }
    QUrl url(g_server->origin() + QStringLiteral("/rawevents.html"));
    url.setQuery(QStringLiteral("port=%1").arg(server.serverPort()));
    Browser browser(url);
    std::unique_ptr<QWebSocket> peer;
    qint64 counted = -1;
    if (!spinWhileRunning(browser, [&] { return server.hasPendingConnections(); })) {
        state.SkipWithError("the browser ended before its page connected");
        return;
    }
    peer.reset(server.nextPendingConnection());
    QObject::connect(peer.get(), &QWebSocket::textMessageReceived,
                     [&counted](const QString &text) { counted = text.toLongLong(); });
    spinWhileRunning(browser, [&] { return counted >= 0; });
    for (auto _ : state) {
        const qint64 target = counted + kNotices;
        for (int i = 0; i < kNotices; ++i)
            peer->sendTextMessage(g_eventText);
        if (!spinWhileRunning(browser, [&] { return counted >= target; })) {
            state.SkipWithError("the browser ended");
            return;
        }
    }
}

} // namespace

BENCHMARK(pageEvents)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(rawEvents)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
// The browser pair carries its notice count, so the quick smoke run (which leaves out /10000) skips starting
// Chromium twice.
BENCHMARK(browserPageEvents)->Arg(kNotices)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(browserRawEvents)->Arg(kNotices)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

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
    g_server = &server;
    server.addMount(QStringLiteral("/"), QStringLiteral(KZ_SOURCE_DIR "/bench/softbus/www"));
    server.addMount(QStringLiteral("/js/"), QStringLiteral(KZ_SOURCE_DIR "/resources/js"));
    KxWebViewAsynJSObject page;
    SoftBus::Business::JsApiHander::KCommunicatorJSHandler handler(&page, &page);
    page.registerHandler(QStringLiteral("softbus.communicator"), &handler);
    ReachedHandler reached(&page, &page);
    g_reached = &reached;
    page.registerHandler(QStringLiteral("bench"), &reached);
    if (!server.listen()) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    server.addPage(QStringLiteral("bench"), &page);
    QWebSocket client(server.origin());
    g_client = &client;
    QObject::connect(&client, &QWebSocket::textMessageReceived, [](const QString &text) {
        // One event alone, or several in one batch message.
        const int events = text.count(QLatin1String("{\"t\":\"event\""));
        g_received += events;
        if (g_eventText.isEmpty() && events == 1 && text.startsWith(QLatin1String("{\"t\":\"event\"")))
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

    const int result =
        kzRunRatioBenchmarks(argc, argv, {{"pageEvents", "rawEvents"}, {"browserPageEvents", "browserRawEvents"}});
    cirrad.stop();
    return result;
}

#include "bench_softbuspageevents.moc"
