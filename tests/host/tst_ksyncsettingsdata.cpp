// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <ksyncsettingsmanager.h>
#include <kzelvahostutils.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The tree as QJsonDocument writes it: the text toText must give byte for byte.
QJsonObject asJson(const KSyncSettingsNode &node)
{
    QJsonObject object, values, groups;
    for (auto it = node.values.cbegin(); it != node.values.cend(); ++it)
        values.insert(it.key(), it.value());
    for (auto it = node.groups.cbegin(); it != node.groups.cend(); ++it)
        groups.insert(it.key(), asJson(it.value()));
    if (!values.isEmpty())
        object.insert(QStringLiteral("values"), values);
    if (!groups.isEmpty())
        object.insert(QStringLiteral("groups"), groups);
    return object;
}

QString randomText(QRandomGenerator *random)
{
    // ASCII, controls, quotes, Latin-1, CJK, pairs and lone surrogates.
    static const ushort pool[] = {'a',  'Z',  '0',   ' ',   '"',    '\\',   '/',    0x01,   0x1f,   '\n',  '\t',
                                  0x7f, 0xe9, 0x7ff, 0x800, 0x4e2d, 0xfffe, 0xd83d, 0xde00, 0xdbff, 0xdc00};
    QString text;
    for (int n = int(random->bounded(6)); n > 0; --n)
        text.append(QChar(pool[random->bounded(int(sizeof pool / sizeof *pool))]));
    return text;
}

void fillRandom(KSyncSettingsNode *node, QRandomGenerator *random, int depth)
{
    for (int n = int(random->bounded(4)); n > 0; --n)
        node->values.insert(randomText(random), randomText(random));
    for (int n = depth > 0 ? int(random->bounded(3)) : 0; n > 0; --n)
        fillRandom(&node->groups[randomText(random)], random, depth - 1);
}

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
    void cursorFollowsTree_data();
    void cursorFollowsTree();
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

    // Written straight from the tree, the text is what QJsonDocument writes.
    QRandomGenerator random(20261207);
    for (int i = 0; i < 2000; ++i) {
        KSyncSettingsNode node;
        fillRandom(&node, &random, 3);
        const QByteArray expected = QJsonDocument(asJson(node)).toJson(QJsonDocument::Compact);
        QVERIFY2(node.toText() == expected, expected.constData());
    }
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

// Steps: "cd a/b" sets the path from outside (as the group accessor does),
// "in g"/"out", "set k=v", "get k=v" ("-": missing), "rm k", "drop g,h=<count removed>",
// "groups a,b", "path a/b", "empty" (nothing stored, no change counted),
// "root <text>", "hold" (a copy shares the tree).
void tst_KSyncSettingsData::cursorFollowsTree_data()
{
    QTest::addColumn<QString>("steps");
    const char *tree = R"(root {"groups":{"a":{"values":{"k":"1"},"groups":{"x":{"values":{"k":"x"}}}},"b":{"values":{"k":"2"}}}})";
    const auto row = [tree](const char *name, const char *steps, bool onTree = true) {
        QTest::newRow(name) << (onTree ? QString::fromLatin1(tree) + QLatin1Char(';') : QString())
                                   + QString::fromLatin1(steps);
    };
    row("reading creates nothing",
        "in a;in b;get k=-;groups ;drop c=0;rm k;path a/b;out;out;out;path ;empty;in a;in b;set k=;out;groups b;"
        "in b;get k=",
        false);
    row("removing groups stays below the cursor",
        R"(root {"groups":{"w1":{"groups":{"i1":{"values":{"id":"1"}},"i2":{"values":{"id":"2"}},)"
        R"("i3":{"values":{"id":"3"}}}},"w2":{"groups":{"i1":{"values":{"id":"1"}}}}}};)"
        "in w1;drop i1,i3,w2,i1=2;groups i2;out;in w2;groups i1");
    row("write after read", "in a;get k=1;set k=3;get k=3;hold;set k=4;get k=4");
    row("write to a missing group", "in c;get k=-;set k=5;get k=5;out;groups a,b,c");
    row("new root under the cursor", R"(in a;get k=1;root {"groups":{"a":{"values":{"k":"9"}}}};get k=9;in x;get k=-)");
    row("path set from outside", "cd a;get k=1;cd b;get k=2;cd a/x;get k=x;cd;groups a,b");
    row("removed value and group", "in a;in x;get k=x;rm k;get k=-;out;drop x;groups ;in x;get k=-");
}

void tst_KSyncSettingsData::cursorFollowsTree()
{
    QFETCH(QString, steps);
    KSyncSettingsData data;
    KSyncSettingsNode held;
    for (const QString &step : steps.split(QLatin1Char(';'))) {
        const QString op = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        const QString key = arg.section(QLatin1Char('='), 0, 0);
        const QString value = arg.section(QLatin1Char('='), 1);
        if (op == QLatin1String("cd")) {
            data.setGroupPath(arg.split(QLatin1Char('/'), Qt::SkipEmptyParts));
        } else if (op == QLatin1String("in")) {
            data.beginGroup(arg);
        } else if (op == QLatin1String("out")) {
            data.endGroup();
        } else if (op == QLatin1String("set")) {
            data.setValue(key, value);
        } else if (op == QLatin1String("get")) {
            QVERIFY2(data.value(key, QStringLiteral("-")) == value, qPrintable(step));
            QCOMPARE(data.contains(key), value != QLatin1String("-"));
        } else if (op == QLatin1String("rm")) {
            data.remove(arg);
        } else if (op == QLatin1String("drop")) {
            const int removed = data.removeGroups(key.split(QLatin1Char(',')));
            QVERIFY2(value.isEmpty() || removed == value.toInt(), qPrintable(step));
        } else if (op == QLatin1String("path")) {
            QVERIFY2(data.groupPath().join(QLatin1Char('/')) == arg, qPrintable(step));
        } else if (op == QLatin1String("empty")) {
            QVERIFY(data.root().isEmpty());
            QCOMPARE(data.revision(), quint64(0));
        } else if (op == QLatin1String("groups")) {
            QVERIFY2(data.childGroups().join(QLatin1Char(',')) == arg, qPrintable(step));
        } else if (op == QLatin1String("root")) {
            KSyncSettingsNode root;
            QVERIFY(KSyncSettingsNode::fromText(arg.toUtf8(), &root));
            data.setRoot(root);
        } else {
            QCOMPARE(op, QStringLiteral("hold"));
            held = data.root();
        }
    }
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
