// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsformat.h"
#include "ksyncsettingstestutil.h"

#include <ksyncsettingsmanager.h>

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <memory>

using Format = KSyncSettingsFormat;

namespace {

const QString kUser = QStringLiteral("ann");
const QString kKey = QStringLiteral("workarea");

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
