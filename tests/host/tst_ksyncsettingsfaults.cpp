// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsformat.h"
#include "ksyncsettingstestutil.h"

#include <ksyncsettingsmanager.h>

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <memory>

using Op = KSyncSettingsFileIo::Op;
using Format = KSyncSettingsFormat;

namespace {

const QString kUser = QStringLiteral("ann");
const QString kKey = QStringLiteral("workarea");

const struct
{
    Op op;
    const char *name;
} kAllOps[] = {{Op::Open, "open"},   {Op::Close, "close"},       {Op::Read, "read"},         {Op::Write, "write"},
               {Op::Fsync, "fsync"}, {Op::Rename, "rename"},     {Op::Unlink, "unlink"},     {Op::Mkdir, "mkdir"},
               {Op::Lock, "lock"},   {Op::Stat, "stat"},         {Op::Truncate, "truncate"}, {Op::Map, "map"},
               {Op::MapWrite, "mapwrite"}, {Op::Msync, "msync"}, {Op::Touch, "touch"}};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

quint32 u32At(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

void putU32(QByteArray *b, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, b->data() + at);
}

// The seed record damaged one way a disk, a crash or a stranger damages a
// file. A mapped file is damaged in its newest slot where the way allows.
QByteArray damaged(QByteArray b, const QString &how, bool mapped)
{
    int newest = 0; // the newest slot's offset (mapped)
    if (mapped) {
        const int slotSize = int(qFromLittleEndian<quint64>(b.constData() + 16));
        const int first = Format::MappedHeaderSize;
        newest = qFromLittleEndian<quint64>(b.constData() + first + slotSize)
                         > qFromLittleEndian<quint64>(b.constData() + first)
                     ? first + slotSize
                     : first;
    }
    const int payload = mapped ? newest + Format::SlotHeaderSize : Format::PlainHeaderSize;
    Format::Identity identity;
    identity.generation = 1000000;
    identity.stamp = 7;
    if (how == QLatin1String("truncated")) {
        b.truncate(payload + 3);
    } else if (how == QLatin1String("bit flipped")) {
        b[payload + 1] = char(b[payload + 1] ^ 0x20);
    } else if (how == QLatin1String("a stranger's text")) {
        b = "[General]\nnot=a record\n";
    } else if (how == QLatin1String("huge length")) {
        putU32(&b, mapped ? newest + 16 : 12, 0xffffffffu);
    } else if (how == QLatin1String("wrong checksum")) {
        const int at = mapped ? 24 : 32; // a mapped file's header checksum
        putU32(&b, at, u32At(b, at) ^ 0x5a5a5a5au);
    } else if (how == QLatin1String("bad payload, checksum right")) {
        const QByteArray bad = "{\"values\":{\"k\":1}}";
        if (mapped)
            b.replace(newest, Format::SlotHeaderSize + bad.size(), Format::encodeSlotHeader(bad, identity) + bad);
        else
            b = Format::encodePlain(bad, identity);
    } else {
        b.clear(); // empty
    }
    return b;
}

} // namespace

class tst_KSyncSettingsFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void checksumIsCrc32();
    void failEveryStepOfASave_data();
    void failEveryStepOfASave();
    void corruptFilesAreMovedAside_data();
    void corruptFilesAreMovedAside();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_KSyncSettingsFaults::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

// Record files written before must still verify: CRC-32 (reflected,
// 0xEDB88320), here bit by bit, over every tail length of the sliced loop.
void tst_KSyncSettingsFaults::checksumIsCrc32()
{
    const QByteArray bytes = "123456789abcdefghijklmnop";
    for (int size = 0; size <= bytes.size(); ++size) {
        quint32 crc = ~0u;
        for (int i = 0; i < size; ++i) {
            crc ^= quint8(bytes.at(i));
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        QCOMPARE(Format::crc32(0, bytes.constData(), size), ~crc);
    }
    QCOMPARE(Format::crc32(0, "123456789", 9), 0xCBF43926u);
}

void tst_KSyncSettingsFaults::failEveryStepOfASave_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("plainOnDisk");
    QTest::addColumn<int>("newValueSize");
    // The first save also makes the user's folder; a mapped one its new file.
    QTest::newRow("plain, new record") << false << false << true << 10;
    QTest::newRow("plain, over an old record") << false << true << true << 10;
    QTest::newRow("mapped, slot in place") << true << true << false << 10;
    QTest::newRow("mapped, grows into a new file") << true << true << false << 6000;
    QTest::newRow("mapped, over a plain file") << true << true << true << 10;
}

// Every file operation of one save is made to fail in turn, for every call
// of it. Afterwards the file holds the old or the new record, never anything
// else; the failure is reported and logged, and the next flush saves.
void tst_KSyncSettingsFaults::failEveryStepOfASave()
{
    QFETCH(bool, mapped);
    QFETCH(bool, existing);
    QFETCH(bool, plainOnDisk);
    QFETCH(int, newValueSize);

    int runs = 0;
    QMap<QString, int> outcomes;
    for (const auto &[op, name] : kAllOps) {
        for (int n = 1;; ++n) {
            const QString where = QStringLiteral("%1 #%2").arg(QLatin1String(name)).arg(n);
            const QString root = m_dir->filePath(QStringLiteral("%1-%2").arg(QLatin1String(name)).arg(n));
            KSyncSettingsNode oldRoot;
            if (existing) {
                KSyncSettingsManager seed(root);
                KSyncSettings *s = seed.getUserSettings(kUser, kKey, mappedOptions(mapped && !plainOnDisk));
                writeArea(s->data(), QStringLiteral("a1"), QStringLiteral("old"));
                QCOMPARE(s->flush(), KSyncSettings::Ok);
                oldRoot = rootOf(s);
            }
            auto io = QSharedPointer<KFaultyFileIo>::create();
            KSyncSettingsManager manager(root);
            manager.setFileIo(io);
            KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
            writeArea(s->data(), QStringLiteral("a2"), QString(newValueSize, QLatin1Char('n')));
            s->data()->setValue(QStringLiteral("lastActiveWorkAreaId"), QStringLiteral("a2"));
            const KSyncSettingsNode newRoot = rootOf(s);

            io->reset(op, n);
            KSettingsLogCapture log;
            const KSyncSettings::Result result = s->flush();
            if (io->failures == 0) {
                QCOMPARE(result, KSyncSettings::Ok); // the save makes fewer than n such calls
                break;
            }
            ++runs;
            // A failing lstat while locking only makes the lock look again.
            if (op != Op::Stat)
                QVERIFY2(result != KSyncSettings::Ok, qPrintable(where));
            if (result != KSyncSettings::Ok) {
                QVERIFY2(!s->lastError().isEmpty() && !log.warnings.isEmpty(), qPrintable(where));
                QVERIFY(s->hasPendingChanges());
            }

            KSyncSettingsManager reader(root);
            const KSyncSettingsNode onDisk = rootOf(reader.getUserSettings(kUser, kKey));
            QVERIFY2(onDisk == oldRoot || onDisk == newRoot, qPrintable(where + QStringLiteral(": neither old nor new")));
            QVERIFY2(result != KSyncSettings::Ok || onDisk == newRoot, qPrintable(where));
            QVERIFY2(QDir(root + QLatin1Char('/') + kUser).entryList({QStringLiteral("*.bad-*")}).isEmpty(),
                     qPrintable(where + QStringLiteral(": a failed save left a bad file")));
            outcomes[onDisk == newRoot ? QStringLiteral("new") : QStringLiteral("old")]++;

            io->reset();
            QCOMPARE(s->flush(), KSyncSettings::Ok);
            QVERIFY(!s->hasPendingChanges());
            KSyncSettingsManager again(root);
            QCOMPARE(rootOf(again.getUserSettings(kUser, kKey)), newRoot);
        }
    }
    qInfo("%d injected failures: %d read back old, %d read back new", runs, outcomes.value(QStringLiteral("old")),
          outcomes.value(QStringLiteral("new")));
    QVERIFY(runs >= 6);
}

void tst_KSyncSettingsFaults::corruptFilesAreMovedAside_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<QString>("how");
    for (bool mapped : {false, true}) {
        for (const char *how : {"truncated", "bit flipped", "a stranger's text", "huge length", "wrong checksum",
                                "bad payload, checksum right", "empty"})
            QTest::addRow("%s, %s", mapped ? "mapped" : "plain", how) << mapped << QString::fromLatin1(how);
    }
}

// Every open succeeds; a file that does not verify is moved aside byte for
// byte and the record starts empty; a mapped file whose newest slot is
// damaged falls back to its older slot. The record saves again afterwards.
void tst_KSyncSettingsFaults::corruptFilesAreMovedAside()
{
    QFETCH(bool, mapped);
    QFETCH(QString, how);

    const QString seedRoot = m_dir->filePath(QStringLiteral("seed"));
    KSyncSettingsNode older;
    QByteArray seed;
    {
        KSyncSettingsManager manager(seedRoot);
        KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
        writeArea(s->data(), QStringLiteral("a1"), QStringLiteral("first"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
        older = rootOf(s);
        writeArea(s->data(), QStringLiteral("a2"), QStringLiteral("second \u00e9"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
        seed = readAll(s->filePath());
    }

    const QString dir = m_dir->filePath(QStringLiteral("damaged/") + kUser);
    QVERIFY(QDir().mkpath(dir));
    const QByteArray bytes = damaged(seed, how, mapped);
    writeAll(dir + QLatin1Char('/') + kKey + QStringLiteral(".cfg"), bytes);
    KSyncSettingsManager manager(m_dir->filePath(QStringLiteral("damaged")));
    KSettingsLogCapture log;
    KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
    QVERIFY(s);
    const KSyncSettingsNode loaded = rootOf(s);
    const QStringList moved = QDir(dir).entryList({kKey + QStringLiteral(".cfg.bad-*")});
    if (mapped && loaded == older) {
        QVERIFY(moved.isEmpty());
    } else {
        QVERIFY2(loaded.isEmpty(), "a damaged record was half read");
        QCOMPARE(moved.size(), bytes.isEmpty() ? 0 : 1); // an empty file is an empty record
        if (!bytes.isEmpty())
            QCOMPARE(readAll(dir + QLatin1Char('/') + moved.first()), bytes);
    }
    QCOMPARE(log.count(QStringLiteral("moved aside")), moved.size());
    s->data()->setValue(QStringLiteral("after"), QStringLiteral("1"));
    QCOMPARE(s->flush(), KSyncSettings::Ok);
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsFaults)
#include "tst_ksyncsettingsfaults.moc"
