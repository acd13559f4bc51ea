// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include <ksyncsettingsdata.h>
#include <kzelvahostutils.h>

#include <QtTest>

class tst_KSyncSettingsData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readingCreatesNothing();
    void removeGroupsOnlyBelowCurrent();
    void textRoundTrip();
    void badText_data();
    void badText();
    void merged_data();
    void merged();
    void homeRelativePath_data();
    void homeRelativePath();
};

void tst_KSyncSettingsData::readingCreatesNothing()
{
    KSyncSettingsData data;
    data.beginGroup(QStringLiteral("a"));
    data.beginGroup(QStringLiteral("b"));
    QCOMPARE(data.value(QStringLiteral("k"), QStringLiteral("def")), QStringLiteral("def"));
    QVERIFY(data.childKeys().isEmpty() && data.childGroups().isEmpty());
    QCOMPARE(data.removeGroups({QStringLiteral("c")}), 0);
    data.remove(QStringLiteral("k"));
    QCOMPARE(data.groupPath(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    data.endGroup();
    data.endGroup();
    QTest::ignoreMessage(QtWarningMsg, "endGroup at the root ignored");
    data.endGroup(); // one too many: ignored
    QVERIFY(data.root().isEmpty());
    QCOMPARE(data.revision(), quint64(0));

    data.beginGroup(QStringLiteral("a"));
    data.beginGroup(QStringLiteral("b"));
    data.setValue(QStringLiteral("k"), QString());
    data.endGroup();
    QCOMPARE(data.childGroups(), QStringList{QStringLiteral("b")});
    data.beginGroup(QStringLiteral("b"));
    QVERIFY(data.contains(QStringLiteral("k")));
    QCOMPARE(data.value(QStringLiteral("k"), QStringLiteral("def")), QString());
}

void tst_KSyncSettingsData::removeGroupsOnlyBelowCurrent()
{
    KSyncSettingsData data;
    for (const char *path : {"w1/i1", "w1/i2", "w1/i3", "w2/i1"}) {
        const QStringList names = QString::fromLatin1(path).split(QLatin1Char('/'));
        data.beginGroup(names.at(0));
        data.beginGroup(names.at(1));
        data.setValue(QStringLiteral("id"), names.at(1));
        data.endGroup();
        data.endGroup();
    }
    data.beginGroup(QStringLiteral("w1"));
    QCOMPARE(data.removeGroups({QStringLiteral("i1"), QStringLiteral("i3"), QStringLiteral("w2"),
                                QStringLiteral("i1")}),
             2);
    QCOMPARE(data.childGroups(), QStringList{QStringLiteral("i2")});
    data.endGroup();
    data.beginGroup(QStringLiteral("w2"));
    QCOMPARE(data.childGroups(), QStringList{QStringLiteral("i1")});
}

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
}

void tst_KSyncSettingsData::badText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("[values]\nk=v");
    QTest::newRow("truncated") << QByteArray(R"({"values":{"k":"v")");
    QTest::newRow("array") << QByteArray(R"(["values"])");
    QTest::newRow("number value") << QByteArray(R"({"values":{"k":1}})");
    QTest::newRow("values not object") << QByteArray(R"({"values":"k"})");
    QTest::newRow("group not object") << QByteArray(R"({"groups":{"g":"x"}})");
    QTest::newRow("unknown member") << QByteArray(R"({"vals":{}})");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    QByteArray deep;
    for (int i = 0; i <= KSyncSettingsNode::MaxDepth + 1; ++i)
        deep += R"({"groups":{"g":)";
    deep += "{}";
    for (int i = 0; i <= KSyncSettingsNode::MaxDepth + 1; ++i)
        deep += "}}";
    QTest::newRow("too deep") << deep;
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
    const QByteArray g1 = R"({"groups":{"w1":{"values":{"n":"a"}}}})";
    QTest::newRow("nothing changed here") << g1 << g1 << QByteArray(R"({"values":{"t":"1"}})")
                                          << QByteArray(R"({"values":{"t":"1"}})");
    QTest::newRow("both add groups")
        << g1 << QByteArray(R"({"groups":{"w1":{"values":{"n":"a"}},"w2":{"values":{"n":"b"}}}})")
        << QByteArray(R"({"groups":{"w1":{"values":{"n":"a"}},"w3":{"values":{"n":"c"}}}})")
        << QByteArray(R"({"groups":{"w1":{"values":{"n":"a"}},"w2":{"values":{"n":"b"}},"w3":{"values":{"n":"c"}}}})");
    QTest::newRow("same value set on both sides: ours")
        << QByteArray(R"({"values":{"k":"0"}})") << QByteArray(R"({"values":{"k":"L"}})")
        << QByteArray(R"({"values":{"k":"T","u":"1"}})") << QByteArray(R"({"values":{"k":"L","u":"1"}})");
    QTest::newRow("value removed here, changed there")
        << QByteArray(R"({"values":{"k":"0","j":"0"}})") << QByteArray(R"({"values":{"j":"0"}})")
        << QByteArray(R"({"values":{"k":"T","j":"0"}})") << QByteArray(R"({"values":{"j":"0"}})");
    QTest::newRow("group removed there, changed here")
        << QByteArray(R"({"groups":{"w1":{"values":{"n":"a","c":"red"}}}})")
        << QByteArray(R"({"groups":{"w1":{"values":{"n":"b","c":"red"}}}})") << QByteArray("{}")
        << QByteArray(R"({"groups":{"w1":{"values":{"n":"b","c":"red"}}}})");
    QTest::newRow("group removed there, untouched here") << g1 << g1 << QByteArray("{}") << QByteArray("{}");
    QTest::newRow("group removed here, changed there")
        << g1 << QByteArray("{}") << QByteArray(R"({"groups":{"w1":{"values":{"n":"z"}}}})") << QByteArray("{}");
    QTest::newRow("last value of a group removed: group dropped")
        << g1 << QByteArray(R"({"groups":{"w1":{}}})") << g1 << QByteArray("{}");
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
    row("elsewhere", "/home/ann", "/srv/x", "/srv/x", "/srv/x");
    row("empty", "/home/ann", "", "", "");
    row("url", "/home/ann", "https://h/x", "https://h/x", "https://h/x");
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
