// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The transfer engine: what lands in the receiving folder, and what never does.
#include "kcirratransfer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcCirrad, "zelva.cirrad", QtInfoMsg)

class tst_KCirraTransfer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void safeName_data();
    void safeName();
    void refusesSource_data();
    void refusesSource();
    void cancelLeavesNothing();
    void pushedBytes_data();
    void pushedBytes();

private:
    QString writeSource(const QByteArray &bytes);
    QStringList received() const { return QDir(m_inbox).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_inbox;
};

void tst_KCirraTransfer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_inbox = m_dir->filePath(QStringLiteral("inbox"));
    QVERIFY(QDir().mkpath(m_inbox));
}

QString tst_KCirraTransfer::writeSource(const QByteArray &bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("source.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void tst_KCirraTransfer::safeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("notes.txt") << QStringList() << QStringLiteral("notes.txt");
    QTest::newRow("parent folder") << QStringLiteral("../../etc/passwd") << QStringList()
                                   << QStringLiteral("_.._etc_passwd");
    QTest::newRow("hidden") << QStringLiteral(".bashrc") << QStringList() << QStringLiteral("bashrc");
    QTest::newRow("NUL and control") << QString::fromUtf8("a\0b\nc.txt", 9) << QStringList()
                                     << QStringLiteral("a_b_c.txt");
    QTest::newRow("empty") << QString() << QStringList() << QStringLiteral("document");
    QTest::newRow("taken") << QStringLiteral("notes.txt") << QStringList{QStringLiteral("notes.txt")}
                           << QStringLiteral("notes (1).txt");
    QTest::newRow("a .part in the way") << QStringLiteral("notes.txt") << QStringList{QStringLiteral("notes.txt.part")}
                                        << QStringLiteral("notes (1).txt");
    QTest::newRow("encrypted mark kept") << QStringLiteral("plan(Encrypted).txt") << QStringList()
                                         << QStringLiteral("plan(Encrypted).txt");
}

void tst_KCirraTransfer::safeName()
{
    QFETCH(QString, name);
    QFETCH(QStringList, taken);
    QFETCH(QString, expected);
    for (const QString &t : taken) {
        QFile f(QDir(m_inbox).filePath(t));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(KCirraTransfer::safeName(m_inbox, name), expected);
}

void tst_KCirraTransfer::refusesSource_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("cannot open the source")
                             << QStringLiteral("file_missing");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("not a regular file")
                            << QStringLiteral("not_a_file");
    QTest::newRow("FIFO without writer") << QStringLiteral("fifo") << QStringLiteral("not a regular file")
                                         << QStringLiteral("not_a_file");
    QTest::newRow("over the size cap") << QStringLiteral("big") << QStringLiteral("larger than")
                                       << QStringLiteral("too_large");
}

void tst_KCirraTransfer::refusesSource()
{
    QFETCH(QString, kind);
    QFETCH(QString, error);
    QFETCH(QString, reason);
    QString source = m_dir->filePath(QStringLiteral("source"));
    KCirraTransfer::Options options;
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(source));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    if (kind == QLatin1String("big")) {
        source = writeSource(QByteArray(5000, 'x'));
        options.maxBytes = 4096;
    }
    KCirraTransfer transfer(source, m_inbox, QStringLiteral("copy.txt"), options);
    QSignalSpy finished(&transfer, &KCirraTransfer::finished);
    QVERIFY(!transfer.start());
    QVERIFY2(transfer.error().contains(error), qPrintable(transfer.error()));
    QCOMPARE(transfer.reason(), reason);
    QCOMPARE(transfer.state(), KCirraTransfer::State::Failed);
    QVERIFY(received().isEmpty());
    QCOMPARE(finished.count(), 0);
}

void tst_KCirraTransfer::pushedBytes_data()
{
    // Bytes from another machine: pushed in pieces, checked against the sender's hash at the end.
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<qint64>("announced");
    QTest::addColumn<QByteArray>("hashed");
    QTest::addColumn<QString>("reason"); // empty: it lands
    const QByteArray bytes(70000, 'z');
    const auto row = [](const char *name, const QByteArray &sent, qint64 announced, const QByteArray &hashed,
                        const char *reason) {
        QTest::newRow(name) << sent << announced << hashed << QString::fromLatin1(reason);
    };
    row("as announced", bytes, bytes.size(), bytes, "");
    row("hash of other bytes", bytes, bytes.size(), bytes + 'z', "damaged");
    row("ends short", bytes, bytes.size() + 1, bytes, "damaged");
    row("more than announced", bytes, bytes.size() - 1, bytes, "damaged");
    row("announced over the cap", bytes, 1LL << 40, bytes, "too_large");
}

void tst_KCirraTransfer::pushedBytes()
{
    QFETCH(QByteArray, sent);
    QFETCH(qint64, announced);
    QFETCH(QByteArray, hashed);
    QFETCH(QString, reason);
    KCirraTransfer transfer(m_inbox, QStringLiteral("copy.txt"), announced, KCirraTransfer::Options());
    QSignalSpy finished(&transfer, &KCirraTransfer::finished);
    if (transfer.receive()) {
        for (int at = 0; at < sent.size() && transfer.push(sent.mid(at, 30000)); at += 30000) {
        }
        transfer.end(QCryptographicHash::hash(hashed, QCryptographicHash::Sha256));
        QCOMPARE(finished.count(), 1);
    }
    QCOMPARE(transfer.reason(), reason);
    QCOMPARE(received(), reason.isEmpty() ? QStringList{QStringLiteral("copy.txt")} : QStringList());
    // What lands is the user's alone.
    if (reason.isEmpty())
        QCOMPARE(QFileInfo(transfer.targetPath()).permissions() & QFile::ReadOther, QFile::Permissions());
}

void tst_KCirraTransfer::cancelLeavesNothing()
{
    KCirraTransfer::Options options;
    options.chunkBytes = 4096;
    options.bytesPerSecond = 40960;
    KCirraTransfer transfer(writeSource(QByteArray(64 * 1024, 'y')), m_inbox, QStringLiteral("copy.txt"), options);
    QSignalSpy progress(&transfer, &KCirraTransfer::progressed);
    QSignalSpy finished(&transfer, &KCirraTransfer::finished);
    QVERIFY(transfer.start());
    QVERIFY(progress.wait(5000));
    QCOMPARE(received(), QStringList{QStringLiteral("copy.txt.part")});
    transfer.cancel();
    QCOMPARE(finished.count(), 1);
    QVERIFY(!finished.at(0).at(0).toBool());
    QVERIFY(received().isEmpty());
}

QTEST_GUILESS_MAIN(tst_KCirraTransfer)
#include "tst_kcirratransfer.moc"
