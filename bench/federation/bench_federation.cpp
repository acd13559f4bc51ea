// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Presence at scale, simulated on this machine: N devices spread over 100
// users connect to a private mosquitto through cirrad's broker client, each
// subscribed to its user's presence like a cirrad. presence/N: one device
// publishes its retained presence record; the time until every other device
// of its user has it (counters: median and p99 over all receivers, broker
// and client memory per device). Baseline single/N: the same record from one
// client to one subscriber through the same loaded broker, so the ratio is
// what fanning out to a user's devices costs.
#include "kcirramqttclient.h"
#include "kmosquittoprocess.h"
#include "kzbenchratio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kUsers = 100;

KMosquittoProcess *g_broker = nullptr;
QElapsedTimer g_clock;

QString userName(int u)
{
    return QStringLiteral("user-%1").arg(u);
}

// Resident memory of a process, in KiB.
qint64 residentKiB(qint64 pid)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

template<typename Pred>
bool waitUntil(Pred done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

KCirraMqttClient *newClient(const QString &id, int user)
{
    KCirraMqttClient::Options o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = g_broker->port();
    o.userName = userName(user);
    o.password = QStringLiteral("pw-") + userName(user);
    o.clientId = id;
    o.keepAliveSeconds = 60;
    auto *client = new KCirraMqttClient(o);
    client->start();
    return client;
}

// N simulated devices, each subscribed to its user's presence, plus one probe pair for the baseline.
struct Fleet
{
    std::vector<std::unique_ptr<KCirraMqttClient>> devices;
    std::unique_ptr<KCirraMqttClient> probeSender;
    std::unique_ptr<KCirraMqttClient> probeReceiver;
    QByteArray expected;
    int arrived = 0;
    int subscribed = 0;
    std::vector<qint64> latencies;
    qint64 sentNs = 0;
    double brokerKiBPerDevice = 0;
    double clientKiBPerDevice = 0;
    bool ready = false;

    void onReceived(const QByteArray &payload)
    {
        if (payload != expected)
            return;
        ++arrived;
        latencies.push_back(g_clock.nsecsElapsed() - sentNs);
    }

    explicit Fleet(int n)
    {
        const qint64 brokerBefore = residentKiB(g_broker->pid());
        const qint64 selfBefore = residentKiB(0);
        auto join = [this](KCirraMqttClient *c, const QString &pattern) {
            QObject::connect(c, &KCirraMqttClient::connected, c, [c, pattern] { c->subscribe(pattern, 1); });
            QObject::connect(c, &KCirraMqttClient::subscribed, c, [this](int, bool ok) { subscribed += ok; });
            QObject::connect(c, &KCirraMqttClient::received, c,
                             [this](const QString &, const QByteArray &payload, bool) { onReceived(payload); });
        };
        for (int i = 0; i < n; ++i) {
            devices.emplace_back(newClient(QStringLiteral("sim-%1").arg(i), i % kUsers));
            join(devices.back().get(), QStringLiteral("kz/%1/presence/+").arg(userName(i % kUsers)));
        }
        probeReceiver.reset(newClient(QStringLiteral("probe-rx"), 0));
        join(probeReceiver.get(), QStringLiteral("kz/user-0/probe/+"));
        probeSender.reset(newClient(QStringLiteral("probe-tx"), 0));
        ready = waitUntil([&] { return subscribed == n + 1 && probeSender->isConnected(); }, 120000);
        brokerKiBPerDevice = double(residentKiB(g_broker->pid()) - brokerBefore) / n;
        clientKiBPerDevice = double(residentKiB(0) - selfBefore) / n;
    }
};

// One fleet at a time: the baseline and the fan-out of a size run one after the other on it.
std::unique_ptr<Fleet> g_fleet;

Fleet &fleet(int n)
{
    static int size = 0;
    if (!g_fleet || size != n) {
        g_fleet.reset();
        g_fleet = std::make_unique<Fleet>(n);
        size = n;
    }
    return *g_fleet;
}

// A presence record of one device with a few open documents, as a cirrad writes it.
QByteArray record(int device, qint64 seq)
{
    QByteArray tags;
    for (int t = 0; t < 4; ++t)
        tags += R"({"uuid":"doc-)" + QByteArray::number(t) + R"(","name":"Quarterly plan","suffix":"txt"},)";
    tags.chop(1);
    return R"({"v":1,"user":"u","instance":"sim-)" + QByteArray::number(device) + R"(","online":true,"seq":)"
           + QByteArray::number(seq)
           + R"(,"devices":[{"device_id":"d","device_name":"Desk","online":true,"abilities":["sync_file_tag"],"tags":[)"
           + tags + "]}]}";
}

double percentile(std::vector<qint64> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return double(v[size_t(p * double(v.size() - 1))]) / 1e6;
}

void run(benchmark::State &state, bool fanOut)
{
    const int n = int(state.range(0));
    Fleet &f = fleet(n);
    if (!f.ready)
        return state.SkipWithError("the simulated devices did not all connect");
    const int receivers = fanOut ? n / kUsers - 1 : 1;
    f.latencies.clear();
    qint64 seq = 0;
    for (auto _ : state) {
        const int device = int(seq % n);
        f.expected = record(device, ++seq);
        f.arrived = 0;
        f.sentNs = g_clock.nsecsElapsed();
        if (fanOut)
            f.devices[size_t(device)]->publish(
                QStringLiteral("kz/%1/presence/sim-%2").arg(userName(device % kUsers)).arg(device), f.expected, 1,
                true);
        else
            f.probeSender->publish(QStringLiteral("kz/user-0/probe/tx"), f.expected, 1, false);
        if (!waitUntil([&] { return f.arrived >= receivers; }, 30000))
            return state.SkipWithError("a presence record did not reach every device");
        state.SetIterationTime(double(g_clock.nsecsElapsed() - f.sentNs) / 1e9);
    }
    state.counters["median_ms"] = percentile(f.latencies, 0.5);
    state.counters["p99_ms"] = percentile(f.latencies, 0.99);
    state.counters["broker_KiB_per_device"] = f.brokerKiBPerDevice;
    state.counters["client_KiB_per_device"] = f.clientKiBPerDevice;
}

void presence(benchmark::State &state)
{
    run(state, true);
}

void single(benchmark::State &state)
{
    run(state, false);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (KMosquittoProcess::program().isEmpty()) {
        std::fprintf(stderr, "mosquitto is not installed\n");
        return 1;
    }
    KMosquittoProcess broker;
    for (int u = 0; u < kUsers; ++u)
        broker.addUser(userName(u), QStringLiteral("pw-") + userName(u));
    QString error;
    if (!broker.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    g_broker = &broker;
    g_clock.start();
    // Each size: the baseline first, then the fan-out, on the same fleet.
    for (const int n : {200, 1000, 10000}) {
        benchmark::RegisterBenchmark("single", single)->Arg(n)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("presence", presence)->Arg(n)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    const int status = kzRunRatioBenchmarks(argc, argv, {{"presence", "single"}});
    g_fleet.reset(); // while the event loop's thread data and the broker still exist
    return status;
}
