// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A recently closed document deleted in one shell until the user's other
// shell no longer lists it, against what that must cost at least:
// - deletionUntilApplied: two zelvashell processes of one user (application
//   names "bench-a" and "bench-b", B without a shell window and its
//   tab-manager panel open, so it applies others' deletions) and one cirrad;
//   shell A deletes through its script object ("removeResidualItem", as the
//   panel page does), then B is asked until its listing lost the document;
// - relayAndWrite: one raw "notifyWebPageEvent" from one cloud proxy to
//   another through the same cirrad, plus one durable write (write, fsync,
//   rename, directory fsync: kzDurableWrite, what a settings save does) of
//   the bytes of the record file the deletion rewrites.
// Target ratio <= 2. Besides the mean both report the median and the slowest
// deletion ("median_ms", "max_ms"): on a loaded machine a few stalled
// wake-ups of the three processes make most of the mean.
#include "kcirradprocess.h"
#include "kshellprocess.h"
#include "kzbenchcirrad.h"
#include "kzbenchdurablewrite.h"
#include "kzbenchwait.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvapaths.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <memory>
#include <vector>

using qoz::cirra::NotifyWebPageEventArg;

namespace {

constexpr int kDocuments = 20;
constexpr char kProfile[] = "residualsync";

KCirradProcess *g_cirrad = nullptr;
// The default record as the first deletion found it (kDocuments entries).
QByteArray g_record;

QJsonObject cmd(const QString &name, QJsonObject args = {})
{
    args.insert(QStringLiteral("cmd"), name);
    return args;
}

QString configDir()
{
    return QDir(qEnvironmentVariable("KZELVA_PROFILE_DIR"))
        .absoluteFilePath(QLatin1String(kProfile) + QStringLiteral("/config"));
}

QStringList listedIds(KShellProcess &shell)
{
    QStringList ids;
    const QJsonArray records =
        shell.call(cmd(QStringLiteral("listResidual"))).value(QStringLiteral("records")).toArray();
    for (const QJsonValue &record : records) {
        if (record.toObject().value(QStringLiteral("residualId")).toString() != QLatin1String("default"))
            continue;
        const QJsonArray items = record.toObject().value(QStringLiteral("items")).toArray();
        for (const QJsonValue &item : items)
            ids.append(item.toObject().value(QStringLiteral("id")).toString());
    }
    return ids;
}

// Tabs of the shell's first window that belong to a work area.
int itemsOfWindow(KShellProcess &shell)
{
    const QJsonArray windows =
        shell.call(cmd(QStringLiteral("listWindows"))).value(QStringLiteral("windows")).toArray();
    int count = 0;
    const QJsonArray tabs = windows.first().toObject().value(QStringLiteral("tabs")).toArray();
    for (const QJsonValue &tab : tabs)
        count += tab.toObject().value(QStringLiteral("itemId")).toString().isEmpty() ? 0 : 1;
    return count;
}

// Times each iteration; the median and the slowest go out as counters.
class IterationTimes
{
public:
    void start() { m_timer.start(); }
    void stop() { m_ms.push_back(double(m_timer.nsecsElapsed()) / 1e6); }
    void report(benchmark::State &state)
    {
        if (m_ms.empty())
            return;
        std::sort(m_ms.begin(), m_ms.end());
        const size_t n = m_ms.size();
        state.counters["median_ms"] = n % 2 ? m_ms[n / 2] : (m_ms[n / 2 - 1] + m_ms[n / 2]) / 2;
        state.counters["max_ms"] = m_ms.back();
    }

private:
    QElapsedTimer m_timer;
    std::vector<double> m_ms;
};

// The bytes of the record file the deletions rewrite; empty when there is none.
QByteArray recordBytes()
{
    QDirIterator it(configDir(), {QStringLiteral("default.cfg")}, QDir::Files, QDirIterator::Subdirectories);
    QFile file(it.hasNext() ? it.next() : QString());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Two shells of one user sharing their settings, A's default record holding
// kDocuments closed documents that B lists too.
struct Shells
{
    KShellProcess a{QLatin1String(kProfile), QStringLiteral("sync-a")};
    KShellProcess b{QLatin1String(kProfile), QStringLiteral("sync-b")};
    QStringList ids;
    QString error;

    Shells()
    {
        QDir().mkpath(configDir() + QStringLiteral("/zelva"));
        QFile ini(configDir() + QStringLiteral("/zelva/tabmanagerpanel.ini"));
        if (!ini.open(QIODevice::WriteOnly)
            || ini.write("[panel]\nenabled=true\n[config]\nresidualSettingSaveEnabled=true\n"
                         "residualItemDeleteEnabled=true\nresidualDeleteShelllessModeEnabled="
                         "true\nmaxResidualVisibilityNum=100\n")
                   < 0) {
            error = QStringLiteral("cannot write the panel settings");
            return;
        }
        ini.close();
        if (!a.start({QStringLiteral("--app-name"), QStringLiteral("bench-a")}, &error)
            || !b.start({QStringLiteral("--shellless"), QStringLiteral("--app-name"), QStringLiteral("bench-b")},
                        &error))
            return;
        // B's panel makes the part that applies the other shells' deletions.
        if (!b.call(cmd(QStringLiteral("openPanel"))).value(QStringLiteral("panel")).toBool()) {
            error = QStringLiteral("shell B opened no panel");
            return;
        }
        const QString files = configDir() + QStringLiteral("/../files");
        QDir().mkpath(files);
        for (int i = 0; i < kDocuments; ++i) {
            const QString path = QStringLiteral("%1/doc-%2.txt").arg(files).arg(i);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write("text\n") < 0) {
                error = QStringLiteral("cannot write %1").arg(path);
                return;
            }
            file.close();
            a.call(cmd(QStringLiteral("openDocument"), {{QStringLiteral("path"), path}}));
        }
        // Closed once each has its work-area item, so each close is recorded.
        if (!kzBenchWaitUntil([this] { return itemsOfWindow(a) == kDocuments + 1; }, 30000)) {
            error = QStringLiteral("shell A's documents never joined a work area");
            return;
        }
        for (int i = 0; i < kDocuments; ++i)
            a.call(cmd(QStringLiteral("closeTab"), {{QStringLiteral("tab"), 1}, {QStringLiteral("force"), true}}));
        if (!kzBenchWaitUntil([this] { return (ids = listedIds(a)).size() == kDocuments; }, 30000)) {
            error = QStringLiteral("shell A recorded %1 of %2 closed documents").arg(ids.size()).arg(kDocuments);
            return;
        }
        if (!kzBenchWaitUntil([this] { return listedIds(b).size() == kDocuments; }, 30000))
            error = QStringLiteral("shell B never listed the closed documents");
        g_record = recordBytes();
    }
};

void deletionUntilApplied(benchmark::State &state)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KZELVA_WEB_ENGINE", "0");
    if (qEnvironmentVariableIsEmpty("KZ_BIN_DIR"))
        qputenv("KZ_BIN_DIR", QFile::encodeName(QCoreApplication::applicationDirPath()));
    Shells shells;
    if (!shells.error.isEmpty()) {
        state.SkipWithError(qPrintable(shells.error));
        return;
    }
    int next = 0;
    IterationTimes times;
    for (auto _ : state) {
        times.start();
        const QString id = shells.ids.value(next++);
        const QJsonObject answer = shells.a.call(
            cmd(QStringLiteral("scriptCall"),
                {{QStringLiteral("method"), QStringLiteral("removeResidualItem")},
                 {QStringLiteral("args"), QJsonObject{{QStringLiteral("workAreaId"), QStringLiteral("default")},
                                                      {QStringLiteral("tagId"), id}}}}));
        if (answer.value(QStringLiteral("result")).toObject().value(QStringLiteral("code")).toInt(-1) != 0) {
            state.SkipWithError("shell A refused the deletion");
            break;
        }
        if (!kzBenchWaitUntil([&] { return !listedIds(shells.b).contains(id); }, 10000)) {
            state.SkipWithError("shell B never applied the deletion");
            break;
        }
        times.stop();
    }
    times.report(state);
    shells.a.quit();
    shells.b.quit();
}

std::unique_ptr<KCloudSvrProxy> connectedProxy(const QString &device, const QString &appName)
{
    auto proxy = std::make_unique<KCloudSvrProxy>();
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("local");
    info.deviceId = device;
    info.appName = appName;
    proxy->setClientInfo(info);
    kzBenchWaitUntil([&] { return proxy->isConnected(); }, 10000);
    return proxy;
}

void relayAndWrite(benchmark::State &state)
{
    auto sender = connectedProxy(QStringLiteral("bench-device"), QStringLiteral("bench-a"));
    auto receiver = connectedProxy(QStringLiteral("bench-device"), QStringLiteral("bench-b"));
    int received = 0;
    QObject::connect(receiver->cirraEventObject(), &KCirraEventObject::signal_notifyWebPageEvent,
                     [&received](const NotifyWebPageEventArg &) { ++received; });
    NotifyWebPageEventArg arg;
    arg.__set_business("crossTerminalPanel");
    arg.__set_eventName("kipc_crosstermianlpanel_eventhandle");
    arg.__set_message(R"({"appname":"bench-a","operation":"remove","param":{"tagId":"17965972173",)"
                      R"("workAreaId":"default"},"uuid":"{5a8f0c1e-1111-4c3b-9b1e-2f1d8c9a7e01}"})");
    const QByteArray bytes = g_record.isEmpty() ? QByteArray(4096, 'x') : g_record;
    const QString path = QDir::tempPath() + QStringLiteral("/kzbench-record.cfg");
    IterationTimes times;
    for (auto _ : state) {
        times.start();
        const int before = received;
        sender->asyncCall(QStringLiteral("notifyWebPageEvent"), {&arg, "NotifyWebPageEventArg"}, nullptr, QString());
        if (!kzBenchWaitUntil([&] { return received > before; }, 10000)) {
            state.SkipWithError("the relay never arrived");
            break;
        }
        if (!kzDurableWrite(path, bytes)) {
            state.SkipWithError("cannot write the record");
            break;
        }
        times.stop();
    }
    QFile::remove(path);
    times.report(state);
    state.counters["record_bytes"] = double(bytes.size());
}

} // namespace

// Iterations fixed: each deletion takes one of the documents closed before.
BENCHMARK(deletionUntilApplied)->Iterations(kDocuments)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(relayAndWrite)->Iterations(kDocuments)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return kzRunCirradBenchmarks(argc, argv, &g_cirrad, {{"deletionUntilApplied", "relayAndWrite"}});
}
