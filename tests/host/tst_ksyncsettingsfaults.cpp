// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsformat.h"
#include "ksyncsettingstestutil.h"

#include <ksyncsettingsmanager.h>

#include <QRandomGenerator>
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

void putU64(QByteArray *b, int at, quint64 v)
{
    qToLittleEndian<quint64>(v, b->data() + at);
}

enum class Mutation { Truncate, BitFlips, RandomBytes, HugeLength, WrongChecksum, BadPayload };

// Damages a seed record file the way a disk, a crash or a stranger would.
class Mutator
{
public:
    Mutator(const QByteArray &seed, bool mapped, quint32 rngSeed)
        : m_seed(seed)
        , m_mapped(mapped)
        , m_rng(rngSeed)
    {
        if (mapped) {
            m_slotSize = qFromLittleEndian<quint64>(seed.constData() + 16);
            for (int i = 0; i < 2; ++i)
                m_slotUsed[i] = Format::SlotHeaderSize + u32At(seed, slotAt(i) + 16);
        }
    }

    QByteArray mutate(Mutation kind)
    {
        QByteArray b = m_seed;
        switch (kind) {
        case Mutation::Truncate:
            b.truncate(int(m_rng.bounded(b.size())));
            break;
        case Mutation::BitFlips:
            for (int n = 1 + int(m_rng.bounded(8)); n > 0; --n) {
                const int at = usedOffset();
                b[at] = char(b[at] ^ (1 << m_rng.bounded(8)));
            }
            break;
        case Mutation::RandomBytes:
            b = randomBytes(1 + int(m_rng.bounded(2 * m_seed.size())));
            if (m_rng.bounded(2) == 0) // right magic: the parser goes further in
                b.replace(0, qMin(b.size(), 8), m_seed.left(qMin(b.size(), 8)));
            break;
        case Mutation::HugeLength:
            hugeLength(&b);
            break;
        case Mutation::WrongChecksum: {
            const quint32 flip = 1 + m_rng.bounded(0xfffffffeu);
            const int at = !m_mapped ? 32 : m_rng.bounded(2) == 0 ? 24 : slotAt(newestSlot()) + 20;
            putU32(&b, at, u32At(b, at) ^ flip);
            break;
        }
        case Mutation::BadPayload:
            badPayload(&b);
            break;
        }
        return b;
    }

private:
    int slotAt(int i) const { return Format::MappedHeaderSize + i * int(m_slotSize); }
    int newestSlot() const
    {
        return qFromLittleEndian<quint64>(m_seed.constData() + slotAt(1))
                > qFromLittleEndian<quint64>(m_seed.constData() + slotAt(0))
            ? 1
            : 0;
    }
    // A byte that carries meaning: headers and payloads, not the zero tail of a slot.
    int usedOffset()
    {
        if (!m_mapped)
            return int(m_rng.bounded(m_seed.size()));
        const int region = int(m_rng.bounded(3));
        if (region == 0)
            return int(m_rng.bounded(Format::MappedHeaderSize));
        return slotAt(region - 1) + int(m_rng.bounded(m_slotUsed[region - 1]));
    }
    QByteArray randomBytes(int size)
    {
        QByteArray b(size, Qt::Uninitialized);
        for (char &c : b)
            c = char(m_rng.bounded(256));
        return b;
    }
    void hugeLength(QByteArray *b)
    {
        const quint32 lengths[] = {0xffffffffu, 0x80000000u, 0x7fffffffu, quint32(b->size()), quint32(b->size()) - 39};
        const quint32 length = lengths[m_rng.bounded(5)];
        if (!m_mapped) {
            putU32(b, 12, length);
            return;
        }
        if (m_rng.bounded(2) == 0) {
            // Slot size, with a header checksum that verifies.
            const quint64 sizes[] = {~quint64(0), quint64(1) << 40, m_slotSize + 8, 0, 23, m_slotSize - 8};
            putU64(b, 16, sizes[m_rng.bounded(6)]);
            putU32(b, 24, Format::crc32(0, b->constData(), 24));
        } else {
            putU32(b, slotAt(newestSlot()) + 16, length);
        }
    }
    void badPayload(QByteArray *b)
    {
        QByteArray deep;
        for (int i = 0; i < 200; ++i)
            deep += "{\"groups\":{\"g\":";
        const QByteArray payloads[] = {
            QByteArray(), "{", "[]", "null", "{\"values\":{\"k\":1}}", "{\"values\":\"x\"}", "\xff\xfe{}",
            deep, randomBytes(1 + int(m_rng.bounded(200))),
        };
        const QByteArray payload = payloads[m_rng.bounded(9)];
        Format::Identity identity;
        identity.generation = 1 + m_rng.bounded(1000);
        identity.stamp = 7;
        if (!m_mapped) {
            *b = Format::encodePlain(payload, identity);
        } else if (m_rng.bounded(2) == 0) {
            *b = Format::encodeMappedImage(payload, identity, b->size()); // the only slot is bad
            b->resize(m_seed.size());
        } else {
            // The newest slot verifies but does not parse; the older one stays.
            const int at = slotAt(newestSlot());
            identity.generation = 1000000;
            const QByteArray slot = Format::encodeSlotHeader(payload, identity) + payload;
            b->replace(at, slot.size(), slot);
        }
    }

    QByteArray m_seed;
    bool m_mapped;
    QRandomGenerator m_rng;
    quint64 m_slotSize = 0;
    int m_slotUsed[2] = {0, 0};
};

} // namespace

class tst_KSyncSettingsFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
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

void tst_KSyncSettingsFaults::failEveryStepOfASave_data()
{
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("plainOnDisk");
    QTest::addColumn<int>("newValueSize");
    QTest::newRow("plain, new record") << false << false << true << 10;
    QTest::newRow("plain, over an old record") << false << true << true << 10;
    QTest::newRow("mapped, new record") << true << false << false << 10;
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
    QTest::addColumn<int>("mutation");
    const struct
    {
        const char *name;
        Mutation mutation;
    } kinds[] = {{"truncated", Mutation::Truncate},         {"bit flips", Mutation::BitFlips},
                 {"random bytes", Mutation::RandomBytes},   {"huge lengths", Mutation::HugeLength},
                 {"wrong checksum", Mutation::WrongChecksum}, {"bad payload, checksum right", Mutation::BadPayload}};
    for (bool mapped : {false, true}) {
        for (const auto &kind : kinds) {
            QTest::addRow("%s, %s", mapped ? "mapped" : "plain", kind.name) << mapped << int(kind.mutation);
        }
    }
}

// 12 rows x 90 files. Every open succeeds; a file that does not verify is
// moved aside byte for byte and the record starts empty; a mapped file whose
// newest slot is damaged falls back to its older slot.
void tst_KSyncSettingsFaults::corruptFilesAreMovedAside()
{
    QFETCH(bool, mapped);
    QFETCH(int, mutation);
    constexpr int kFiles = 90;

    const QString seedRoot = m_dir->filePath(QStringLiteral("seed"));
    KSyncSettingsNode older;
    KSyncSettingsNode newest;
    QByteArray seed;
    {
        KSyncSettingsManager manager(seedRoot);
        KSyncSettings *s = manager.getUserSettings(kUser, kKey, mappedOptions(mapped));
        writeArea(s->data(), QStringLiteral("a1"), QStringLiteral("first"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
        older = rootOf(s);
        writeArea(s->data(), QStringLiteral("a2"), QStringLiteral("second \u00e9"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
        newest = rootOf(s);
        seed = readAll(s->filePath());
    }

    const QString root = m_dir->filePath(QStringLiteral("damaged"));
    const QString dir = root + QLatin1Char('/') + kUser;
    QVERIFY(QDir().mkpath(dir));
    Mutator mutator(seed, mapped, quint32(qHash(QString::fromLatin1(QTest::currentDataTag()))));
    KSyncSettingsManager manager(root);
    KSettingsLogCapture log;
    int intact = 0, fellBack = 0, movedAside = 0, emptied = 0;
    for (int i = 0; i < kFiles; ++i) {
        const QString key = QStringLiteral("m%1").arg(i);
        const QByteArray bytes = mutator.mutate(Mutation(mutation));
        writeAll(dir + QLatin1Char('/') + key + QStringLiteral(".cfg"), bytes);

        KSyncSettings *s = manager.getUserSettings(kUser, key, mappedOptions(mapped));
        QVERIFY(s);
        const KSyncSettingsNode loaded = rootOf(s);
        const QStringList moved = QDir(dir).entryList({key + QStringLiteral(".cfg.bad-*")});
        const QString what = QStringLiteral("%1 (%2 bytes)").arg(key).arg(bytes.size());
        if (loaded == newest) {
            ++intact;
            QVERIFY2(moved.isEmpty(), qPrintable(what));
        } else if (mapped && loaded == older) {
            ++fellBack;
            QVERIFY2(moved.isEmpty(), qPrintable(what));
        } else {
            QVERIFY2(loaded.isEmpty(), qPrintable(what + QStringLiteral(": a damaged record was half read")));
            if (bytes.isEmpty()) {
                ++emptied; // an empty file is an empty record
                QVERIFY(moved.isEmpty());
            } else {
                ++movedAside;
                QCOMPARE(moved.size(), 1);
                QCOMPARE(readAll(dir + QLatin1Char('/') + moved.first()), bytes);
                QVERIFY(!QFile::exists(s->filePath()));
            }
        }
        s->data()->setValue(QStringLiteral("after"), QStringLiteral("1"));
        QCOMPARE(s->flush(), KSyncSettings::Ok);
    }
    qInfo("%d files: %d intact, %d from the older slot, %d moved aside, %d empty", kFiles, intact, fellBack, movedAside,
          emptied);
    QCOMPARE(log.count(QStringLiteral("moved aside")), movedAside);
    QVERIFY2(movedAside + fellBack > kFiles / 3, "the mutation hardly ever damaged a record");
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsFaults)
#include "tst_ksyncsettingsfaults.moc"
