// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The SoftBus path against its floor, side by side:
// - proxyDeviceList: KCommunicatorProxy::getDeviceInfoList of 20 devices
//   (request, reply with the cobId, result as a broadcast line, decoding);
// - plainRoundTrip: one "cirraIpcCall" round trip through the same host proxy
//   and cirrad carrying the same bytes (the request's content plus the
//   answer's text as arguments).
#include "kcirradprocess.h"
#include "kcommunicatorproxy.h"
#include "kzbenchratio.h"

#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QTemporaryDir>

using qoz::cirra::CirraIpcArg;
using qoz::cirra::CirraIpcResult;
using namespace SoftBus;
using namespace SoftBus::Business;

class Completion : public QObject
{
    Q_OBJECT
public:
    int done = 0;
public Q_SLOTS:
    void onResult(bool, QString, CirraIpcResult) { ++done; }
};

namespace {

constexpr int kDevices = 20;
int g_answerBytes = 0;

void spinUntil(const std::function<bool()> &condition)
{
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void proxyDeviceList(benchmark::State &state)
{
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();
    int devices = 0;
    for (auto _ : state) {
        bool answered = false;
        proxy->getDeviceInfoList(Protocol::DeviceStatus{0},
                                 [&](int, const Protocol::DeviceResponse<Protocol::DeviceInfoList> &list) {
                                     devices = list.data.devices.size();
                                     // Sized once for the baseline; encoding again is no part of the path.
                                     if (!g_answerBytes)
                                         g_answerBytes = Protocol::recordToText(list).toUtf8().size();
                                     answered = true;
                                 });
        spinUntil([&] { return answered; });
    }
    if (devices != kDevices)
        state.SkipWithError("the device list is not complete");
}

// The same path with the smallest answer: what the transport costs without the list.
void proxyOnline(benchmark::State &state)
{
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();
    for (auto _ : state) {
        bool answered = false;
        proxy->isDeviceOnline([&](int, bool) { answered = true; });
        spinUntil([&] { return answered; });
    }
}

void plainRoundTrip(benchmark::State &state)
{
    Completion completion;
    Protocol::Internal::CommunicationContent content;
    content.operation = {2, 2};
    content.data = Protocol::recordToText(Protocol::DeviceStatus{0});
    CirraIpcArg arg;
    arg.method = "showTransferHelperDlg";
    arg.argMap = {{"content", Protocol::recordToText(content).toStdString()},
                  {"answer", std::string(std::size_t(qMax(g_answerBytes, 1)), 'a')}};
    KCloudSvrProxy *proxy = zelvaApp->cloudSvrProxy();
    for (auto _ : state) {
        const int before = completion.done;
        proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, &completion,
                         QStringLiteral("onResult"));
        spinUntil([&] { return completion.done > before; });
    }
}

} // namespace

BENCHMARK(proxyDeviceList)->UseRealTime();
BENCHMARK(proxyOnline)->UseRealTime();
BENCHMARK(plainRoundTrip)->UseRealTime();

int main(int argc, char **argv)
{
    // Never the user's session: a private runtime and state directory.
    QTemporaryDir profile(QStringLiteral("/tmp/kzbench-XXXXXX"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(profile.path() + QStringLiteral("/rt")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path() + QStringLiteral("/cfg")));
    qputenv("KZELVA_PROFILE_DIR", QFile::encodeName(profile.path()));
    qputenv("KZELVA_CIRRAD", "");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "zelva.*.info=false");
    KZelvaApplication app(argc, argv);
    KCirradProcess cirrad;
    QString error;
    if (!cirrad.start({}, &error)) {
        std::fprintf(stderr, "cannot start cirrad: %s\n", qPrintable(error));
        return 1;
    }
    for (int i = 1; i < kDevices; ++i)
        cirrad.control(QStringLiteral("addDevice"), {{QStringLiteral("user"), QStringLiteral("bench")},
                                                     {QStringLiteral("deviceId"), QStringLiteral("dev-%1").arg(i)},
                                                     {QStringLiteral("deviceName"), QStringLiteral("Desk %1").arg(i)}});
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("bench");
    info.deviceId = QStringLiteral("dev-0");
    info.deviceName = QStringLiteral("Desk 0");
    zelvaApp->cloudSvrProxy()->setClientInfo(info);
    spinUntil([] { return zelvaApp->cloudSvrProxy()->isConnected(); });
    const int result =
        kzRunRatioBenchmarks(argc, argv, {{"proxyDeviceList", "plainRoundTrip"}, {"proxyOnline", "plainRoundTrip"}});
    cirrad.stop();
    return result;
}

#include "bench_softbus.moc"
