// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaidgenerator.h"

#include "recordlogtail.h"

#include <kzelvahostutils.h>

#include <QDateTime>
#include <QtTest>

namespace {
constexpr qint64 kNow = 1700000000;
}

class tst_KZelvaWorkAreaIdGenerator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void idsOfOneSecondDifferByCounter();
    void check_data();
    void check();
    void freshIdPassesCheck();
};

void tst_KZelvaWorkAreaIdGenerator::idsOfOneSecondDifferByCounter()
{
    const QString prefix = QString::number(kNow);
    QStringList ids;
    for (int i = 0; i < 50; ++i)
        ids.append(KZelvaWorkAreaIdGenerator::newId(kNow));

    // This is the first test function: the counter is incremented before its
    // first use, so the first id of the process ends in 1.
    QCOMPARE(ids.first(), prefix + QLatin1Char('1'));
    QCOMPARE(QSet<QString>(ids.cbegin(), ids.cend()).size(), ids.size());
    quint64 previous = 0;
    for (const QString &id : qAsConst(ids)) {
        QVERIFY2(id.startsWith(prefix), qPrintable(id));
        bool ok = false;
        const quint64 counter = id.mid(prefix.size()).toULongLong(&ok);
        QVERIFY2(ok, qPrintable(id));
        if (previous != 0)
            QCOMPARE(counter, previous + 1);
        previous = counter;
    }
}

void tst_KZelvaWorkAreaIdGenerator::check_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("logLine"); // empty: the verdict is not logged

    const QString pre = QStringLiteral("[info] [kzelvashell] checkSettingDataGroupId, ");
    QTest::newRow("empty") << QString() << false << pre + QStringLiteral("error, group is empty");
    QTest::newRow("IndependentDefault") << QStringLiteral("IndependentDefault") << true << QString();
    QTest::newRow("independentdefault lower") << QStringLiteral("independentdefault") << true << QString();
    QTest::newRow("INDEPENDENTDEFAULT upper") << QStringLiteral("INDEPENDENTDEFAULT") << true << QString();
    for (int type = 0; type < 8; ++type) {
        const QString name = independentAppTypeToString(type);
        QTest::addRow("app type %d", type) << name.toUpper() << true << QString();
    }
    QTest::newRow("unknown independent name")
        << QStringLiteral("IndependentNothing") << false
        << pre + QStringLiteral("error, group not number, group=Independen");
    QTest::newRow("shorter than now")
        << QStringLiteral("170000000") << false
        << pre + QStringLiteral("error, group size error, group=170000000, nowtimeGroupString=1700000000");
    QTest::newRow("non-digit prefix")
        << QStringLiteral("17000x00001") << false
        << pre + QStringLiteral("error, group not number, group=17000x0000");
    QTest::newRow("signed prefix")
        << QStringLiteral("-7000000001") << false
        << pre + QStringLiteral("error, group not number, group=-700000000");
    QTest::newRow("blank in prefix")
        << QStringLiteral(" 7000000001") << false
        << pre + QStringLiteral("error, group not number, group= 700000000");
    QTest::newRow("future prefix")
        << QStringLiteral("17000000011") << false
        << pre + QStringLiteral("error, group time over, group=17000000011, currentMaxGroup=1700000000");
    QTest::newRow("earlier second")
        << QStringLiteral("16999999995") << true << pre + QStringLiteral("valid group=16999999995");
    QTest::newRow("exactly now")
        << QStringLiteral("17000000003") << true << pre + QStringLiteral("valid group=17000000003");
    QTest::newRow("now without counter")
        << QStringLiteral("1700000000") << true << pre + QStringLiteral("valid group=1700000000");
    QTest::newRow("long counter")
        << QStringLiteral("1700000000123456789012345") << true
        << pre + QStringLiteral("valid group=1700000000123456789012345");
}

void tst_KZelvaWorkAreaIdGenerator::check()
{
    QFETCH(QString, group);
    QFETCH(bool, valid);
    QFETCH(QString, logLine);

    const RecordLogTail tail;
    QCOMPARE(KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(group, kNow), valid);
    const QStringList lines = tail.lines();
    if (logLine.isEmpty())
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
    else
        QCOMPARE(lines, QStringList{logLine});
}

void tst_KZelvaWorkAreaIdGenerator::freshIdPassesCheck()
{
    const QString id = KZelvaWorkAreaIdGenerator::newId();
    QVERIFY(KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(id));
    // An id from a clock running ahead is not readable yet.
    const QString ahead = KZelvaWorkAreaIdGenerator::newId(QDateTime::currentSecsSinceEpoch() + 5);
    QVERIFY(!KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(ahead));
}

QTEST_GUILESS_MAIN(tst_KZelvaWorkAreaIdGenerator)
#include "tst_kzelvaworkareaidgenerator.moc"
