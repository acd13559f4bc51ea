// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A file across two "machines": two cirrads joined by a private mosquitto,
// a shell on each. cirrad/M: device A sends an M MiB file to device B
// ("sendFileToDevice"); timed until the file has its final name in B's
// relay folder (chunks, acknowledgements, SHA-256 and fsync included).
// Baseline mosquitto/M: the same bytes, in messages of the same size, from
// mosquitto_pub -l to mosquitto_sub -C through the same broker, QoS 1.
// Counter cpu_ms: the processor time the run took in the broker and the
// two cirrads, or in the broker and the two tools.
#include "kcirraclient.h"
#include "kcirradprocess.h"
#include "kmosquittoprocess.h"
#include "kzbenchratio.h"
#include "kzbenchwait.h"

#include <kcirrafederationrecord.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <memory>

using namespace qoz::cirra;

namespace {

KMosquittoProcess *g_broker = nullptr;
QTemporaryDir *g_work = nullptr;

// Processor time (ms) of the broker, the programs that ended and were waited for (mosquitto_pub and
// mosquitto_sub), and `pids`, the two cirrads: what moving the bytes cost, whatever else loads the machine.
qint64 cpuOf(const QList<qint64> &pids)
{
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    qint64 ms = kzBenchCpuMs(g_broker->pid());
    ms += (children.ru_utime.tv_sec + children.ru_stime.tv_sec) * 1000
          + (children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1000;
    for (const qint64 pid : pids)
        ms += kzBenchCpuMs(pid);
    return ms;
}

// One "machine": its cirrad and the shell of one device.
struct Machine
{
    KCirradProcess cirrad;
    std::unique_ptr<KCirraClient> shell;

    bool start(const QString &name, const std::string &device)
    {
        if (!KMosquittoProcess::writeCredentials(cirrad.stateDir(), QStringLiteral("alice"), QStringLiteral("pw")))
            return false;
        cirrad.setSocketPath(g_work->filePath(name));
        if (!cirrad.start({QStringLiteral("--broker"), g_broker->url()}))
            return false;
        shell = std::make_unique<KCirraClient>(cirrad.socketPath());
        CirraHello h;
        h.protocolVersion = KCirraRecords::kProtocolVersion;
        h.appName = "bench_federationbytes";
        h.appVersion = "1.0";
        h.userId = "alice";
        h.deviceId = device;
        h.deviceName = device;
        return shell->open(h);
    }
    int call(const std::string &method, std::map<std::string, std::string> args, QJsonObject *answer = nullptr)
    {
        CirraIpcArg arg;
        arg.method = method;
        arg.argMap = std::move(args);
        CirraReply reply;
        KCirraRecord record;
        if (!shell->call(QStringLiteral("cirraIpcCall"), KCirraRecord::make(arg), &reply, &record) || !reply.ok)
            return -1;
        shell->takeEvents();
        const auto *result = record.as<CirraIpcResult>();
        if (answer)
            *answer = QJsonDocument::fromJson(QByteArray::fromStdString(result->resultString)).object();
        return result->state;
    }
    bool sees(const QString &device)
    {
        QJsonObject answer;
        call("getSoftBussDeviceList", {{"status", "0"}}, &answer);
        for (const QJsonValue &d : answer.value(QStringLiteral("data"))[QStringLiteral("devices")].toArray()) {
            if (d[QStringLiteral("device_id")].toString() == device && d[QStringLiteral("status")].toInt() == 1)
                return true;
        }
        return false;
    }
};

std::unique_ptr<Machine> g_a;
std::unique_ptr<Machine> g_b;

bool machinesUp()
{
    if (g_a)
        return true;
    g_a = std::make_unique<Machine>();
    g_b = std::make_unique<Machine>();
    return g_a->start(QStringLiteral("a.sock"), "devA") && g_b->start(QStringLiteral("b.sock"), "devB")
           && kzBenchWaitUntil([] { return g_a->sees(QStringLiteral("devB")); }, 30000);
}

// `mib` MiB in lines of one chunk each (the newline is the last byte of each), made once per size.
QString payload(int mib)
{
    const QString path = g_work->filePath(QStringLiteral("payload-%1.bin").arg(mib));
    if (QFileInfo(path).size() == qint64(mib) << 20)
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray line(KCirraFederationRecord::kChunkBytes, Qt::Uninitialized);
    for (int i = 0; i < line.size(); ++i)
        line[i] = char('a' + i % 26);
    line[line.size() - 1] = '\n';
    for (qint64 left = qint64(mib) << 20; left > 0; left -= line.size())
        file.write(line.constData(), qMin<qint64>(left, line.size()));
    return path;
}

void cirrad(benchmark::State &state)
{
    const int mib = int(state.range(0));
    const QString path = payload(mib);
    if (path.isEmpty() || !machinesUp())
        return state.SkipWithError("the two machines did not come up");
    const QString received = g_b->cirrad.stateDir() + QStringLiteral("/relay/alice/devB/") + QFileInfo(path).fileName();
    qint64 cpuMs = 0;
    for (auto _ : state) {
        QFile::remove(received);
        const qint64 cpuBefore = cpuOf({g_a->cirrad.process().processId(), g_b->cirrad.process().processId()});
        QElapsedTimer t;
        t.start();
        if (g_a->call("sendFileToDevice", {{"path", path.toStdString()}, {"deviceId", "devB"}, {"ownerId", "bench"}})
            != 0)
            return state.SkipWithError("the file task was refused");
        if (!kzBenchWaitUntil([&] { return QFileInfo::exists(received); }, 600000))
            return state.SkipWithError("the file did not arrive");
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        cpuMs += cpuOf({g_a->cirrad.process().processId(), g_b->cirrad.process().processId()}) - cpuBefore;
        if (QFileInfo(received).size() != QFileInfo(path).size())
            return state.SkipWithError("the file arrived with another size");
    }
    state.SetBytesProcessed(state.iterations() * (qint64(mib) << 20));
    state.counters["cpu_ms"] = benchmark::Counter(double(cpuMs), benchmark::Counter::kAvgIterations);
}

void mosquitto(benchmark::State &state)
{
    const int mib = int(state.range(0));
    const QString path = payload(mib);
    const qint64 messages =
        ((qint64(mib) << 20) + KCirraFederationRecord::kChunkBytes - 1) / KCirraFederationRecord::kChunkBytes;
    const QString dir = QFileInfo(KMosquittoProcess::program()).absolutePath();
    // A throw-away account of a private broker: its password may stand on these command lines.
    const QStringList common{
        QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(g_broker->port()),
        QStringLiteral("-u"), QStringLiteral("alice"),     QStringLiteral("-P"), QStringLiteral("pw"),
        QStringLiteral("-q"), QStringLiteral("1"),         QStringLiteral("-t"), QStringLiteral("kz/alice/bench")};
    qint64 cpuMs = 0;
    for (auto _ : state) {
        const qint64 cpuBefore = cpuOf({});
        QProcess sub;
        sub.setProcessChannelMode(QProcess::MergedChannels);
        // Line-buffered, so its "Subscribed" line arrives while it waits.
        sub.start(QStandardPaths::findExecutable(QStringLiteral("stdbuf")),
                  QStringList{QStringLiteral("-oL"), QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub"))}
                      + common
                      + QStringList{QStringLiteral("-d"), QStringLiteral("-C"), QString::number(messages),
                                    QStringLiteral("-F"), QStringLiteral("%l")});
        QByteArray out;
        const bool subscribed = kzBenchWaitUntil(
            [&] {
                out += sub.readAll();
                return out.contains("Subscribed");
            },
            30000);
        if (!subscribed) {
            std::fprintf(stderr, "mosquitto_sub: %s\n", out.left(2000).constData());
            return state.SkipWithError("mosquitto_sub did not subscribe");
        }
        QElapsedTimer t;
        t.start();
        QProcess pub;
        pub.setStandardInputFile(path);
        pub.start(QStandardPaths::findExecutable(QStringLiteral("mosquitto_pub")),
                  common + QStringList{QStringLiteral("-l")});
        // Drained as it goes: one length line and one debug line per message.
        const bool done = kzBenchWaitUntil(
            [&] {
                sub.readAll();
                return sub.state() == QProcess::NotRunning;
            },
            600000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        pub.waitForFinished(30000);
        cpuMs += cpuOf({}) - cpuBefore;
        if (!done || sub.exitCode() != 0)
            return state.SkipWithError("mosquitto_sub did not get every message");
    }
    state.SetBytesProcessed(state.iterations() * (qint64(mib) << 20));
    state.counters["cpu_ms"] = benchmark::Counter(double(cpuMs), benchmark::Counter::kAvgIterations);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (KMosquittoProcess::program().isEmpty() || KCirradProcess::program().isEmpty()) {
        std::fprintf(stderr, "mosquitto or cirrad is missing\n");
        return 1;
    }
    QTemporaryDir work;
    KMosquittoProcess broker;
    broker.addUser(QStringLiteral("alice"), QStringLiteral("pw"));
    QString error;
    if (!broker.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    g_broker = &broker;
    g_work = &work;
    for (const int mib : {16, 256}) {
        benchmark::RegisterBenchmark("mosquitto", mosquitto)->Arg(mib)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("cirrad", cirrad)->Arg(mib)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    const int status = kzRunRatioBenchmarks(argc, argv, {{"cirrad", "mosquitto"}});
    g_a.reset();
    g_b.reset();
    return status;
}
