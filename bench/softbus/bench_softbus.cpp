// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The SoftBus path against its floor, side by side:
// - proxyDeviceList: KCommunicatorProxy::getDeviceInfoList of 20 devices
//   (request, reply with the cobId, result as a broadcast line, decoding);
// - plainRoundTrip: one "cirraIpcCall" round trip through the same host proxy
//   and cirrad carrying the same bytes (the request's content plus the
//   answer's text as arguments).
// - fileTask/<MiB>: a file task from this device to another one through
//   cirrad (chunks, ".part", fsync, rename) until the sender hears it done,
//   the received bytes checked by SHA-256 against the source;
// - socketCopy/<MiB>: the physical limit measured in the same run: the same
//   bytes copied through a Unix socket pair into a file plus one fsync.
#include "kcirradprocess.h"
#include "kcommunicatorproxy.h"
#include "kzbenchratio.h"

#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

QString g_stateDir;
QTemporaryDir *g_files = nullptr;
qint64 g_cirradPid = 0;

// CPU time (user + system) in ms of process `pid` (0: this one, every thread).
double cpuMs(qint64 pid)
{
    if (!pid) {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
               + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // Fields 14 and 15 (utime, stime) in clock ticks, counted after the command's closing parenthesis.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? (fields.at(11).toDouble() + fields.at(12).toDouble()) * 1e3 / ::sysconf(_SC_CLK_TCK)
                              : 0;
}

// A source of `mib` MiB (made once per size) and its SHA-256.
QString sourceOf(int mib, QByteArray *sha256)
{
    static QHash<int, QByteArray> hashes;
    const QString path = g_files->filePath(QStringLiteral("source-%1.bin").arg(mib));
    if (!hashes.contains(mib)) {
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        if (file.open(QIODevice::WriteOnly)) {
            for (int i = 0; i < mib; ++i) {
                for (int j = 0; j < chunk.size(); j += 4096)
                    chunk[j] = char(i * 31 + j / 4096);
                file.write(chunk);
                hash.addData(chunk);
            }
            // On disk before either side runs: neither pays for the source's write-back.
            file.flush();
            ::fsync(file.handle());
        }
        // The VM backs guest memory on first use: a scratch file of the same size touches the page cache
        // once, so the first side to run does not pay for it alone.
        QFile scratch(g_files->filePath(QStringLiteral("scratch.bin")));
        if (scratch.open(QIODevice::WriteOnly)) {
            for (int i = 0; i < mib; ++i)
                scratch.write(chunk);
            scratch.close();
            scratch.remove();
        }
        hashes.insert(mib, hash.result());
    }
    *sha256 = hashes.value(mib);
    return path;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result();
}

void fileTask(benchmark::State &state)
{
    QByteArray sha256;
    const QString source = sourceOf(int(state.range(0)), &sha256);
    const QString received = g_stateDir + QStringLiteral("/relay/bench/dev-1/") + QFileInfo(source).fileName();
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();
    int last = -1;
    static bool listening = false;
    static int *lastState = nullptr;
    lastState = &last;
    if (!listening) {
        listening = true;
        proxy->listenFileTaskInfo("bench", [](int code, const Protocol::KFileTaskInfo &info) {
            if (code == 0 && info.isSender && lastState)
                *lastState = info.state;
            return Export::Alive;
        });
    }
    Completion started;
    CirraIpcArg arg;
    arg.method = "sendFileToDevice";
    arg.argMap = {{"path", source.toStdString()}, {"deviceId", "dev-1"}, {"ownerId", "bench"}};
    const double cpuBefore = cpuMs(g_cirradPid);
    for (auto _ : state) {
        last = -1;
        zelvaApp->cloudSvrProxy()->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, &started,
                                             QStringLiteral("onResult"));
        spinUntil([&] { return last >= 3; });
        state.PauseTiming();
        const bool equal = last == 3 && fileHash(received) == sha256;
        QFile::remove(received);
        state.ResumeTiming();
        if (!equal) {
            state.SkipWithError("the received file differs from the source");
            break;
        }
    }
    lastState = nullptr;
    // What the transfer costs the machine, whatever else runs on it: cirrad's CPU time per file
    // (the hash check afterwards is this process's).
    state.counters["cpu_ms"] = (cpuMs(g_cirradPid) - cpuBefore) / double(state.iterations());
    state.SetBytesProcessed(state.iterations() * state.range(0) << 20);
}

void socketCopy(benchmark::State &state)
{
    QByteArray sha256;
    const QString source = sourceOf(int(state.range(0)), &sha256);
    const QString target = g_files->filePath(QStringLiteral("copy.bin"));
    const double cpuBefore = cpuMs(0);
    for (auto _ : state) {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) {
            state.SkipWithError("no socket pair");
            break;
        }
        std::thread writer([&] {
            const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY);
            QByteArray buffer(1 << 20, Qt::Uninitialized);
            for (ssize_t n; in >= 0 && (n = ::read(in, buffer.data(), size_t(buffer.size()))) > 0;) {
                for (ssize_t off = 0; off < n;) {
                    const ssize_t w = ::write(pair[0], buffer.constData() + off, size_t(n - off));
                    if (w <= 0)
                        break;
                    off += w;
                }
            }
            if (in >= 0)
                ::close(in);
            ::close(pair[0]);
        });
        const int out = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (ssize_t n; (n = ::read(pair[1], buffer.data(), size_t(buffer.size()))) > 0;) {
            if (::write(out, buffer.constData(), size_t(n)) != n)
                break;
        }
        ::fsync(out);
        ::close(out);
        ::close(pair[1]);
        writer.join();
    }
    QFile::remove(target);
    state.counters["cpu_ms"] = (cpuMs(0) - cpuBefore) / double(state.iterations());
    state.SetBytesProcessed(state.iterations() * state.range(0) << 20);
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
// 256 MiB is the size cap of a task; two runs each keep the whole program within a few minutes.
BENCHMARK(fileTask)->Arg(16)->Arg(256)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(socketCopy)->Arg(16)->Arg(256)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QTemporaryDir profile(QStringLiteral("/tmp/kzbench-XXXXXX"));
    kzBenchPrivateSession(profile);
    qputenv("KZELVA_CIRRAD", "");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KZelvaApplication app(argc, argv);
    QTemporaryDir files(QStringLiteral("/tmp/kzbench-files-XXXXXX"));
    g_files = &files;
    KCirradProcess cirrad;
    g_stateDir = cirrad.stateDir();
    QString error;
    if (!cirrad.start({}, &error)) {
        std::fprintf(stderr, "cannot start cirrad: %s\n", qPrintable(error));
        return 1;
    }
    g_cirradPid = cirrad.process().processId();
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
    // The receiving device of the file tasks: online while its client is connected.
    KCloudSvrProxy receiver;
    info.deviceId = QStringLiteral("dev-1");
    info.deviceName = QStringLiteral("Desk 1");
    receiver.setClientInfo(info);
    spinUntil([&] { return receiver.isConnected(); });
    const int result = kzRunRatioBenchmarks(
        argc, argv,
        {{"proxyDeviceList", "plainRoundTrip"}, {"proxyOnline", "plainRoundTrip"}, {"fileTask", "socketCopy"}});
    cirrad.stop();
    return result;
}

#include "bench_softbus.moc"
