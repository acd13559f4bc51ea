// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <ksyncsettingsmanager.h>
#include <kzelvahostutils.h>

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// "path/key=value" for every value, "path/" for every empty group.
QStringList flattened(const KSyncSettingsNode &node, const QString &prefix = QString())
{
    QStringList lines;
    for (auto it = node.values.cbegin(); it != node.values.cend(); ++it)
        lines << prefix + it.key() + QLatin1Char('=') + it.value();
    for (auto it = node.groups.cbegin(); it != node.groups.cend(); ++it) {
        const QString path = prefix + it.key() + QLatin1Char('/');
        lines << (it.value().isEmpty() ? QStringList{path} : flattened(it.value(), path));
    }
    return lines;
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
    void goodText_data();
    void goodText();
    void badText_data();
    void badText();
    void merged_data();
    void merged();
    void cursorFollowsTree_data();
    void cursorFollowsTree();
    void oldRecordFile_data();
    void oldRecordFile();
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
}

// The reader's fast path and the full JSON parser behind it must give the
// same tree; the row marked "fallback" is a legal text the fast path leaves
// to the full parser.
void tst_KSyncSettingsData::goodText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char *name, const QByteArray &text, const QStringList &expected) {
        QTest::newRow(name) << text << expected;
    };
    const QString k = QStringLiteral("k=");
    row("spacing", " \r\n{ \"values\" :\t{ \"k\" : \"v\" } , \"groups\":{ } }\n", {k + QLatin1Char('v')});
    row("unsorted", R"({"values":{"b":"2","a":"1"},"groups":{"z":{},"y":{"values":{"k":""}}}})",
        {QStringLiteral("a=1"), QStringLiteral("b=2"), QStringLiteral("y/k="), QStringLiteral("z/")});
    row("short escapes", R"({"values":{"k":"\"\\\/\b\f\n\r\t"}})", {k + QStringLiteral("\"\\/\b\f\n\r\t")});
    row("unicode escapes", R"({"values":{"k":"\u00e9\uD83D\ude00\ud800"}})",
        {k + QStringLiteral("\u00e9\U0001F600") + QChar(0xD800)});
    row("unknown escape: its letter", R"({"values":{"k":"\a\x"}})", {k + QStringLiteral("ax")});
    row("raw UTF-8 and controls", "{\"values\":{\"k\":\"\xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbf\x01\"}}",
        {k + QStringLiteral("\u4e2d\U0001F600\uFFFF\u0001")});
    row("escape after UTF-8, past 8-byte words", "{\"values\":{\"k\":\"0123456789\xc3\xa9 abcdefgh\\nx\"}}",
        {k + QStringLiteral("0123456789\u00e9 abcdefgh\nx")});
    row("repeated key: last wins", R"({"values":{"k":"1","k":"2"}})", {k + QLatin1Char('2')});
    row("repeated member: last wins", R"({"values":{"a":"1"},"values":{"k":"2"}})", {k + QLatin1Char('2')});
    row("repeated group: last wins", R"({"groups":{"g":{"values":{"a":"1"}},"g":{"values":{"k":"2"}}}})",
        {QStringLiteral("g/k=2")});
    row("byte order mark (fallback)", "\xef\xbb\xbf{\"values\":{\"k\":\"v\"}}", {k + QLatin1Char('v')});
    row("deepest allowed", nested(KSyncSettingsNode::MaxDepth),
        {QStringLiteral("g/").repeated(KSyncSettingsNode::MaxDepth)});
}

void tst_KSyncSettingsData::goodText()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    KSyncSettingsNode node;
    QString error;
    QVERIFY2(KSyncSettingsNode::fromText(text, &node, &error), qPrintable(error));
    QCOMPARE(flattened(node), expected);
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
    QTest::newRow("one too deep") << nested(KSyncSettingsNode::MaxDepth + 1);
    QTest::newRow("far too deep") << nested(100000);
    QTest::newRow("trailing comma") << QByteArray(R"({"values":{"k":"v",}})");
    QTest::newRow("missing colon") << QByteArray(R"({"values"{"k":"v"}})");
    QTest::newRow("garbage after") << QByteArray(R"({"values":{}} x)");
    QTest::newRow("unterminated text") << QByteArray(R"({"values":{"k":"v}})");
    QTest::newRow("null group") << QByteArray(R"({"groups":{"g":null}})");
    QTest::newRow("short \\u") << QByteArray(R"({"values":{"k":"\u12"}})");
    QTest::newRow("overlong UTF-8") << QByteArray("{\"values\":{\"k\":\"\xc0\xaf\"}}");
    QTest::newRow("UTF-8 surrogate") << QByteArray("{\"values\":{\"k\":\"\xed\xa0\x80\"}}");
    QTest::newRow("past U+10FFFF") << QByteArray("{\"values\":{\"k\":\"\xf4\x90\x80\x80\"}}");
    QTest::newRow("cut UTF-8") << QByteArray("{\"values\":{\"k\":\"\xe4\xb8\"}}");
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
    row("siblings and parents", "in a;in x;get k=x;out;get k=1;out;in b;get k=2;out;get k=-");
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

// Record files written before must still verify: the checksum is CRC-32
// (reflected, 0xEDB88320), here computed bit by bit over every tail length.
void tst_KSyncSettingsData::oldRecordFile_data()
{
    QTest::addColumn<int>("padding");
    QTest::addColumn<bool>("damaged");
    for (int padding = 0; padding < 8; ++padding)
        QTest::addRow("payload tail %d", (20 + padding) % 8) << padding << false;
    QTest::newRow("one byte changed") << 3 << true;
}

void tst_KSyncSettingsData::oldRecordFile()
{
    QFETCH(int, padding);
    QFETCH(bool, damaged);
    const auto crc32 = [](quint32 crc, const QByteArray &bytes) {
        crc = ~crc;
        for (const char byte : bytes) {
            crc ^= quint8(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    QCOMPARE(crc32(0, "123456789"), 0xCBF43926u);

    const QByteArray payload = R"({"values":{"k":"v"}})" + QByteArray(padding, ' ');
    char header[40] = "KZSYNCP1"; // on the stack: GCC takes writes into a fresh QByteArray for overflows
    qToLittleEndian<quint32>(1, header + 8);
    qToLittleEndian<quint32>(quint32(payload.size()), header + 12);
    qToLittleEndian<quint64>(7, header + 16);
    qToLittleEndian<quint64>(0x1234, header + 24);
    qToLittleEndian<quint32>(crc32(crc32(0, QByteArray(header, 32)), payload), header + 32);
    QByteArray file = QByteArray(header, sizeof header) + payload;
    if (damaged)
        file[file.size() - 1] = '\n';

    QTemporaryDir dir;
    KSyncSettingsManager manager(dir.path());
    const QString path = manager.getDefaultSyncCfgFilePath(QStringLiteral("ann"), QStringLiteral("workarea"));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    if (damaged)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("checksum mismatch")));
    ISyncSettingsData *data = manager.getUserSettings(QStringLiteral("ann"), QStringLiteral("workarea"))->data();
    QCOMPARE(data->value(QStringLiteral("k")), damaged ? QString() : QStringLiteral("v"));
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
