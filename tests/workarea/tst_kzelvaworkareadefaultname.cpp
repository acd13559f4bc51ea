// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareadefaultname.h"

#include "kzelvaworkareaidgenerator.h"
#include "recordlogtail.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

namespace {

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

class tst_KZelvaWorkAreaDefaultName : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void numberingAcrossCreations();
    void translatedTexts();
    void crossTerminalAvailability_data();
    void crossTerminalAvailability();
    void newRecord();
};

void tst_KZelvaWorkAreaDefaultName::names_data()
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

void tst_KZelvaWorkAreaDefaultName::names()
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

void tst_KZelvaWorkAreaDefaultName::numberingAcrossCreations()
{
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(1);
    QStringList names;
    names << KZelvaWorkAreaDefaultName::newRecord(false, true).name
          << KZelvaWorkAreaDefaultName::newRecord(true, true).name
          << KZelvaWorkAreaDefaultName::newRecord(false, true).name
          << KZelvaWorkAreaDefaultName::newRecord(false, false).name.left(9)
          << KZelvaWorkAreaDefaultName::newRecord(false, true).name;
    QCOMPARE(names, (QStringList{QStringLiteral("New Work Window1"), QStringLiteral("Default Work Window"),
                                 QStringLiteral("New Work Window2"), QStringLiteral("Work Area"),
                                 QStringLiteral("New Work Window3")}));
}

void tst_KZelvaWorkAreaDefaultName::translatedTexts()
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

void tst_KZelvaWorkAreaDefaultName::crossTerminalAvailability_data()
{
    QTest::addColumn<bool>("feature");
    QTest::addColumn<bool>("entrance");
    QTest::addColumn<bool>("available");
    QTest::newRow("both") << true << true << true;
    QTest::newRow("entrance hidden") << true << false << false;
    QTest::newRow("feature missing") << false << true << false;
    QTest::newRow("neither") << false << false << false;
}

void tst_KZelvaWorkAreaDefaultName::crossTerminalAvailability()
{
    QFETCH(bool, feature);
    QFETCH(bool, entrance);
    const RecordLogTail tail;
    QTEST(KZelvaWorkAreaDefaultName::isCrossTerminalAvailable(feature, entrance), "available");
    QCOMPARE(tail.lines(), QStringList{QStringLiteral("[info] [crossterminalpanel] isCrossTerminalAvailable : "
                                                      "bEntranceVisibleInReg = %1")
                                           .arg(int(entrance))});
}

void tst_KZelvaWorkAreaDefaultName::newRecord()
{
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(5);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const KZelvaWorkAreaData d = KZelvaWorkAreaDefaultName::newRecord(false, true);
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    QVERIFY(KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(d.id));
    QVERIFY(d.createDateTime >= before && d.createDateTime <= after);
    QVERIFY(d.id.startsWith(QString::number(d.createDateTime)));
    QCOMPARE(d.newWorkAreaNumber, 5);
    QCOMPARE(d.deviceType, QStringLiteral("PC"));
    QVERIFY(!d.deviceName.isEmpty());
    QCOMPARE(d.pid, QString::number(QCoreApplication::applicationPid()));
    QVERIFY(!d.isDefault && !d.isNewCreate && !d.forceSave && d.lastPid.isEmpty());
}

QTEST_GUILESS_MAIN(tst_KZelvaWorkAreaDefaultName)
#include "tst_kzelvaworkareadefaultname.moc"
