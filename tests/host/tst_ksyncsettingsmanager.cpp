// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingstestutil.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
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

QVariantMap mappedOptions(qint64 size = 64 * 1024)
{
    return {{QStringLiteral("isUseMMap"), true}, {QStringLiteral("defaultMMapFileSize"), size}};
}

void writeArea(ISyncSettingsData *node, const QString &id, const QString &name, int items = 3)
{
    node->beginGroup(id);
    node->setValue(QStringLiteral("name"), name);
    for (int i = 0; i < items; ++i) {
        node->beginGroup(QStringLiteral("item%1").arg(i));
        node->setValue(QStringLiteral("title"), QStringLiteral("%1 tab %2").arg(name).arg(i));
        node->endGroup();
    }
    node->endGroup();
}

KSyncSettingsNode rootOf(KSyncSettings *settings)
{
    return static_cast<KSyncSettingsData *>(settings->data())->root();
}

} // namespace

class tst_KSyncSettingsManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void roundTrip_data();
    void roundTrip();
    void oneFilePerUserAndKey();
    void flushWithoutChangesTouchesNothing();
    void concurrentWritersMerge_data();
    void concurrentWritersMerge();
    void versionCallbackOnlyForOthers_data();
    void versionCallbackOnlyForOthers();
    void removeUserSettings();
    void fileDamagedWhileOpenIsRewritten();
    void groupAccessorHasItsOwnCursor();
    void mappedRecordGrowsAndReportsOverSize();
    void lockHeldElsewhereFailsAndRetries();
    void staleTemporariesRemoved();
    void hostileNames_data();
    void hostileNames();
    void symlinkedUserDirRefused();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString root() const { return m_dir->path() + QStringLiteral("/root"); }
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
    QTest::newRow("plain, five saves") << false << 5;
    QTest::newRow("mapped, one save") << true << 1;
    // Alternates slots: the third save overwrites the first slot.
    QTest::newRow("mapped, five saves") << true << 5;
}

void tst_KSyncSettingsManager::roundTrip()
{
    QFETCH(bool, mapped);
    QFETCH(int, saves);
    KSyncSettingsNode expected;
    quint64 generation = 0;
    {
        KSyncSettingsManager manager(root());
        KSyncSettings *s = manager.getUserSettings(kUser, kKey, mapped ? mappedOptions() : QVariantMap());
        QVERIFY(s);
        for (int i = 0; i < saves; ++i) {
            writeArea(s->data(), QStringLiteral("17000000%1").arg(i), QStringLiteral("Area \u00e9 %1").arg(i));
            s->data()->setValue(QStringLiteral("lastActiveWorkAreaId"), QString::number(i));
            QCOMPARE(s->flush(), KSyncSettings::Ok);
        }
        expected = rootOf(s);
        generation = s->generation();
        QCOMPARE(generation, quint64(saves));
    }
    KSyncSettingsManager again(root());
    KSyncSettings *s = again.getUserSettings(kUser, kKey);
    QCOMPARE(rootOf(s), expected);
    QCOMPARE(s->generation(), generation);
    QVERIFY(!s->hasPendingChanges());
}

void tst_KSyncSettingsManager::oneFilePerUserAndKey()
{
    KSyncSettingsManager manager(root());
    KSyncSettings *a = manager.getUserSettings(kUser, kKey);
    QCOMPARE(manager.getUserSettings(kUser, kKey, mappedOptions()), a); // same object, first options stay
    QVERIFY(!a->isUseMMap());
    KSyncSettings *residual = manager.getUserSettings(kUser, QStringLiteral("{6f1c}"), mappedOptions());
    KSyncSettings *other = manager.getUserSettings(QStringLiteral("bob"), kKey);
    for (KSyncSettings *s : {a, residual, other}) {
        s->data()->setValue(QStringLiteral("k"), s->settingsKey());
        QCOMPARE(s->flush(), KSyncSettings::Ok);
    }
    QCOMPARE(manager.getSettingsKey(kUser, kKey), QStringLiteral("ann/workarea"));
    QCOMPARE(residual->filePath(), manager.getDefaultSyncCfgFilePath(kUser, QStringLiteral("{6f1c}")));
    QCOMPARE(QDir(root() + QStringLiteral("/ann")).entryList(QDir::Files),
             (QStringList{QStringLiteral("workarea.cfg"), QStringLiteral("{6f1c}.cfg")}));
    QCOMPARE(QDir(root() + QStringLiteral("/bob")).entryList(QDir::Files), QStringList{QStringLiteral("workarea.cfg")});
}

void tst_KSyncSettingsManager::flushWithoutChangesTouchesNothing()
{
    auto io = QSharedPointer<KFaultyFileIo>::create();
    KSyncSettingsManager manager(root());
    manager.setFileIo(io);
    KSyncSettings *s = manager.getUserSettings(kUser, kKey);
    s->data()->setValue(QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(manager.getPendingSettings(), QList<KSyncSettings *>{s});
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QVERIFY(manager.getPendingSettings().isEmpty());
    io->reset();
    s->data()->setValue(QStringLiteral("k"), QStringLiteral("v")); // same value: no change
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QVERIFY(io->calls.isEmpty());
}

void tst_KSyncSettingsManager::concurrentWritersMerge_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::newRow("plain") << false;
    QTest::newRow("mapped") << true;
}

// Two writers that each saw the same old record: neither loses the other's
// work areas; a key both set ends with the later save; a removal survives.
void tst_KSyncSettingsManager::concurrentWritersMerge()
{
    QFETCH(bool, mapped);
    const QVariantMap options = mapped ? mappedOptions() : QVariantMap();
    {
        KSyncSettingsManager seed(root());
        KSyncSettings *s = seed.getUserSettings(kUser, kKey, options);
        writeArea(s->data(), QStringLiteral("old"), QStringLiteral("Old"));
        writeArea(s->data(), QStringLiteral("doomed"), QStringLiteral("Doomed"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
    }
    KSyncSettingsManager one(root());
    KSyncSettingsManager two(root());
    KSyncSettings *a = one.getUserSettings(kUser, kKey, options);
    KSyncSettings *b = two.getUserSettings(kUser, kKey, options);
    writeArea(a->data(), QStringLiteral("fromA"), QStringLiteral("A"));
    a->data()->setValue(QStringLiteral("lastActiveWorkAreaId"), QStringLiteral("fromA"));
    a->data()->removeGroups({QStringLiteral("doomed")});
    writeArea(b->data(), QStringLiteral("fromB"), QStringLiteral("B"));
    b->data()->setValue(QStringLiteral("lastActiveWorkAreaId"), QStringLiteral("fromB"));
    QCOMPARE(a->flush(), KSyncSettings::Ok);
    QCOMPARE(b->flush(), KSyncSettings::Ok);

    KSyncSettingsManager reader(root());
    ISyncSettingsData *node = reader.getUserSettings(kUser, kKey)->data();
    QCOMPARE(node->childGroups(), (QStringList{QStringLiteral("fromA"), QStringLiteral("fromB"), QStringLiteral("old")}));
    QCOMPARE(node->value(QStringLiteral("lastActiveWorkAreaId")), QStringLiteral("fromB"));
    QCOMPARE(rootOf(b), rootOf(reader.getUserSettings(kUser, kKey)));
}

void tst_KSyncSettingsManager::versionCallbackOnlyForOthers_data()
{
    concurrentWritersMerge_data();
}

void tst_KSyncSettingsManager::versionCallbackOnlyForOthers()
{
    QFETCH(bool, mapped);
    const QVariantMap options = mapped ? mappedOptions() : QVariantMap();
    KSyncSettingsManager one(root());
    KSyncSettingsManager two(root());
    KSyncSettings *a = one.getUserSettings(kUser, kKey, options);
    KSyncSettings *b = two.getUserSettings(kUser, kKey, options);
    QList<int> seenByA;
    QList<int> seenByB;
    a->setChangeCallback([&](int kind, int) {
        seenByA.append(kind);
        return true;
    });
    b->setChangeCallback([&](int kind, int) {
        seenByB.append(kind);
        return true;
    });

    for (int round = 1; round <= 3; ++round) {
        a->data()->setValue(QStringLiteral("round"), QString::number(round));
        QCOMPARE(a->flush(), KSyncSettings::Ok);
        QTRY_COMPARE(seenByB.size(), round);
        QCOMPARE(b->data()->value(QStringLiteral("round")), QString::number(round));
    }
    QCOMPARE(seenByB, (QList<int>{KSyncSettings::VersionChanged, KSyncSettings::VersionChanged,
                                  KSyncSettings::VersionChanged}));
    QTest::qWait(100); // time enough for a wrong echo of A's own saves
    QVERIFY2(seenByA.isEmpty(), "a process is told about its own saves");
    QVERIFY(!b->hasPendingChanges());
}

void tst_KSyncSettingsManager::removeUserSettings()
{
    KSyncSettingsManager one(root());
    KSyncSettingsManager two(root());
    KSyncSettings *a = one.getUserSettings(kUser, QStringLiteral("r1"));
    a->data()->setValue(QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(a->flush(), KSyncSettings::Ok);
    KSyncSettings *b = two.getUserSettings(kUser, QStringLiteral("r1"));
    int changes = 0;
    b->setChangeCallback([&](int, int) {
        ++changes;
        return true;
    });

    QVERIFY(one.removeUserSettings(kUser, QStringLiteral("r1")));
    QVERIFY(!QFile::exists(a->filePath()));
    QVERIFY(rootOf(a).isEmpty() && !a->hasPendingChanges());
    QTRY_COMPARE(changes, 1);
    QVERIFY(rootOf(b).isEmpty());
    QVERIFY(one.removeUserSettings(kUser, QStringLiteral("never-written")));
    QVERIFY(!QFile::exists(one.getDefaultSyncCfgFilePath(kUser, QStringLiteral("never-written"))));
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
    int changes = 0;
    s->setChangeCallback([&](int, int) {
        ++changes;
        return true;
    });
    KSettingsLogCapture log;
    QFile file(s->filePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a settings file");
    file.close();
    QTRY_COMPARE(log.count(QStringLiteral("moved aside")), 1);
    QCOMPARE(rootOf(s), held);
    QVERIFY(s->hasPendingChanges());
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    KSyncSettingsManager reader(root());
    QCOMPARE(rootOf(reader.getUserSettings(kUser, kKey)), held);
    QCOMPARE(QDir(QFileInfo(s->filePath()).path()).entryList({QStringLiteral("workarea.cfg.bad-*")}).size(), 1);
    QCOMPARE(changes, 0);
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
        QVERIFY(s->hasPendingChanges());
    } // the manager saves on its way out
    QCOMPARE(accessor->value(QStringLiteral("k"), QStringLiteral("gone")), QStringLiteral("gone"));
    accessor->setValue(QStringLiteral("k"), QStringLiteral("ignored"));
    KSyncSettingsManager again(root());
    ISyncSettingsData *node = again.getUserSettings(kUser, kKey)->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    QCOMPARE(node->value(QStringLiteral("k")), QStringLiteral("in group"));
}

void tst_KSyncSettingsManager::mappedRecordGrowsAndReportsOverSize()
{
    KSyncSettingsManager manager(root());
    QSignalSpy overSize(&manager, &KSyncSettingsManager::settingsFileOverSize);
    KSyncSettings *s = manager.getUserSettings(kUser, QStringLiteral("big"), mappedOptions(4096));
    s->data()->setValue(QStringLiteral("small"), QStringLiteral("x"));
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QCOMPARE(QFileInfo(s->filePath()).size(), s->mappedFileSize());
    QCOMPARE(overSize.count(), 0);

    KSettingsLogCapture log;
    s->data()->setValue(QStringLiteral("large"), QString(6000, QLatin1Char('y')));
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QCOMPARE(overSize.count(), 1);
    QCOMPARE(overSize.at(0).at(0).toString(), s->filePath());
    QVERIFY(QFileInfo(s->filePath()).size() > s->mappedFileSize());
    QCOMPARE(log.count(QStringLiteral("over its limit")), 1);
    KSyncSettingsManager reader(root());
    QCOMPARE(rootOf(reader.getUserSettings(kUser, QStringLiteral("big"))), rootOf(s));
}

void tst_KSyncSettingsManager::lockHeldElsewhereFailsAndRetries()
{
    KSyncSettingsManager manager(root());
    manager.setLockTimeout(50);
    KSyncSettings *s = manager.getUserSettings(kUser, kKey);
    s->data()->setValue(QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(s->flush(), KSyncSettings::Ok);

    const int fd = ::open(QFile::encodeName(s->filePath()).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_SH), 0);
    s->data()->setValue(QStringLiteral("k"), QStringLiteral("w"));
    {
        KSettingsLogCapture log;
        QCOMPARE(s->flush(), KSyncSettings::LockError);
        QCOMPARE(log.count(QStringLiteral("timed out locking")), 1);
    }
    QVERIFY(s->hasPendingChanges());
    ::close(fd);
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    KSyncSettingsManager reader(root());
    QCOMPARE(reader.getUserSettings(kUser, kKey)->data()->value(QStringLiteral("k")), QStringLiteral("w"));
}

void tst_KSyncSettingsManager::staleTemporariesRemoved()
{
    KSyncSettingsManager manager(root());
    KSyncSettings *s = manager.getUserSettings(kUser, QStringLiteral("a"));
    const QString dir = QFileInfo(s->filePath()).path();
    const QStringList names = {QStringLiteral(".a.cfg.Xy12Za.tmp"),        // a killed writer's: removed
                               QStringLiteral(".a.cfg.cfg.Xy12Za.tmp"),    // record "a.cfg": kept
                               QStringLiteral(".a.cfg.toolongname.tmp"),   // not ours: kept
                               QStringLiteral("a.cfg.bad-20260101-000000-1")}; // quarantined: kept
    for (const QString &name : names) {
        QFile f(dir + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    s->data()->setValue(QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(s->flush(), KSyncSettings::Ok);
    QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, (QStringList{QStringLiteral(".a.cfg.cfg.Xy12Za.tmp"), QStringLiteral(".a.cfg.toolongname.tmp"),
                                QStringLiteral("a.cfg"), QStringLiteral("a.cfg.bad-20260101-000000-1")}));
}

void tst_KSyncSettingsManager::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    const auto bad = [](const char *row, const QString &name) { QTest::newRow(row) << name << false; };
    bad("empty", QString());
    bad("dot", QStringLiteral("."));
    bad("dot dot", QStringLiteral(".."));
    bad("three dots", QStringLiteral("..."));
    bad("hidden", QStringLiteral(".hidden"));
    bad("parent then name", QStringLiteral("../x"));
    bad("parent twice", QStringLiteral("../../etc"));
    bad("name then parent", QStringLiteral("a/.."));
    bad("slash", QStringLiteral("a/b"));
    bad("leading slash", QStringLiteral("/etc/passwd"));
    bad("trailing slash", QStringLiteral("a/"));
    bad("only slash", QStringLiteral("/"));
    bad("backslash", QStringLiteral("a\\b"));
    bad("backslash parent", QStringLiteral("..\\x"));
    bad("nul inside", QString::fromUtf8("a\0b", 3));
    bad("nul only", QString(QChar(0)));
    bad("nul then parent", QString::fromUtf8("\0../x", 5));
    bad("newline", QStringLiteral("a\nb"));
    bad("carriage return", QStringLiteral("a\rb"));
    bad("tab", QStringLiteral("a\tb"));
    bad("escape", QStringLiteral("a\x1b[31m"));
    bad("delete char", QStringLiteral("a\x7f"));
    bad("space", QStringLiteral("a b"));
    bad("leading space", QStringLiteral(" a"));
    bad("tilde", QStringLiteral("~"));
    bad("tilde user", QStringLiteral("~root"));
    bad("dollar", QStringLiteral("$HOME"));
    bad("star", QStringLiteral("*"));
    bad("question", QStringLiteral("a?"));
    bad("colon", QStringLiteral("a:b"));
    bad("semicolon", QStringLiteral("a;rm"));
    bad("pipe", QStringLiteral("a|b"));
    bad("quote", QStringLiteral("a\"b"));
    bad("apostrophe", QStringLiteral("a'b"));
    bad("backtick", QStringLiteral("`id`"));
    bad("percent encoded parent", QStringLiteral("%2e%2e%2fx"));
    bad("angle brackets", QStringLiteral("<a>"));
    bad("hash", QStringLiteral("a#b"));
    bad("fullwidth dots", QStringLiteral("\uff0e\uff0e"));
    bad("fullwidth slash", QStringLiteral("a\uff0fb"));
    bad("division slash", QStringLiteral("a\u2215b"));
    bad("e acute", QStringLiteral("caf\u00e9"));
    bad("emoji", QStringLiteral("\U0001F600"));
    bad("right-to-left override", QStringLiteral("a\u202egfc.exe"));
    bad("zero width space", QStringLiteral("a\u200bb"));
    bad("byte order mark", QStringLiteral("\ufeffa"));
    bad("replacement char from bad utf-8", QString::fromUtf8("a\xff\xfe"));
    bad("overlong utf-8 slash", QString::fromUtf8("a\xc0\xaf" "b"));
    bad("lone high surrogate", QString(QChar(0xd800)));
    bad("lone low surrogate", QStringLiteral("a") + QChar(0xdc00));
    bad("129 chars", QString(KSyncSettingsManager::MaxNameLength + 1, QLatin1Char('a')));
    bad("255 chars", QString(255, QLatin1Char('a')));
    bad("4096 chars", QString(4096, QLatin1Char('a')));
    bad("long parent chain", QStringLiteral("../").repeated(100));
    const auto good = [](const char *row, const QString &name) { QTest::newRow(row) << name << true; };
    good("uuid in braces", QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    good("mail address", QStringLiteral("ann+work@example.com"));
    good("dots inside", QStringLiteral("a..b"));
    good("trailing dot", QStringLiteral("a."));
    good("128 chars", QString(KSyncSettingsManager::MaxNameLength, QLatin1Char('z')));
    good("default", QStringLiteral("default"));
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
        KSyncSettings *s = manager.getUserSettings(user, key, asUser ? QVariantMap() : mappedOptions(4096));
        QCOMPARE(s != nullptr, accepted);
        QCOMPARE(manager.getSettingsKey(user, key).isEmpty(), !accepted);
        const QString path = manager.getDefaultSyncCfgFilePath(user, key);
        QCOMPARE(path.isEmpty(), !accepted);
        QCOMPARE(manager.removeUserSettings(user, key), accepted);
        if (!s)
            continue;
        s->data()->setValue(QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
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

void tst_KSyncSettingsManager::symlinkedUserDirRefused()
{
    const QString outside = m_dir->path() + QStringLiteral("/outside");
    QVERIFY(QDir().mkpath(outside));
    QVERIFY(QDir().mkpath(root()));
    QVERIFY(QFile::link(outside, root() + QLatin1Char('/') + kUser));
    KSyncSettingsManager manager(root());
    KSettingsLogCapture log;
    QVERIFY(!manager.getUserSettings(kUser, kKey));
    QCOMPARE(log.count(QStringLiteral("not a directory")), 1);
    QVERIFY(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsManager)
#include "tst_ksyncsettingsmanager.moc"
