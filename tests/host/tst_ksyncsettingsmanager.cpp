// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingstestutil.h"
#include "../support/kobstacle.h"

#include <ksyncsettingsmanager.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kUser = QStringLiteral("ann");
const QString kKey = QStringLiteral("workarea");

// Sets one value and saves it.
KSyncSettings::Result put(KSyncSettings *s, const QString &key, const QString &value)
{
    s->data()->setValue(key, value);
    return s->flush();
}

// Counts the change callbacks of `s`.
void countChanges(KSyncSettings *s, QVector<int> *kinds)
{
    s->setChangeCallback([kinds](int kind, int) {
        kinds->append(kind);
        return true;
    });
}

} // namespace

class tst_KSyncSettingsManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void roundTrip_data();
    void roundTrip();
    void versionCallbackOnlyForOthers_data();
    void versionCallbackOnlyForOthers();
    void fileDamagedWhileOpenIsRewritten();
    void groupAccessorHasItsOwnCursor();
    void mappedRecordGrowsAndReportsOverSize();
    void lockHeldElsewhereFailsAndRetries();
    void hostileNames_data();
    void hostileNames();
    void obstaclesMovedAside_data();
    void obstaclesMovedAside();
    void failedSaveReportedOnce_data();
    void failedSaveReportedOnce();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString root() const { return m_dir->path() + QStringLiteral("/root"); }
    // The record as a fresh process reads it.
    KSyncSettingsNode stored(const QString &key = kKey) const
    {
        KSyncSettingsManager reader(root());
        return rootOf(reader.getUserSettings(kUser, key));
    }
};

void tst_KSyncSettingsManager::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void tst_KSyncSettingsManager::roundTrip_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<int>("saves");
    QTest::newRow("plain, one save") << false << 1;
    // Alternates slots: the third save overwrites the first slot.
    QTest::newRow("mapped, five saves") << true << 5;
}

// Saves read back whole with their generation; a flush that changes nothing
// touches no file.
void tst_KSyncSettingsManager::roundTrip()
{
    QFETCH(bool, mapped);
    QFETCH(int, saves);
    KSyncSettingsNode expected;
    {
        KSyncSettingsManager manager(root());
        KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
        QVERIFY(s);
        for (int i = 0; i < saves; ++i) {
            writeArea(s->data(), QStringLiteral("17000000%1").arg(i), QStringLiteral("Area \u00e9 %1").arg(i));
            s->data()->setValue(QStringLiteral("lastActiveWorkAreaId"), QString::number(i));
            QCOMPARE(manager.getPendingSettings(), QList<KSyncSettings *>{s});
            QCOMPARE(s->flush(), KSyncSettings::Ok);
            QVERIFY(manager.getPendingSettings().isEmpty());
        }
        expected = rootOf(s);
        QCOMPARE(s->generation(), quint64(saves));
    }
    auto io = QSharedPointer<KFaultyFileIo>::create();
    KSyncSettingsManager again(root());
    KSyncSettings *s = again.getUserSettings(kUser, kKey);
    QCOMPARE(rootOf(s), expected);
    QCOMPARE(s->generation(), quint64(saves));
    QVERIFY(!s->hasPendingChanges());
    again.setFileIo(io);
    QCOMPARE(put(s, QStringLiteral("lastActiveWorkAreaId"), QString::number(saves - 1)), KSyncSettings::Ok);
    QVERIFY(io->calls.isEmpty());
}

void tst_KSyncSettingsManager::versionCallbackOnlyForOthers_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::newRow("plain") << false;
    QTest::newRow("mapped") << true;
}

// Another process's saves and removals reach the record and its change
// callback; this process's own never do. Two writers merging their changes:
// tst_ksyncsettingsdata's merged table, tst_ksyncsettingsprocesses.
void tst_KSyncSettingsManager::versionCallbackOnlyForOthers()
{
    QFETCH(bool, mapped);
    KSyncSettingsManager one(root());
    KSyncSettingsManager two(root());
    KSyncSettings *a = one.getUserSettings(kUser, kKey, mappedOptions(mapped));
    KSyncSettings *b = two.getUserSettings(kUser, kKey, mappedOptions(mapped));
    QVector<int> seenByA;
    QVector<int> seenByB;
    countChanges(a, &seenByA);
    countChanges(b, &seenByB);
    for (int round = 1; round <= 3; ++round) {
        QCOMPARE(put(a, QStringLiteral("round"), QString::number(round)), KSyncSettings::Ok);
        QTRY_COMPARE(seenByB.size(), round);
        QCOMPARE(b->data()->value(QStringLiteral("round")), QString::number(round));
    }
    QVERIFY(!b->hasPendingChanges());
    // A removal empties the record here and there; a record never written is removed too.
    QVERIFY(one.removeUserSettings(kUser, kKey));
    QVERIFY(!QFile::exists(a->filePath()));
    QVERIFY(rootOf(a).isEmpty() && !a->hasPendingChanges());
    QTRY_COMPARE(seenByB, QVector<int>(4, KSyncSettings::VersionChanged));
    QVERIFY(rootOf(b).isEmpty());
    QVERIFY(one.removeUserSettings(kUser, QStringLiteral("never-written")));
    QVERIFY(!QFile::exists(one.getDefaultSyncCfgFilePath(kUser, QStringLiteral("never-written"))));
    // B's next save reaches A; a wrong echo of A's own saves would have come before it.
    QCOMPARE(put(b, QStringLiteral("round"), QStringLiteral("b")), KSyncSettings::Ok);
    QTRY_VERIFY(!seenByA.isEmpty());
    QVERIFY2(seenByA.size() == 1, "a process is told about its own saves");
}

// Someone else breaks the file of an open record: the file is moved aside,
// the record keeps its content and writes it again; nobody is told of a change.
void tst_KSyncSettingsManager::fileDamagedWhileOpenIsRewritten()
{
    KSyncSettingsManager manager(root());
    KSyncSettings *s = manager.getUserSettings(kUser, kKey);
    writeArea(s->data(), QStringLiteral("a1"), QStringLiteral("kept"));
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    const KSyncSettingsNode held = rootOf(s);
    QVector<int> changes;
    countChanges(s, &changes);
    KSettingsLogCapture log;
    QFile file(s->filePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a settings file");
    file.close();
    QTRY_COMPARE(log.count(QStringLiteral("moved aside")), 1);
    QCOMPARE(rootOf(s), held);
    QVERIFY(s->hasPendingChanges());
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QCOMPARE(stored(), held);
    QCOMPARE(QDir(QFileInfo(s->filePath()).path()).entryList({QStringLiteral("workarea.cfg.bad-*")}).size(), 1);
    QVERIFY(changes.isEmpty());
}

void tst_KSyncSettingsManager::groupAccessorHasItsOwnCursor()
{
    QSharedPointer<ISyncSettingsData> accessor;
    {
        KSyncSettingsManager manager(root());
        KSyncSettings *s = manager.getUserSettings(kUser, kKey);
        accessor = s->groupAccessor();
        accessor->beginGroup(QStringLiteral("IndependentDefault"));
        s->data()->beginGroup(QStringLiteral("elsewhere"));
        accessor->setValue(QStringLiteral("k"), QStringLiteral("in group"));
        QCOMPARE(s->data()->groupPath(), QStringList{QStringLiteral("elsewhere")});
        QVERIFY(!s->data()->contains(QStringLiteral("k")));
        s->data()->endGroup();
        QCOMPARE(s->data()->childGroups(), QStringList{QStringLiteral("IndependentDefault")});
    } // the manager saves on its way out
    QCOMPARE(accessor->value(QStringLiteral("k"), QStringLiteral("gone")), QStringLiteral("gone"));
    accessor->setValue(QStringLiteral("k"), QStringLiteral("ignored"));
    KSyncSettingsData node(stored());
    node.beginGroup(QStringLiteral("IndependentDefault"));
    QCOMPARE(node.value(QStringLiteral("k")), QStringLiteral("in group"));
}

void tst_KSyncSettingsManager::mappedRecordGrowsAndReportsOverSize()
{
    KSyncSettingsManager manager(root());
    QSignalSpy overSize(&manager, &KSyncSettingsManager::settingsFileOverSize);
    KSyncSettings *s = manager.getUserSettings(kUser, QStringLiteral("big"), mappedOptions());
    QCOMPARE(put(s, QStringLiteral("small"), QStringLiteral("x")), KSyncSettings::Ok);
    QCOMPARE(QFileInfo(s->filePath()).size(), s->mappedFileSize());
    QCOMPARE(overSize.count(), 0);

    KSettingsLogCapture log;
    QCOMPARE(put(s, QStringLiteral("large"), QString(6000, QLatin1Char('y'))), KSyncSettings::Ok);
    QCOMPARE(overSize.count(), 1);
    QCOMPARE(overSize.at(0).at(0).toString(), s->filePath());
    QVERIFY(QFileInfo(s->filePath()).size() > s->mappedFileSize());
    QCOMPARE(log.count(QStringLiteral("over its limit")), 1);
    QCOMPARE(stored(QStringLiteral("big")), rootOf(s));
}

void tst_KSyncSettingsManager::lockHeldElsewhereFailsAndRetries()
{
    KSyncSettingsManager manager(root());
    manager.setLockTimeout(50);
    KSyncSettings *s = manager.getUserSettings(kUser, kKey);
    QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("v")), KSyncSettings::Ok);

    const int fd = ::open(QFile::encodeName(s->filePath()).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_SH), 0);
    {
        KSettingsLogCapture log;
        QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("w")), KSyncSettings::LockError);
        QCOMPARE(log.count(QStringLiteral("timed out locking")), 1);
    }
    QVERIFY(s->hasPendingChanges());
    ::close(fd);
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QCOMPARE(KSyncSettingsData(stored()).value(QStringLiteral("k")), QStringLiteral("w"));
}

void tst_KSyncSettingsManager::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    // A whitelist of characters, a length cap and no leading dot: one row for each class of name.
    const auto row = [](const char *name, const QString &value, bool accepted) {
        QTest::newRow(name) << value << accepted;
    };
    row("empty", QString(), false);
    row("hidden", QStringLiteral(".hidden"), false);
    row("parent then name", QStringLiteral("../x"), false);
    row("slash", QStringLiteral("a/b"), false);
    row("nul inside", QString::fromUtf8("a\0b", 3), false);
    row("e acute", QStringLiteral("caf\u00e9"), false);
    row("129 chars", QString(KSyncSettingsManager::MaxNameLength + 1, QLatin1Char('a')), false);
    row("uuid in braces", QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"), true);
    row("dots inside", QStringLiteral("a..b"), true);
    row("128 chars", QString(KSyncSettingsManager::MaxNameLength, QLatin1Char('z')), true);
}

// Whatever a user id or key holds, nothing outside <root>/<user> is touched
// and a refusal is logged.
void tst_KSyncSettingsManager::hostileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(KSyncSettingsManager::isValidName(name), accepted);
    QVERIFY(QDir().mkpath(m_dir->path() + QStringLiteral("/outside/etc")));
    QFile sentinel(m_dir->path() + QStringLiteral("/outside/etc/passwd"));
    QVERIFY(sentinel.open(QIODevice::WriteOnly) && sentinel.write("keep") == 4);
    sentinel.close();
    KSyncSettingsManager manager(root() + QStringLiteral("/zelva"));
    const QString outside = m_dir->path() + QStringLiteral("/outside");
    const QStringList before = treeListing(m_dir->path());
    const QStringList outsideBefore = treeListing(outside);

    KSettingsLogCapture log;
    for (bool asUser : {true, false}) {
        const QString user = asUser ? name : kUser;
        const QString key = asUser ? kKey : name;
        KSyncSettings *s = manager.getUserSettings(user, key, mappedOptions(!asUser));
        QCOMPARE(s != nullptr, accepted);
        QCOMPARE(manager.getSettingsKey(user, key).isEmpty(), !accepted);
        const QString path = manager.getDefaultSyncCfgFilePath(user, key);
        QCOMPARE(path.isEmpty(), !accepted);
        QCOMPARE(manager.removeUserSettings(user, key), accepted);
        if (!s)
            continue;
        QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("v")), KSyncSettings::Ok);
        QCOMPARE(QFileInfo(path).path(), manager.rootDir() + QLatin1Char('/') + user);
        QCOMPARE(QFileInfo(path).fileName(), key + QStringLiteral(".cfg"));
    }
    QCOMPARE(treeListing(outside), outsideBefore);
    if (accepted) {
        QVERIFY(log.warnings.isEmpty());
    } else {
        QCOMPARE(log.count(QStringLiteral("refused")), 8); // four calls, as user and as key
        QCOMPARE(treeListing(m_dir->path()), before);
    }
    QCOMPARE(manager.getPendingSettings().size(), 0);
    QVERIFY(sentinel.open(QIODevice::ReadOnly));
    QCOMPARE(sentinel.readAll(), QByteArray("keep"));
}

void tst_KSyncSettingsManager::obstaclesMovedAside_data()
{
    addObstacleRows("record: ");
    for (const char *kind : {"garbage", "fifo", "link loop", "link out"})
        QTest::newRow(qPrintable(QStringLiteral("user folder: ") + QLatin1String(kind))) << QString::fromLatin1(kind);
}

void tst_KSyncSettingsManager::obstaclesMovedAside()
{
    QFETCH(QString, obstacle);
    const bool userFolder = QByteArray(QTest::currentDataTag()).startsWith("user");
    const QString outside = m_dir->path() + QStringLiteral("/outside");
    const QString userDir = root() + QLatin1Char('/') + kUser;
    QVERIFY(QDir().mkpath(outside) && QDir().mkpath(root()));
    const QString blocked = userFolder ? userDir : userDir + QLatin1Char('/') + kKey + QStringLiteral(".cfg");
    if (obstacle == QLatin1String("link out"))
        QVERIFY(QFile::link(outside, blocked));
    else
        KZ_MAKE_OBSTACLE(obstacle, blocked);
    KFifoWatchdog watchdog(blocked, 5000);
    KSettingsLogCapture log;
    {
        KSyncSettingsManager manager(root());
        KSyncSettings *s = manager.getUserSettings(kUser, kKey);
        QVERIFY(s);
        QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("v")), KSyncSettings::Ok);
    }
    QVERIFY2(!watchdog.released(), "blocked on a FIFO");
    QCOMPARE(log.count(QStringLiteral("moved aside")), 1);
    QCOMPARE(stored().values.value(QStringLiteral("k")), QStringLiteral("v"));
    QCOMPARE(QDir(QFileInfo(blocked).path())
                 .entryList({QFileInfo(blocked).fileName() + QStringLiteral(".bad-*")}, QDir::AllEntries | QDir::System)
                 .size(),
             1);
    QVERIFY(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void tst_KSyncSettingsManager::failedSaveReportedOnce_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<int>("failing");
    QTest::newRow("plain: the rename fails") << false << int(KSyncSettingsFileIo::Op::Rename);
    QTest::newRow("mapped: the slot's msync fails") << true << int(KSyncSettingsFileIo::Op::Msync);
}

// A failing save keeps its changes, is reported once until a save succeeds
// again, and the next flush stores them.
void tst_KSyncSettingsManager::failedSaveReportedOnce()
{
    QFETCH(bool, mapped);
    QFETCH(int, failing);
    const auto op = KSyncSettingsFileIo::Op(failing);
    KSyncSettingsManager manager(root());
    auto io = QSharedPointer<KFaultyFileIo>::create();
    manager.setFileIo(io);
    KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
    QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("0")), KSyncSettings::Ok);
    QSignalSpy failed(&manager, &KSyncSettingsManager::saveFailed);
    KSettingsLogCapture log;
    for (int i = 1; i <= 3; ++i) {
        io->reset(op, 1); // every save's first such call fails
        QCOMPARE(put(s, QStringLiteral("k"), QString::number(i)), KSyncSettings::IoError);
        QVERIFY(s->hasPendingChanges() && !s->lastError().isEmpty());
    }
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.first().first().toString(), s->filePath());
    // A whole record: the old one, or (written in place before msync failed) a newer one.
    const QString onDisk = stored().values.value(QStringLiteral("k"));
    QVERIFY2(QStringList({QStringLiteral("0"), QStringLiteral("3")}).contains(onDisk), qPrintable(onDisk));
    QVERIFY(mapped || onDisk == QLatin1String("0"));
    io->reset();
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QCOMPARE(stored().values.value(QStringLiteral("k")), QStringLiteral("3"));
    io->reset(op, 1);
    QCOMPARE(put(s, QStringLiteral("k"), QStringLiteral("4")), KSyncSettings::IoError);
    QCOMPARE(failed.size(), 2); // told again after it had recovered
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsManager)
#include "tst_ksyncsettingsmanager.moc"
