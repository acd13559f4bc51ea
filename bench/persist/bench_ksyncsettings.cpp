// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// One save of a typical work-area record through the settings service
// (serialise the node tree, lock, durable write) next to a raw write + fsync
// of the same bytes to one file, and next to the fair floor of a durable
// save: the same bytes written to a temporary file, fsynced, renamed over
// the file, the directory fsynced. Arguments: items in the work area.
#include "kzbenchdurablewrite.h"
#include "kzbenchratio.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <ksyncsettingsmanager.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

QTemporaryDir *g_dir = nullptr;
int g_run = 0;

// The keys the work-area serialiser writes for one work area and its items.
void fillWorkArea(ISyncSettingsData *node, int items)
{
    node->beginGroup(QStringLiteral("IndependentDefault"));
    node->beginGroup(QStringLiteral("17040672001"));
    const char *const areaKeys[] = {"name", "color", "deviceType", "deviceName", "isDefault", "forceSave",
                                    "activeItemId", "createDateTime", "lastRunDateTime", "posIndex", "pid"};
    for (const char *key : areaKeys)
        node->setValue(QLatin1String(key), QStringLiteral("value of %1").arg(QLatin1String(key)));
    for (int i = 0; i < items; ++i) {
        node->beginGroup(QStringLiteral("17040672%1").arg(100 + i));
        node->setValue(QStringLiteral("id"), QStringLiteral("17040672%1").arg(100 + i));
        node->setValue(QStringLiteral("title"), QStringLiteral("Quarterly report %1.qoz").arg(i));
        node->setValue(QStringLiteral("pageType"), QStringLiteral("QozPage"));
        node->setValue(QStringLiteral("bLock"), QStringLiteral("0"));
        node->setValue(QStringLiteral("bCrash"), QStringLiteral("0"));
        node->setValue(QStringLiteral("tabIndex"), QString::number(i));
        node->setValue(QStringLiteral("filePath"), QStringLiteral("~/Documents/reports/Quarterly report %1.qoz").arg(i));
        node->setValue(QStringLiteral("fileSize"), QString::number(20480 + i));
        node->setValue(QStringLiteral("suffix"), QStringLiteral("qoz"));
        node->setValue(QStringLiteral("itemType"), QStringLiteral("0"));
        node->setValue(QStringLiteral("itemCount"), QStringLiteral("1"));
        node->setValue(QStringLiteral("extend_lastClosedDateTime"), QStringLiteral("1704067200123"));
        node->endGroup();
    }
    node->endGroup();
    node->endGroup();
}

void save(benchmark::State &state, bool mapped)
{
    KSyncSettingsManager manager(g_dir->filePath(QStringLiteral("service-%1").arg(++g_run)));
    QVariantMap options;
    if (mapped)
        options = {{QStringLiteral("isUseMMap"), true}, {QStringLiteral("defaultMMapFileSize"), 2 << 20}};
    KSyncSettings *s = manager.getUserSettings(QStringLiteral("ann"), QStringLiteral("workarea"), options);
    fillWorkArea(s->data(), int(state.range(0)));
    s->flush();
    ISyncSettingsData *node = s->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    node->beginGroup(QStringLiteral("17040672001"));
    qint64 n = 0;
    for (auto _ : state) {
        node->setValue(QStringLiteral("lastRunDateTime"), QString::number(++n));
        if (s->flush() != KSyncSettings::Ok) {
            state.SkipWithError("flush failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(s->filePath()).size());
}

void settingsSave(benchmark::State &state)
{
    save(state, false);
}

void settingsSaveMapped(benchmark::State &state)
{
    save(state, true);
}

void rawWriteFsync(benchmark::State &state)
{
    KSyncSettingsData data;
    fillWorkArea(&data, int(state.range(0)));
    const QByteArray bytes = data.root().toText();
    const QByteArray path = QFile::encodeName(g_dir->filePath(QStringLiteral("raw-%1").arg(++g_run)));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0) {
            state.SkipWithError("raw write failed");
            break;
        }
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void durableReplace(benchmark::State &state)
{
    KSyncSettingsData data;
    fillWorkArea(&data, int(state.range(0)));
    const QByteArray bytes = data.root().toText();
    const QString path = g_dir->filePath(QStringLiteral("durable-%1").arg(++g_run));
    for (auto _ : state) {
        if (!kzDurableWrite(path, bytes)) {
            state.SkipWithError("durable write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(settingsSave)->Arg(10)->Arg(50)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(settingsSaveMapped)->Arg(10)->Arg(50)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(rawWriteFsync)->Arg(10)->Arg(50)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(durableReplace)->Arg(10)->Arg(50)->UseRealTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-ksyncsettings-XXXXXX"));
    g_dir = &dir;
    return kzRunRatioBenchmarks(argc, argv,
                                {{"settingsSave", "rawWriteFsync"},
                                 {"settingsSaveMapped", "rawWriteFsync"},
                                 {"settingsSave", "durableReplace"},
                                 {"settingsSaveMapped", "durableReplace"}});
}
