// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A document relayed from device A to device B through a real cirrad, in a
// private runtime directory: B asks ("batchQueryFilesTags"), A hands its
// saved file over, the transfer engine writes, syncs, checks and renames the
// copy, B gets the answer and reads the copy (as its new tab does). Against
// rawSocketFsync: the same bytes over a Unix socket from a writer thread into
// a file, one fsync, then read back. Target ratio <= 2 at 1 MiB and 64 MiB.
#include "kcirraclient.h"
#include "kcirradprocess.h"
#include "kzbenchcirrad.h"

#include <kcirracodec.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace qoz::cirra;

namespace {

KCirradProcess *g_cirrad = nullptr;
QTemporaryDir *g_files = nullptr;

QString sourceFile(qint64 size)
{
    const QString path = g_files->filePath(QStringLiteral("doc-%1.txt").arg(size));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray chunk(1024 * 1024, 'a');
    for (qint64 left = size; left > 0; left -= chunk.size())
        file.write(chunk.constData(), qMin<qint64>(left, chunk.size()));
    return path;
}

CirraHello hello(const char *device)
{
    CirraHello h;
    h.protocolVersion = KCirraRecords::kProtocolVersion;
    h.appName = "bench_cirrarelay";
    h.appVersion = "1";
    h.userId = "bench";
    h.deviceId = device;
    h.deviceName = device;
    return h;
}

KCirraRecord ipc(const std::string &method, std::map<std::string, std::string> args)
{
    CirraIpcArg arg;
    arg.method = method;
    arg.argMap = std::move(args);
    return KCirraRecord::make(arg);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void relay(benchmark::State &state)
{
    const QString path = sourceFile(state.range(0));
    KCirraClient a(g_cirrad->socketPath());
    KCirraClient b(g_cirrad->socketPath());
    if (!a.open(hello("bench-a")) || !b.open(hello("bench-b")))
        return state.SkipWithError("cannot connect");
    CirraReply reply;
    a.call(QStringLiteral("cirraIpcCall"),
           ipc("reportFileLabels", {{"tags", R"([{"uuid":"doc-1","name":"doc.txt"}])"}}), &reply);
    int n = 0;
    for (auto _ : state) {
        b.sendCall(QString::number(++n), QStringLiteral("cirraIpcCall"),
                   ipc("batchQueryFilesTags", {{"device_id", "bench-a"}, {"uuid", "doc-1"}}));
        CirraFrame frame;
        QString relayId;
        while (relayId.isEmpty() && a.readFrame(&frame, 30000)) {
            const std::string &text = frame.event.text;
            const size_t at = text.find("relayFileLabel=");
            if (frame.__isset.event && at != std::string::npos)
                relayId = QJsonDocument::fromJson(QByteArray::fromStdString(text.substr(at + 15)))
                              .object()
                              .value(QStringLiteral("relayId"))
                              .toString();
        }
        a.sendCall(QStringLiteral("r"), QStringLiteral("cirraIpcCall"),
                   ipc("relayFileLabelReady", {{"relayId", relayId.toStdString()}, {"path", path.toStdString()}}));
        do {
            if (!b.readFrame(&frame, 60000))
                return state.SkipWithError("no answer");
        } while (!frame.__isset.reply);
        CirraIpcResult result;
        KCirraCodec::decode(frame.reply.record, &result);
        const QString copy = QJsonDocument::fromJson(QByteArray::fromStdString(result.resultString))
                                 .object()
                                 .value(QStringLiteral("data"))
                                 .toObject()
                                 .value(QStringLiteral("path"))
                                 .toString();
        const QByteArray bytes = readAll(copy);
        if (bytes.size() != state.range(0))
            return state.SkipWithError("wrong copy");
        state.PauseTiming();
        QFile::remove(copy);
        a.takeEvents(); // the "done" notice and its friends
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void rawSocketFsync(benchmark::State &state)
{
    const QString path = sourceFile(state.range(0));
    const QString target = g_files->filePath(QStringLiteral("raw-copy"));
    std::vector<char> buffer(1024 * 1024);
    for (auto _ : state) {
        int fds[2];
        ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
        std::thread writer([&] {
            const int in = ::open(QFile::encodeName(path).constData(), O_RDONLY);
            std::vector<char> chunk(1024 * 1024);
            ssize_t n;
            while ((n = ::read(in, chunk.data(), chunk.size())) > 0)
                for (ssize_t off = 0; off < n;)
                    off += ::write(fds[0], chunk.data() + off, size_t(n - off));
            ::close(in);
            ::close(fds[0]);
        });
        const int out = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ssize_t n;
        while ((n = ::read(fds[1], buffer.data(), buffer.size())) > 0)
            (void)!::write(out, buffer.data(), size_t(n));
        ::fsync(out);
        ::close(out);
        ::close(fds[1]);
        writer.join();
        if (readAll(target).size() != state.range(0))
            return state.SkipWithError("wrong copy");
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(relay)->Arg(1 << 20)->Arg(64 << 20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(rawSocketFsync)->Arg(1 << 20)->Arg(64 << 20)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QTemporaryDir files(QStringLiteral("/tmp/kzbench-files-XXXXXX"));
    g_files = &files;
    return kzRunCirradBenchmarks(argc, argv, &g_cirrad, {{"relay", "rawSocketFsync"}});
}
