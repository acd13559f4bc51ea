// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Work-area ids (seconds + process-wide counter, compared as text), the
// check of stored group names, and default names and records.
#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareaidgenerator.h"
#include "recordlogtail.h"

#include <kzelvahostutils.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QTranslator>
#include <QtTest>

namespace {

constexpr qint64 kNow = 1700000000;

// Answers only for the record texts' own context, so a text looked up under
// another context stays untranslated and the test sees it.
class FakeTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "KZelvaWorkArea") != 0)
            return QString();
        return QLatin1String("<") + QLatin1String(sourceText) + QLatin1String(">");
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class tst_KZelvaWorkAreaIdsAndNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void idsOfOneSecondDifferByCounter(); // first: it sees the process's first id
    void check_data();
    void check();
    void names_data();
    void names();
    void translatedTexts();
    void newRecord();
};

void tst_KZelvaWorkAreaIdsAndNames::idsOfOneSecondDifferByCounter()
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

void tst_KZelvaWorkAreaIdsAndNames::check_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("logLine"); // empty: the verdict is not logged

    const auto row = [](const char *name, const QString &group, bool valid, const char *log) {
        QTest::newRow(name) << group << valid
                            << (*log ? QStringLiteral("[info] [kzelvashell] checkSettingDataGroupId, ")
                                           + QLatin1String(log)
                                     : QString());
    };
    row("empty", QString(), false, "error, group is empty");
    row("IndependentDefault", QStringLiteral("IndependentDefault"), true, "");
    row("INDEPENDENTDEFAULT upper", QStringLiteral("INDEPENDENTDEFAULT"), true, "");
    for (int type = 0; type < 8; ++type)
        QTest::addRow("app type %d", type) << independentAppTypeToString(type).toUpper() << true << QString();
    row("unknown independent name", QStringLiteral("IndependentNothing"), false,
        "error, group not number, group=Independen");
    row("shorter than now", QStringLiteral("170000000"), false,
        "error, group size error, group=170000000, nowtimeGroupString=1700000000");
    row("non-digit prefix", QStringLiteral("17000x00001"), false, "error, group not number, group=17000x0000");
    row("signed prefix", QStringLiteral("-7000000001"), false, "error, group not number, group=-700000000");
    row("blank in prefix", QStringLiteral(" 7000000001"), false, "error, group not number, group= 700000000");
    row("future prefix", QStringLiteral("17000000011"), false,
        "error, group time over, group=17000000011, currentMaxGroup=1700000000");
    for (const char *valid : {"16999999995", "17000000003", "1700000000", "1700000000123456789012345"})
        row(valid, QLatin1String(valid), true, qPrintable(QStringLiteral("valid group=") + QLatin1String(valid)));
}

void tst_KZelvaWorkAreaIdsAndNames::check()
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

void tst_KZelvaWorkAreaIdsAndNames::names_data()
{
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("counterAfter");

    QTest::newRow("numbered default") << true << true << 4 << QStringLiteral("Default Work Window") << 0 << 4;
    QTest::newRow("numbered first") << true << false << 1 << QStringLiteral("New Work Window1") << 1 << 2;
    QTest::newRow("numbered 41") << true << false << 41 << QStringLiteral("New Work Window41") << 41 << 42;
    QTest::newRow("dated default") << false << true << 4 << QStringLiteral("Default Work Area") << 0 << 4;
    QTest::newRow("dated other") << false << false << 4 << QStringLiteral("Work Area260305@170809") << 4 << 4;
}

void tst_KZelvaWorkAreaIdsAndNames::names()
{
    QFETCH(bool, numbered);
    QFETCH(bool, isDefault);
    QFETCH(int, counter);

    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(counter);
    const QDateTime localNow(QDate(2026, 3, 5), QTime(17, 8, 9));
    const KZelvaWorkAreaDefaultName::Name name = KZelvaWorkAreaDefaultName::next(isDefault, numbered, localNow);
    QTEST(name.name, "name");
    QTEST(int(name.newWorkAreaNumber), "number");
    QTEST(int(KZelvaWorkAreaDefaultName::nextWorkAreaNumber()), "counterAfter");
}

void tst_KZelvaWorkAreaIdsAndNames::translatedTexts()
{
    FakeTranslator translator;
    QCoreApplication::installTranslator(&translator);
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(2);
    const QDateTime localNow(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QStringList names{
        KZelvaWorkAreaDefaultName::next(true, true, localNow).name,
        KZelvaWorkAreaDefaultName::next(false, true, localNow).name,
        KZelvaWorkAreaDefaultName::next(true, false, localNow).name,
        KZelvaWorkAreaDefaultName::next(false, false, localNow).name,
        KZelvaWorkAreaDefaultName::pcDeviceType(),
    };
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(names, (QStringList{QStringLiteral("<Default Work Window>"), QStringLiteral("<New Work Window>2"),
                                 QStringLiteral("<Default Work Area>"), QStringLiteral("<Work Area>260102@030405"),
                                 QStringLiteral("<PC>")}));
}

void tst_KZelvaWorkAreaIdsAndNames::newRecord()
{
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(5);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const KZelvaWorkAreaData d = KZelvaWorkAreaDefaultName::newRecord(false, true);
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    QVERIFY(KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(d.id));
    // An id from a clock running ahead is not readable yet.
    QVERIFY(!KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(
        KZelvaWorkAreaIdGenerator::newId(QDateTime::currentSecsSinceEpoch() + 5)));
    QVERIFY(d.createDateTime >= before && d.createDateTime <= after);
    QVERIFY(d.id.startsWith(QString::number(d.createDateTime)));
    QCOMPARE(d.newWorkAreaNumber, 5);
    QCOMPARE(d.deviceType, QStringLiteral("PC"));
    QVERIFY(!d.deviceName.isEmpty());
    QCOMPARE(d.pid, QString::number(QCoreApplication::applicationPid()));
    QVERIFY(!d.isDefault && !d.isNewCreate && !d.forceSave && d.lastPid.isEmpty());
    // Only numbered records of other work areas take a number.
    const QStringList names{KZelvaWorkAreaDefaultName::newRecord(true, true).name,
                            KZelvaWorkAreaDefaultName::newRecord(false, false).name.left(9),
                            KZelvaWorkAreaDefaultName::newRecord(false, true).name};
    QCOMPARE(names, QStringLiteral("Default Work Window|Work Area|New Work Window6").split(QLatin1Char('|')));
}

QTEST_GUILESS_MAIN(tst_KZelvaWorkAreaIdsAndNames)
#include "tst_kzelvaworkareaidsandnames.moc"
