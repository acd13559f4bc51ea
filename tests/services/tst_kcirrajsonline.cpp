// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The call log's JSON writer: whatever bytes a peer sends, the line is JSON.
#include "kcirrajsonline.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(std::string)

class tst_KCirraJsonLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void text_data();
    void text();
    void mixedValues();
};

void tst_KCirraJsonLine::text_data()
{
    QTest::addColumn<std::string>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << std::string("showTransferHelperDlg") << QStringLiteral("showTransferHelperDlg");
    QTest::newRow("quote and backslash") << std::string("a\"b\\c") << QStringLiteral("a\"b\\c");
    QTest::newRow("control characters") << std::string("l1\nl2\t\x01", 7) << QStringLiteral("l1\nl2\t\x01");
    QTest::newRow("nul byte") << std::string("a\0b", 3) << QString::fromUtf16(u"a\u0000b", 3);
    QTest::newRow("multi-byte UTF-8") << std::string("\xc3\xa9\xe6\x96\x87\xf0\x9f\x98\x80")
                                      << QString::fromUtf8("\xc3\xa9\xe6\x96\x87\xf0\x9f\x98\x80");
    QTest::newRow("invalid byte") << std::string("a\xff" "b") << QString::fromUtf16(u"a\ufffdb");
    QTest::newRow("truncated sequence at the end") << std::string("a\xe6\x96") << QString::fromUtf16(u"a\ufffd\ufffd");
    QTest::newRow("overlong encoding") << std::string("\xc0\xaf") << QString::fromUtf16(u"\ufffd\ufffd");
    QTest::newRow("encoded surrogate") << std::string("\xed\xa0\x80") << QString::fromUtf16(u"\ufffd\ufffd\ufffd");
}

void tst_KCirraJsonLine::text()
{
    QFETCH(std::string, input);
    QFETCH(QString, expected);

    const QByteArray line = KCirraJsonLine().add("k", input).finish();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    QVERIFY2(doc.isObject(), qPrintable(error.errorString() + QLatin1Char(' ') + QString::fromLatin1(line.toHex())));
    QCOMPARE(doc.object().value(QStringLiteral("k")).toString(), expected);
}

void tst_KCirraJsonLine::mixedValues()
{
    const QByteArray nested = KCirraJsonLine().add("method", std::string("m")).finish();
    const QByteArray line = KCirraJsonLine()
                                .add("n", qint64(-1234567890123))
                                .addBool("b", true)
                                .add("map", std::map<std::string, std::string>{{"", "e"}, {"k\"", "v"}})
                                .addJson("arg", nested)
                                .finish();
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    QCOMPARE(o.value(QStringLiteral("n")).toDouble(), -1234567890123.0);
    QCOMPARE(o.value(QStringLiteral("b")).toBool(), true);
    QCOMPARE(o.value(QStringLiteral("map")).toObject(),
             QJsonObject({{QString(), QStringLiteral("e")}, {QStringLiteral("k\""), QStringLiteral("v")}}));
    QCOMPARE(o.value(QStringLiteral("arg")).toObject().value(QStringLiteral("method")).toString(), QStringLiteral("m"));
}

QTEST_GUILESS_MAIN(tst_KCirraJsonLine)
#include "tst_kcirrajsonline.moc"
