// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Restore at start: the user's "workarea" record with N work areas of 50
// items each, opened from disk by a fresh settings service and read back
// into work-area and item records, next to reading the same file and
// parsing its bytes with QJsonDocument; and the save of every work area
// into the open record, flushed to disk, next to writing the same tree as
// JSON durably (temporary file, fsync, rename, directory fsync). Arguments:
// work areas.
#include "kzbenchdurablewrite.h"
#include "kzbenchratio.h"

#include "kzelvaworkareaserializer.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kItemsPerWorkArea = 50;
// Plain record files carry a 40-byte header before the node tree's text.
constexpr int kPlainHeaderSize = 40;

QTemporaryDir *g_dir = nullptr;

QString rootFor(int workAreas)
{
    return g_dir->filePath(QStringLiteral("restore-%1").arg(workAreas));
}

QList<KZelvaWorkAreaStoreState> workAreaStates(int workAreas)
{
    QList<KZelvaWorkAreaStoreState> states;
    for (int w = 0; w < workAreas; ++w) {
        KZelvaWorkAreaStoreState state;
        state.data.id = QStringLiteral("1704067%1").arg(2000 + w);
        state.data.name = QStringLiteral("Work area %1").arg(w);
        state.data.deviceType = QStringLiteral("PC");
        state.data.deviceName = QStringLiteral("desk");
        state.data.pid = QStringLiteral("4242");
        for (int i = 0; i < kItemsPerWorkArea; ++i) {
            KZelvaWorkAreaStoreState::Item item;
            item.record.id = QStringLiteral("17040%1%2").arg(10000 + w).arg(100 + i);
            item.record.title = QStringLiteral("Quarterly report %1.qoz").arg(i);
            item.record.pageType = 3;
            item.record.tabIndex = i;
            item.record.filePath = QStringLiteral("/home/user/Documents/reports/Quarterly report %1.qoz").arg(i);
            item.record.fileSize = QString::number(20480 + i);
            item.record.suffix = QStringLiteral("qoz");
            item.record.extMap.insert(QStringLiteral("fileName"), item.record.title);
            item.groupId = item.record.id;
            // Kept across saves, as a work area's items keep theirs.
            item.written = std::make_shared<KZelvaWorkAreaStoreState::Written>();
            state.items.append(item);
        }
        states.append(state);
    }
    return states;
}

QString writeRecord(int workAreas)
{
    KSyncSettingsManager manager(rootFor(workAreas));
    KSyncSettings *record = manager.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    ISyncSettingsData *node = record->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    QList<KZelvaWorkAreaStoreState> states = workAreaStates(workAreas);
    for (KZelvaWorkAreaStoreState &state : states)
        KZelvaWorkAreaSerializer::Serialize(node, &state, KZelvaWorkAreaSerializer::Options());
    record->flush();
    return record->filePath();
}

// A service is opened once at start and closed at exit, so its teardown
// is no part of a restore. It is also mostly a wait: the kernel takes 10 to
// 20 ms to close the directory watcher's inotify descriptor, which swamped
// the figures. Dropping the record tree costs CPU too, see docs/settings.md.
void closeUntimed(benchmark::State &state, std::unique_ptr<KSyncSettingsManager> *manager)
{
    state.PauseTiming();
    manager->reset();
    state.ResumeTiming();
}

// Reads every work area and its items as the plug-in does at start; the
// number of items read.
qint64 readAllWorkAreas(ISyncSettingsData *node)
{
    qint64 items = 0;
    const QStringList groups = node->childGroups();
    for (const QString &group : groups) {
        node->beginGroup(group);
        KZelvaWorkAreaData data;
        KZelvaWorkAreaSerializer::UnSerialize(node, &data);
        items += KZelvaWorkAreaSerializer::readItems(node, false).size();
        node->endGroup();
    }
    return items;
}

void restore(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    writeRecord(workAreas);
    qint64 items = 0;
    for (auto _ : state) {
        auto manager = std::make_unique<KSyncSettingsManager>(rootFor(workAreas));
        KSyncSettings *record = manager->getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
        ISyncSettingsData *node = record->data();
        node->beginGroup(QStringLiteral("IndependentDefault"));
        items += readAllWorkAreas(node);
        benchmark::DoNotOptimize(items);
        closeUntimed(state, &manager);
    }
    if (items != qint64(state.iterations()) * workAreas * kItemsPerWorkArea)
        state.SkipWithError("restore read back the wrong number of items");
}

// The two halves of restore: the settings service opening the record, and
// the plug-in reading work areas and items from the opened record.
void openRecord(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    writeRecord(workAreas);
    for (auto _ : state) {
        auto manager = std::make_unique<KSyncSettingsManager>(rootFor(workAreas));
        KSyncSettings *record = manager->getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
        benchmark::DoNotOptimize(record->data());
        closeUntimed(state, &manager);
    }
}

void readWorkAreas(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    writeRecord(workAreas);
    KSyncSettingsManager manager(rootFor(workAreas));
    ISyncSettingsData *node = manager.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"))->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    qint64 items = 0;
    for (auto _ : state) {
        items += readAllWorkAreas(node);
        benchmark::DoNotOptimize(items);
    }
}

void parseJson(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    const QString path = writeRecord(workAreas);
    qint64 objects = 0;
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const QJsonDocument doc = QJsonDocument::fromJson(bytes.mid(kPlainHeaderSize));
        objects += doc.object().size();
        benchmark::DoNotOptimize(objects);
    }
    if (objects == 0)
        state.SkipWithError("the record did not parse as JSON");
}

// Every work area changed (its pid) and written into the open record, then
// the record flushed: the save after a change that touches them all.
void save(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    writeRecord(workAreas);
    KSyncSettingsManager manager(rootFor(workAreas));
    KSyncSettings *record = manager.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    ISyncSettingsData *node = record->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    QList<KZelvaWorkAreaStoreState> states = workAreaStates(workAreas);
    qint64 n = 0;
    for (auto _ : state) {
        ++n;
        for (KZelvaWorkAreaStoreState &s : states) {
            s.data.pid = QString::number(n);
            KZelvaWorkAreaSerializer::Serialize(node, &s, KZelvaWorkAreaSerializer::Options());
        }
        if (record->flush() != KSyncSettings::Ok) {
            state.SkipWithError("flush failed");
            break;
        }
    }
}

void writeJson(benchmark::State &state)
{
    const int workAreas = int(state.range(0));
    QFile file(writeRecord(workAreas));
    file.open(QIODevice::ReadOnly);
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll().mid(kPlainHeaderSize));
    const QString path = g_dir->filePath(QStringLiteral("json-%1").arg(workAreas));
    for (auto _ : state) {
        if (!kzDurableWrite(path, doc.toJson(QJsonDocument::Compact))) {
            state.SkipWithError("durable write failed");
            break;
        }
    }
}

} // namespace

BENCHMARK(save)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(writeJson)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(restore)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(openRecord)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(readWorkAreas)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(parseJson)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    return kzRunRatioBenchmarks(
        argc, argv,
        {{"restore", "parseJson"}, {"openRecord", "parseJson"}, {"readWorkAreas", "parseJson"}, {"save", "writeJson"}});
}
