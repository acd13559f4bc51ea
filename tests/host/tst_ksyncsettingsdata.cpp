// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A settings record's text, its three-way merge, home-relative paths. The
// cursor over the tree (groups, removals, reads of what is missing) is
// exercised by the plug-in's own serializer tests (tst_kzelvaworkareaserializer)
// and the group accessor by tst_ksyncsettingsmanager.
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <ksyncsettingsmanager.h>
#include <kzelvahostutils.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray nested(int depth)
{
    return QByteArray(R"({"groups":{"g":)").repeated(depth) + "{}" + QByteArray("}}").repeated(depth);
}

} // namespace

class tst_KSyncSettingsData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textRoundTrip();
    void badText_data();
    void badText();
    void merged_data();
    void merged();
    void homeRelativePath_data();
    void homeRelativePath();
};

void tst_KSyncSettingsData::textRoundTrip()
{
    KSyncSettingsData data;
    data.setValue(QStringLiteral("lastActiveWorkAreaId"), QStringLiteral("17000000001"));
    data.beginGroup(QStringLiteral("IndependentDefault"));
    data.beginGroup(QStringLiteral("grp/with \"odd\" näme"));
    data.setValue(QStringLiteral("key\\x"), QStringLiteral("line\nbreak \u00e9 \U0001F600"));
    data.setValue(QStringLiteral("empty"), QString());
    data.beginGroup(QStringLiteral(""));
    data.setValue(QStringLiteral("deep"), QStringLiteral("1"));

    const QByteArray text = data.root().toText();
    KSyncSettingsNode back;
    QString error;
    QVERIFY2(KSyncSettingsNode::fromText(text, &back, &error), qPrintable(error));
    QCOMPARE(back, data.root());
    QVERIFY(data.size() > 0);
    QCOMPARE(data.size(), qint64(back.groups.first().groups.first().groups.first().toText().size()));

    // Written straight from the tree, the text is QJsonDocument's, for every
    // kind of character: controls, quotes, Latin-1, CJK, a pair, lone halves.
    const QString odd = QChar(0xdc00) + QStringLiteral("a\"\\/\x01\x1f\n\t\x7f\u00e9\u07ff\u0800\u4e2d\ufffe")
                        + QChar(0xd83d) + QChar(0xde00) + QChar(0xdbff) + QLatin1Char('z');
    KSyncSettingsNode node;
    node.values.insert(odd, odd);
    node.groups[odd].values.insert(odd, odd);
    const QJsonObject values{{odd, odd}};
    const QJsonObject tree{
        {QStringLiteral("values"), values},
        {QStringLiteral("groups"), QJsonObject{{odd, QJsonObject{{QStringLiteral("values"), values}}}}}};
    QCOMPARE(node.toText(), QJsonDocument(tree).toJson(QJsonDocument::Compact));
}

void tst_KSyncSettingsData::badText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("[values]\nk=v");
    QTest::newRow("truncated") << QByteArray(R"({"values":{"k":"v")");
    QTest::newRow("one too deep") << nested(KSyncSettingsNode::MaxDepth + 1);
    QTest::newRow("far too deep") << nested(100000);
    QTest::newRow("overlong UTF-8") << QByteArray("{\"values\":{\"k\":\"\xc0\xaf\"}}");
}

void tst_KSyncSettingsData::badText()
{
    QFETCH(QByteArray, text);
    KSyncSettingsNode node;
    node.values.insert(QStringLiteral("keep"), QStringLiteral("me"));
    QString error;
    QVERIFY(!KSyncSettingsNode::fromText(text, &node, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(node.values.value(QStringLiteral("keep")), QStringLiteral("me"));
}

void tst_KSyncSettingsData::merged_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QByteArray>("local");
    QTest::addColumn<QByteArray>("theirs");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *name, const char *base, const char *local, const char *theirs,
                        const char *expected) {
        QTest::newRow(name) << QByteArray(base) << QByteArray(local) << QByteArray(theirs) << QByteArray(expected);
    };
    const char *g1 = R"({"groups":{"w1":{"values":{"n":"a"}}}})";
    const char *w1Red = R"({"groups":{"w1":{"values":{"n":"b","c":"red"}}}})";
    row("nothing changed here", g1, g1, R"({"values":{"t":"1"}})", R"({"values":{"t":"1"}})");
    row("both add groups", g1, R"({"groups":{"w1":{"values":{"n":"a"}},"w2":{"values":{"n":"b"}}}})",
        R"({"groups":{"w1":{"values":{"n":"a"}},"w3":{"values":{"n":"c"}}}})",
        R"({"groups":{"w1":{"values":{"n":"a"}},"w2":{"values":{"n":"b"}},"w3":{"values":{"n":"c"}}}})");
    row("same value set on both sides: ours", R"({"values":{"k":"0"}})", R"({"values":{"k":"L"}})",
        R"({"values":{"k":"T","u":"1"}})", R"({"values":{"k":"L","u":"1"}})");
    row("value removed here, changed there", R"({"values":{"k":"0","j":"0"}})", R"({"values":{"j":"0"}})",
        R"({"values":{"k":"T","j":"0"}})", R"({"values":{"j":"0"}})");
    row("group removed there, changed here", R"({"groups":{"w1":{"values":{"n":"a","c":"red"}}}})", w1Red, "{}", w1Red);
    row("group removed there, untouched here", g1, g1, "{}", "{}");
    row("group removed here, changed there", g1, "{}", R"({"groups":{"w1":{"values":{"n":"z"}}}})", "{}");
    row("last value of a group removed: group dropped", g1, R"({"groups":{"w1":{}}})", g1, "{}");
    // Read in key order, a repeated key's last value kept; set and removed at the front, middle and end.
    row("keys out of order and repeated", R"({"values":{"k":"0","j":"0","c":"0","k":"1"}})",
        R"({"values":{"m":"L","j":"0","k":"1","a":"x"}})", R"({"values":{"k":"T","c":"9","j":"T"}})",
        R"({"values":{"a":"x","j":"T","k":"T","m":"L"}})");
}

// Three-way merge of one writer's changes onto another's saved record.
void tst_KSyncSettingsData::merged()
{
    QFETCH(QByteArray, base);
    QFETCH(QByteArray, local);
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, expected);
    KSyncSettingsNode nodes[4];
    const QByteArray *texts[4] = {&base, &local, &theirs, &expected};
    for (int i = 0; i < 4; ++i)
        QVERIFY(KSyncSettingsNode::fromText(*texts[i], &nodes[i]));
    QCOMPARE(KSyncSettingsNode::merged(nodes[0], nodes[1], nodes[2]).toText(), nodes[3].toText());
}

void tst_KSyncSettingsData::homeRelativePath_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char *name, const char *home, const char *path, const char *stored, const char *back) {
        QTest::newRow(name) << QString::fromUtf8(home) << QString::fromUtf8(path) << QString::fromUtf8(stored)
                            << QString::fromUtf8(back);
    };
    row("under home", "/home/ann", "/home/ann/docs/a.qoz", "~/docs/a.qoz", "/home/ann/docs/a.qoz");
    row("home itself", "/home/ann", "/home/ann", "~", "/home/ann");
    row("home with slash", "/home/ann/", "/home/ann/x", "~/x", "/home/ann/x");
    row("sibling prefix", "/home/ann", "/home/ann2/x", "/home/ann2/x", "/home/ann2/x");
    row("empty", "/home/ann", "", "", "");
    row("root home", "/", "/x", "/x", "/x");
    row("no home", "", "/x", "/x", "/x");
    row("other user's tilde", "/home/ann", "~bob/x", "~bob/x", "~bob/x");
}

void tst_KSyncSettingsData::homeRelativePath()
{
    QFETCH(QString, home);
    QFETCH(QString, path);
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", home.toUtf8());
    const QString stored = toHomeRelativePath(path);
    const QString readBack = fromHomeRelativePath(stored);
    qputenv("HOME", saved);
    QTEST(stored, "stored");
    QTEST(readBack, "readBack");
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsData)
#include "tst_ksyncsettingsdata.moc"
