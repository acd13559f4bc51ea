// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Presence at scale, simulated on this machine: N devices spread over 100
// users connect to a private mosquitto through cirrad's broker client, each
// subscribed to its user's presence like a cirrad. presence/N: a device of
// one user publishes its retained presence record; the time until every
// device of that user has it (counters: median and p99 over all receivers,
// broker and client memory per device). Baseline single/N: the same record
// from one client to one subscriber through the same loaded broker, so the
// ratio is what fanning out to a user's devices costs.
//
// A process may hold 20 000 descriptors here and each simulated device
// takes three (its socket and libmosquitto's wake-up pair), so the devices
// live in worker processes of this program (--worker), kWorkerDevices at
// most each (every wake-up of a process polls all its sockets, so fewer per
// process come nearer to one cirrad per machine). They start one after the
// other, each once the one before has all its devices subscribed: the
// broker's listen queue drops connections that all come at once. A worker stamps each arrival with the monotonic clock, which
// all processes share, and reports it on its standard output.
#include "kcirramqttclient.h"
#include "kmosquittoprocess.h"
#include "kzbenchratio.h"
#include "kzbenchwait.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kUsers = 100;
constexpr int kWorkerDevices = 1000;

KMosquittoProcess *g_broker = nullptr;

qint64 nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QString userName(int u)
{
    return QStringLiteral("user-%1").arg(u);
}

KCirraMqttClient *newClient(int port, const QString &id, int user)
{
    KCirraMqttClient::Options o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = port;
    o.userName = userName(user);
    o.password = QStringLiteral("pw-") + userName(user);
    o.clientId = id;
    o.keepAliveSeconds = 60;
    auto *client = new KCirraMqttClient(o);
    client->start();
    return client;
}

// Subscribes `c` to `pattern` once connected; `arrived` gets every payload.
template<typename Arrived>
void join(KCirraMqttClient *c, const QString &pattern, int *subscribed, Arrived arrived)
{
    QObject::connect(c, &KCirraMqttClient::connected, c, [c, pattern] { c->subscribe(pattern, 1); });
    QObject::connect(c, &KCirraMqttClient::subscribed, c, [subscribed](int, bool ok) { *subscribed += ok; });
    QObject::connect(c, &KCirraMqttClient::received, c,
                     [arrived](const QString &, const QByteArray &payload, bool) { arrived(payload); });
}

// The "seq" a record carries, 0 for none.
qint64 seqOf(const QByteArray &payload)
{
    const int at = payload.indexOf("\"seq\":");
    return at < 0 ? 0 : payload.mid(at + 6, 20).split(',').value(0).toLongLong();
}

// --worker <port> <first> <count>: devices first .. first+count-1. Prints "ready <KiB added>" once all
// subscribed, then "<seq> <ns>" for each presence record one of them received.
int worker(const QStringList &args)
{
    const int port = args.value(2).toInt();
    const int first = args.value(3).toInt();
    const int count = args.value(4).toInt();
    const qint64 before = kzBenchResidentKiB(0);
    std::vector<std::unique_ptr<KCirraMqttClient>> devices;
    int subscribed = 0;
    for (int i = first; i < first + count; ++i) {
        devices.emplace_back(newClient(port, QStringLiteral("sim-%1").arg(i), i % kUsers));
        join(devices.back().get(), QStringLiteral("kz/%1/presence/+").arg(userName(i % kUsers)), &subscribed,
             [](const QByteArray &payload) {
                 if (const qint64 seq = seqOf(payload))
                     std::printf("%lld %lld\n", static_cast<long long>(seq), static_cast<long long>(nowNs()));
                 std::fflush(stdout);
             });
    }
    if (!kzBenchWaitUntil([&] { return subscribed == count; }, 60000 + 30 * count)) {
        std::fprintf(stderr, "%d of %d simulated devices subscribed\n", subscribed, count);
        return 1;
    }
    std::printf("ready %lld\n", static_cast<long long>(kzBenchResidentKiB(0) - before));
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// N simulated devices in worker processes, plus one probe pair here for the baseline.
struct Fleet
{
    std::vector<std::unique_ptr<QProcess>> workers;
    std::unique_ptr<KCirraMqttClient> probeSender;
    std::unique_ptr<KCirraMqttClient> probeReceiver;
    // One publisher per user, standing for the device of that user that comes online.
    std::vector<std::unique_ptr<KCirraMqttClient>> publishers;
    int ready = 0;
    int subscribed = 0;
    qint64 expected = 0;
    qint64 sentNs = 0;
    std::vector<qint64> latencies;    // of every receiver of every record
    std::vector<qint64> lastArrivals; // per record, the latest of its receivers
    int arrived = 0;
    qint64 lastNs = 0;
    qint64 clientKiB = 0;
    double brokerKiBPerDevice = 0;
    double clientKiBPerDevice = 0;
    bool up = false;

    void arrival(qint64 seq, qint64 ns)
    {
        if (seq != expected)
            return;
        ++arrived;
        latencies.push_back(ns - sentNs);
        lastNs = qMax(lastNs, ns);
    }

    void onOutput(QProcess *p)
    {
        while (p->canReadLine()) {
            const QList<QByteArray> f = p->readLine().trimmed().split(' ');
            if (f.value(0) == "ready") {
                ++ready;
                clientKiB += f.value(1).toLongLong();
            } else {
                arrival(f.value(0).toLongLong(), f.value(1).toLongLong());
            }
        }
    }

    explicit Fleet(int n)
    {
        const qint64 brokerBefore = kzBenchResidentKiB(g_broker->pid());
        const int port = g_broker->port();
        const auto gone = [this] {
            return std::any_of(workers.begin(), workers.end(),
                               [](const auto &w) { return w->state() == QProcess::NotRunning; });
        };
        for (int first = 0; first < n && !gone(); first += kWorkerDevices) {
            workers.emplace_back(std::make_unique<QProcess>());
            QProcess *p = workers.back().get();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QObject::connect(p, &QProcess::readyReadStandardOutput, p, [this, p] { onOutput(p); });
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--worker"), QString::number(port), QString::number(first),
                      QString::number(qMin(kWorkerDevices, n - first))});
            kzBenchWaitUntil([&] { return gone() || ready == int(workers.size()); }, 120000 + 30 * kWorkerDevices);
        }
        probeReceiver.reset(newClient(port, QStringLiteral("probe-rx"), 0));
        join(probeReceiver.get(), QStringLiteral("kz/user-0/probe/+"), &subscribed,
             [this](const QByteArray &payload) { arrival(seqOf(payload), nowNs()); });
        probeSender.reset(newClient(port, QStringLiteral("probe-tx"), 0));
        for (int u = 0; u < kUsers; ++u)
            publishers.emplace_back(newClient(port, QStringLiteral("online-%1").arg(u), u));
        const auto connected = [this] {
            return std::all_of(publishers.begin(), publishers.end(), [](const auto &c) { return c->isConnected(); })
                   && probeSender->isConnected();
        };
        up = ready == int(workers.size()) && !gone()
             && kzBenchWaitUntil([&] { return subscribed == 1 && connected(); }, 60000);
        brokerKiBPerDevice = double(kzBenchResidentKiB(g_broker->pid()) - brokerBefore) / n;
        clientKiBPerDevice = double(clientKiB) / n;
    }
    ~Fleet()
    {
        for (const auto &w : workers) {
            w->kill();
            w->waitForFinished(10000);
        }
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
    if (!f.up)
        return state.SkipWithError("the simulated devices did not all connect");
    const int receivers = fanOut ? n / kUsers : 1;
    f.latencies.clear();
    f.lastArrivals.clear();
    static qint64 seq = 0;
    for (auto _ : state) {
        const int user = int(seq % kUsers);
        f.expected = ++seq;
        const QByteArray payload = record(user, seq);
        f.arrived = 0;
        f.lastNs = 0;
        f.sentNs = nowNs();
        if (fanOut)
            f.publishers[size_t(user)]->publish(
                QStringLiteral("kz/%1/presence/online-%2").arg(userName(user)).arg(user), payload, 1, true);
        else
            f.probeSender->publish(QStringLiteral("kz/user-0/probe/tx"), payload, 1, false);
        if (!kzBenchWaitUntil([&] { return f.arrived >= receivers; }, 30000))
            return state.SkipWithError("a presence record did not reach every device");
        f.lastArrivals.push_back(f.lastNs - f.sentNs);
        state.SetIterationTime(double(f.lastNs - f.sentNs) / 1e9);
    }
    state.counters["median_ms"] = percentile(f.latencies, 0.5);
    state.counters["p99_ms"] = percentile(f.latencies, 0.99);
    state.counters["last_p99_ms"] = percentile(f.lastArrivals, 0.99);
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
    if (app.arguments().value(1) == QLatin1String("--worker"))
        return worker(app.arguments());
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
    // Each size: the baseline first, then the fan-out, on the same fleet.
    for (const int n : {200, 1000, 10000}) {
        benchmark::RegisterBenchmark("single", single)->Arg(n)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("presence", presence)->Arg(n)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    const int status = kzRunRatioBenchmarks(argc, argv, {{"presence", "single"}});
    g_fleet.reset(); // while the event loop's thread data and the broker still exist
    return status;
}
