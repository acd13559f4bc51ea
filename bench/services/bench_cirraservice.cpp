// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// cirrad and the host's cloud proxy under load, in a private runtime directory:
// - proxyRoundTrip: asyncCall("cirraIpcCall") until the completion slot ran,
//   through proxy, socket and service; against rawPingPong, the same call and
//   reply bytes over a Unix socket to a bare echo thread (target ratio <= 2);
// - broadcast/N: N events from the service to 4 connected proxies; reports
//   events per second (and deliveries per second).
#include "kcirradprocess.h"
#include "kzbenchcirrad.h"

#include <kcirracodec.h>
#include <kcirraeventobject.h>
#include <kcirrapaths.h>
#include <kcloudsvrproxy.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using qoz::cirra::CirraIpcArg;
using qoz::cirra::CirraIpcResult;

class Completion : public QObject
{
    Q_OBJECT
public:
    int done = 0;
public Q_SLOTS:
    void onResult(bool ok, QString, CirraIpcResult result)
    {
        if (ok && result.state == 0)
            ++done;
    }
};

namespace {

KCirradProcess *g_cirrad = nullptr;

CirraIpcArg benchArg()
{
    CirraIpcArg arg;
    arg.method = "showTransferHelperDlg";
    arg.argMap = {{"src", "crossterminalpanel"}, {"device_id", "bench-device"}};
    return arg;
}

void spinUntil(const std::function<bool()> &condition)
{
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::unique_ptr<KCloudSvrProxy> connectedProxy(const QString &device)
{
    auto proxy = std::make_unique<KCloudSvrProxy>();
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("bench");
    info.deviceId = device;
    proxy->setClientInfo(info);
    spinUntil([&] { return proxy->isConnected(); });
    return proxy;
}

void proxyRoundTrip(benchmark::State &state)
{
    auto proxy = connectedProxy(QStringLiteral("dev-0"));
    Completion completion;
    const CirraIpcArg arg = benchArg();
    for (auto _ : state) {
        const int before = completion.done;
        proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, &completion,
                         QStringLiteral("onResult"));
        spinUntil([&] { return completion.done > before; });
    }
}

// The bytes the proxy writes for one call and cirrad answers with.
std::pair<std::string, std::string> wireBytes()
{
    const CirraIpcArg arg = benchArg();
    qoz::cirra::CirraFrame call;
    call.__set_call(qoz::cirra::CirraCall());
    call.call.requestId = "cr-1";
    call.call.functionName = "cirraIpcCall";
    call.call.recordType = "CirraIpcArg";
    KCirraCodec::encode(arg, &call.call.record);
    CirraIpcResult result;
    result.resultMap = {{"method", arg.method}};
    qoz::cirra::CirraFrame reply;
    reply.__set_reply(qoz::cirra::CirraReply());
    reply.reply.requestId = "cr-1";
    reply.reply.ok = true;
    reply.reply.recordType = "CirraIpcResult";
    KCirraCodec::encode(result, &reply.reply.record);
    QByteArray a, b;
    KCirraCodec::encodeFrame(call, &a);
    KCirraCodec::encodeFrame(reply, &b);
    return {a.toStdString(), b.toStdString()};
}

bool readExactly(int fd, char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void rawPingPong(benchmark::State &state)
{
    const auto [request, reply] = wireBytes();
    const QString path = KCirraPaths::runtimeDir() + QStringLiteral("/pingpong.sock");
    ::unlink(path.toLocal8Bit().constData());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listener, 1) != 0) {
        state.SkipWithError("cannot listen");
        return;
    }
    std::thread echo([listener, reply = reply] {
        const int fd = ::accept(listener, nullptr, nullptr);
        std::string buffer;
        char prefix[4];
        while (readExactly(fd, prefix, 4)) {
            const uint32_t size = (uint32_t(uint8_t(prefix[0])) << 24) | (uint32_t(uint8_t(prefix[1])) << 16)
                                  | (uint32_t(uint8_t(prefix[2])) << 8) | uint32_t(uint8_t(prefix[3]));
            buffer.resize(size);
            if (!readExactly(fd, buffer.data(), size) || ::write(fd, reply.data(), reply.size()) < 0)
                break;
        }
        ::close(fd);
    });
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address);
    std::string answer(reply.size(), '\0');
    for (auto _ : state) {
        if (::write(client, request.data(), request.size()) < 0 || !readExactly(client, answer.data(), answer.size()))
            state.SkipWithError("ping-pong failed");
    }
    ::close(client);
    echo.join();
    ::close(listener);
}

void broadcast(benchmark::State &state)
{
    constexpr int kShells = 4;
    const int events = int(state.range(0));
    std::vector<std::unique_ptr<KCloudSvrProxy>> proxies;
    int received = 0;
    for (int i = 0; i < kShells; ++i) {
        proxies.push_back(connectedProxy(QStringLiteral("dev-%1").arg(i + 1)));
        QObject::connect(proxies.back()->cirraEventObject(), &KCirraEventObject::signal_broadcast,
                         [&received](const QString &) { ++received; });
    }
    for (auto _ : state) {
        received = 0;
        // The control request itself is part of the time; it is one round trip.
        g_cirrad->control(QStringLiteral("emitEvent"), {{QStringLiteral("user"), QStringLiteral("bench")},
                                                        {QStringLiteral("signal"), QStringLiteral("broadcast")},
                                                        {QStringLiteral("text"), QStringLiteral("bench event line")},
                                                        {QStringLiteral("count"), QString::number(events)}});
        spinUntil([&] { return received >= events * kShells; });
    }
    state.counters["events/s"] = benchmark::Counter(double(events), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["deliveries/s"] =
        benchmark::Counter(double(events * kShells), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(proxyRoundTrip)->UseRealTime();
BENCHMARK(rawPingPong)->UseRealTime();
BENCHMARK(broadcast)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return kzRunCirradBenchmarks(argc, argv, &g_cirrad, {{"proxyRoundTrip", "rawPingPong"}});
}

#include "bench_cirraservice.moc"
