// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// One settings lookup in a file of N keys: KProductConfig::settingsValue
// (reads and parses the whole file on every call) next to QSettings on a
// file it has not cached yet, which is what a fresh process pays.
#include "kproductconfig.h"
#include "kzbenchratio.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *g_dir = nullptr;

QString writeSettings(const QString &path, int keys)
{
    QSettings writer(path, QSettings::IniFormat);
    writer.beginGroup(QStringLiteral("6.0"));
    for (int i = 0; i < keys; ++i)
        writer.setValue(QStringLiteral("Group%1/key %2").arg(i % 17).arg(i), QStringLiteral("value \"%1\", with text").arg(i));
    writer.setValue(QStringLiteral("Common/InstallRoot"), QStringLiteral("/opt/suite"));
    writer.endGroup();
    writer.sync();
    return path;
}

void settingsValue(benchmark::State &state)
{
    writeSettings(QString::fromStdWString(KProductConfig::settingsFilePath()), int(state.range(0)));
    for (auto _ : state) {
        std::wstring root = KProductConfig::settingsValue(L"6.0", L"Common/InstallRoot", std::wstring());
        benchmark::DoNotOptimize(root);
    }
    if (KProductConfig::settingsValue(L"6.0", L"Common/InstallRoot", std::wstring()) != L"/opt/suite")
        state.SkipWithError("wrong value");
}

void qsettingsBaseline(benchmark::State &state)
{
    const QString source = writeSettings(g_dir->filePath(QStringLiteral("source.ini")), int(state.range(0)));
    int copy = 0;
    QString root;
    for (auto _ : state) {
        state.PauseTiming();
        // A new name each time: QSettings keeps parsed files by name.
        const QString path = g_dir->filePath(QStringLiteral("copy-%1.ini").arg(++copy));
        QFile::copy(source, path);
        state.ResumeTiming();
        QSettings reader(path, QSettings::IniFormat);
        root = reader.value(QStringLiteral("6.0/Common/InstallRoot")).toString();
    }
    if (root != QLatin1String("/opt/suite"))
        state.SkipWithError("wrong value");
}

} // namespace

BENCHMARK(settingsValue)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(qsettingsBaseline)->Arg(10)->Arg(100)->Arg(1000);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    // Before the first KProductConfig call, which fixes the directory.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    QDir().mkpath(dir.filePath(QStringLiteral("config/Varnex")));
    return kzRunRatioBenchmarks(argc, argv, {{"settingsValue", "qsettingsBaseline"}});
}
