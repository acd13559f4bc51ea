// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// KProductConfig::settingsValue against QSettings as the oracle: a file that
// QSettings writes, hand-written files with the format's corners, and broken files.
#include "kproductconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A default no test file holds, so that "not found" is told apart from "".
const std::wstring kAbsent = L"<absent \x1F47B>";

QStringList g_log;

void collectLog(int level, const char *message)
{
    g_log.append(QString::number(level) + QLatin1Char(' ') + QString::fromUtf8(message));
}

// Text with everything but printable ASCII escaped, for failure messages.
QString visible(const QString &text)
{
    const std::unique_ptr<char[]> pretty(QTest::toPrettyUnicode(text));
    return QString::fromUtf8(pretty.get());
}

QString describe(const std::wstring &value)
{
    return value == kAbsent ? QStringLiteral("<default>")
                            : QLatin1Char('"') + visible(QString::fromStdWString(value)) + QLatin1Char('"');
}

bool hasLoneSurrogate(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return true;
    }
    return false;
}

// What settingsValue is meant to give for a value QSettings read: text as
// QVariant::toString() has it, a string list joined by ',', nothing else.
bool textOf(const QVariant &value, QString *text)
{
    switch (value.userType()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        *text = value.toString();
        return true;
    case QMetaType::QStringList:
        *text = value.toStringList().join(QLatin1Char(','));
        return true;
    default:
        return false;
    }
}

// A hand-written file with "full key=value" entries and absent keys, each list
// '|'-separated; both are checked besides QSettings.
void row(const char *name, const char *bytes, const char *mustHold, const char *absent = "")
{
    const auto split = [](const char *list) {
        return QString::fromUtf8(list).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    };
    QTest::newRow(name) << QByteArray(bytes) << split(mustHold) << split(absent);
}

} // namespace

class tst_KIniParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void readsWhatQSettingsWrites();
    void handWritten_data();
    void handWritten();
    void badInput_data();
    void badInput();

private:
    void writeSettingsFile(const QByteArray &bytes);
    QStringList differences(const QByteArray &bytes, int *compared);

    QTemporaryDir m_dir;
    QString m_settingsFile;
    int m_oracleFiles = 0;
};

void tst_KIniParser::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Before the first KProductConfig call, which fixes the directory for
    // the process: the real home stays untouched.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    m_settingsFile = QString::fromStdWString(KProductConfig::settingsFilePath());
    QCOMPARE(m_settingsFile, m_dir.filePath(QStringLiteral("config/Varnex/Office.conf")));
    QVERIFY(QDir().mkpath(QFileInfo(m_settingsFile).path()));
    KProductConfig::setLogHandler(collectLog);
}

void tst_KIniParser::cleanup()
{
    g_log.clear();
    if (QFileInfo(m_settingsFile).isDir()) {
        QVERIFY(QDir(m_settingsFile).removeRecursively());
    } else {
        QFile::setPermissions(m_settingsFile, QFile::ReadOwner | QFile::WriteOwner);
        ::unlink(QFile::encodeName(m_settingsFile).constData()); // a file or a FIFO; none is fine too
    }
}

void tst_KIniParser::writeSettingsFile(const QByteArray &bytes)
{
    QFile file(m_settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// Every key QSettings finds in bytes, looked up through settingsValue as a
// full key and as group + rest; returns one line per disagreement.
QStringList tst_KIniParser::differences(const QByteArray &bytes, int *compared)
{
    // A fresh file name each time: QSettings caches parsed files by name.
    const QString oraclePath = m_dir.filePath(QStringLiteral("oracle-%1.ini").arg(++m_oracleFiles));
    {
        QFile file(oraclePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {QStringLiteral("cannot write %1").arg(oraclePath)};
    }
    writeSettingsFile(bytes);

    QSettings oracle(oraclePath, QSettings::IniFormat);
    // allKeys() reads every section before the first lookup, which is what
    // settingsValue does on each call.
    const QStringList keys = oracle.allKeys();
    QStringList problems;
    for (const QString &key : keys) {
        if (key.isEmpty() || hasLoneSurrogate(key))
            continue; // not expressible as a wide-string key
        QString text;
        const bool isText = textOf(oracle.value(key), &text);
        const std::wstring expected = isText ? text.toStdWString() : kAbsent;
        const int slash = key.indexOf(QLatin1Char('/'));
        QVector<QPair<QString, QString>> lookups = {{QString(), key}};
        if (slash > 0 && slash + 1 < key.size())
            lookups.append({key.left(slash), key.mid(slash + 1)});
        for (const auto &lookup : qAsConst(lookups)) {
            const std::wstring got = KProductConfig::settingsValue(lookup.first.toStdWString(),
                                                                   lookup.second.toStdWString(), kAbsent);
            if (got != expected) {
                problems << QStringLiteral("key \"%1\" as group \"%2\": QSettings %3, settingsValue %4")
                                .arg(visible(key), visible(lookup.first), describe(expected), describe(got));
            }
        }
        if (isText)
            ++*compared;
    }
    return problems;
}

// One file QSettings writes with a value of each kind and the characters
// its writer escapes, in keys and in values, with and without a codec.
void tst_KIniParser::readsWhatQSettingsWrites()
{
    const QString odd = QStringLiteral(" \t\"'\\%=;#,[]@\u00e9\u4f60\U0001F600\u00a0\u0001\u007f\u200b\ufeff");
    const QVariantList values = {QString(odd + QStringLiteral("\n\r\n@String(@ByteArray(/)")),
                                 QStringList{odd, QString(), QStringLiteral("a,b")},
                                 QByteArray("\0\xff\x80 x", 5),
                                 QString(),
                                 42,
                                 QRect(1, 2, 3, 4)};
    const QStringList keys = {QStringLiteral("plain"),         QStringLiteral("General/k"),
                              QStringLiteral("%general/k"),    QStringLiteral("6.0/Common/") + odd,
                              odd + QStringLiteral("/") + odd, odd};
    int compared = 0;
    for (bool utf8 : {false, true}) {
        const QString path = m_dir.filePath(QStringLiteral("written-%1.ini").arg(utf8));
        {
            QSettings writer(path, QSettings::IniFormat);
            if (utf8)
                writer.setIniCodec("UTF-8");
            for (const QString &key : keys) {
                for (int i = 0; i < values.size(); ++i)
                    writer.setValue(key + QString::number(i), values.at(i));
            }
            writer.sync();
            QCOMPARE(writer.status(), QSettings::NoError);
        }
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        const QStringList problems = differences(bytes, &compared);
        QVERIFY2(problems.isEmpty(), qPrintable(visible(QString::fromLatin1(bytes)) + QLatin1Char('\n')
                                                + problems.mid(0, 10).join(QLatin1Char('\n'))));
    }
    // Guards against an oracle that compares nothing.
    QVERIFY2(compared >= 2 * keys.size() * 4, qPrintable(QString::number(compared)));
}

void tst_KIniParser::handWritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("mustHold"); // "full key=value", checked besides QSettings
    QTest::addColumn<QStringList>("absent");

    row("suite settings layout",
        "[General]\ntop=1\n\n[6.0]\nCommon\\InstallRoot=/opt/suite\nCommon\\hostprocname=zelvashell\n",
        "top=1|6.0/Common/InstallRoot=/opt/suite|6.0/Common/hostprocname=zelvashell",
        "6.0/common/installroot|General/top");
    row("comments", "; heading\n[sec]\na=1 ; trailing\nb=\"x;y\"\n;c=3\n  ; indented\nd = 4\n# hash=5\n",
        "sec/a=1|sec/b=x;y|sec/d=4|sec/# hash=5", "sec/c");
    row("general sections", "[%General]\nx=1\n[General]\ny=2\n[general]\nz=3\n[%general]\nw=4\n[ GENERAL ]\nv=5\n",
        "General/x=1|y=2|z=3|general/w=4|v=5", "x|General/y");
    row("crlf line ends and continuations", "[s]\r\na=1\r\nb=\"two\r\nlines\"\r\nc=x\\\r\ny\r\nd=one\\\ntwo\ne=p\\\n\rq\n",
        "s/a=1|s/b=two\r\nlines|s/c=xy|s/d=onetwo|s/e=pq");
    row("duplicate keys and sections", "[s]\na=1\na=2\n[t]\nb=1\n[s]\na=3\n[s\\x]\ny=1\n[s]\nx\\y=2\n",
        "s/a=3|t/b=1|s/x/y=1");
    row("escapes",
        "a=\\a\\b\\f\\n\\r\\t\\v\\\"\\'\\?\\\\\\q\nb=\\x41\\x4a\\x4B1z\\x263a\\x1F600\n"
        "c=\\101\\0\\08\\777\nd=\\x\ne=\\xg\nf=\\\ng=x\\",
        "a=\a\b\f\n\r\t\v\"'?\\|b=AJ\u04B1z\u263A\uF600|e=g");
    row("quotes and blanks", "a=x\"y z\"w  \nb=\"  padded  \"\nc=  plain\t \nd=\\ x\\ \ne=\"\"\nf=\"open\n",
        "a=xy zw  |b=  padded  |c=plain|e=");
    row("lists", "a=1, 2 ,3\nb=@@x, y\nc=@x, y\nd=,\ne=\"a,b\"\nf=a,\"b,c\"\ng= \"p\" , q \n",
        "a=1,2,3|b=@x,y|d=,|e=a,b|f=a,b,c|g=p,q", "c");
    row("at forms",
        "a=@ByteArray(abc\\0def)\nb=@String(x\\0y)\nc=@Invalid()\nd=@Rect(1 2 3 4)\n"
        "e=@Rect(1 2 3)\nf=@Size(1 2)\ng=@@x\nh=@x\ni=@String(open\nj=@Point(1)2)\n"
        "k=@ByteArray(\\xc3\\xa9)\nl=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\a)\n",
        "a=abc|e=@Rect(1 2 3)|g=@x|h=@x|i=@String(open|k=\u00e9", "c|d|f|j|l");
    row("key escapes",
        "%41%4a=1\n%U00e9=2\n%UD83D%UDE00=3\n%zz=4\n%4=5\n%U12=6\n% 4=7\n%-1=8\n%0x=9\n"
        "%U0x41=10\na\\b=11\nsp ace=12\n%=13\n%U=14\n",
        "AJ=1|\u00e9=2|\U0001F600=3|%zz=4|a/b=11|sp ace=12");
    row("section names",
        "[a%20b\\c]\nk=1\n[ spaced ]\nk=2\n[unterminated\nk=3\n[x] trailing words\nk=4\n[]\nk=5\n[%U0047eneral]\nk=6\n",
        "a b/c/k=1|spaced/k=2|unterminated/k=3|x/k=4|General/k=6");
    row("raw utf-8 reads as latin-1", "k=\xc3\xa9\n\xc3\xa9=1\n", "k=\u00c3\u00a9|\u00c3\u00a9=1", "\u00e9");
    row("byte order mark makes values utf-8",
        "\xef\xbb\xbf[s]\nv=\xc3\xa9t\xc3\xa9\nw=\xef\xbb\xbfx\nz=a\xff\xc3\nq=0123456789abcdef\xef\xbb\xbfx\n",
        "s/v=\u00e9t\u00e9|s/w=x|s/z=a\uFFFD\uFFFD|s/q=0123456789abcdef\uFEFFx");
    row("byte order mark before a top-level key", "\xef\xbb\xbfk=1\nm=2\n", "\u00ef\u00bb\u00bfk=1|m=2", "k");
    row("indented lines after a comment", "; c\n  k=1\n; c\n  [s]\nm=2\n", "k=1|s/m=2", "m");
    row("equals signs", "\"a=b\"=c\nk=v=w\n==x\n", "k=v=w");
}

void tst_KIniParser::handWritten()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, mustHold);
    QFETCH(QStringList, absent);

    int compared = 0;
    const QStringList problems = differences(bytes, &compared);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));

    writeSettingsFile(bytes);
    for (const QString &entry : qAsConst(mustHold)) {
        const int equals = entry.indexOf(QLatin1Char('='));
        const std::wstring got = KProductConfig::settingsValue(std::wstring(), entry.left(equals).toStdWString(), kAbsent);
        QCOMPARE(describe(got), describe(entry.mid(equals + 1).toStdWString()));
    }
    for (const QString &key : qAsConst(absent))
        QCOMPARE(describe(KProductConfig::settingsValue(std::wstring(), key.toStdWString(), kAbsent)), describe(kAbsent));
}

enum class Place { File, Missing, Directory, Unreadable, Fifo };
Q_DECLARE_METATYPE(Place)

void tst_KIniParser::badInput_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("sameAsQSettings"); // otherwise: the default
    QTest::addColumn<QString>("logged");

    QRandomGenerator rng(20260401);
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    for (char &c : garbage)
        c = char(rng.bounded(256u));

    const QByteArray opt("[6.0]\nCommon\\InstallRoot=/opt\n");
    const auto row = [](const char *name, Place place, const QByteArray &bytes, bool sameAsQSettings,
                        const char *logged = "") {
        QTest::newRow(name) << place << bytes << sameAsQSettings << QString::fromUtf8(logged);
    };
    row("missing file", Place::Missing, {}, false);
    row("directory instead of the file", Place::Directory, {}, false, "not a regular file");
    row("unreadable file", Place::Unreadable, opt, false, "cannot read");
    row("fifo instead of the file", Place::Fifo, {}, false, "not a regular file");
    row("larger than any settings file", Place::File, opt + QByteArray(17 << 20, ';'), false, "larger than");
    row("binary garbage", Place::File, garbage, true);
    row("1 MiB line without equals sign", Place::File, QByteArray(1 << 20, 'y') + "\n" + opt, true,
        "Office.conf:1: line without '='");
    row("nul bytes", Place::File,
        QByteArrayLiteral("a=x\0y\nb\0c=2\n[s\0t]\nd=3\n[general\0junk]\ne=4\n%41\0=5\n[6.0]\nCommon\\InstallRoot=/o\0pt\n"),
        true);
    row("section without closing bracket", Place::File, "x=1\n[6.0\nCommon\\InstallRoot=/opt\n", true,
        "Office.conf:2: section name without ']'");
}

void tst_KIniParser::badInput()
{
    QFETCH(Place, place);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, sameAsQSettings);
    QFETCH(QString, logged);

    const QByteArray nativePath = QFile::encodeName(m_settingsFile);
    switch (place) {
    case Place::File:
    case Place::Missing:
        break;
    case Place::Directory:
        QVERIFY(QDir().mkpath(m_settingsFile));
        break;
    case Place::Unreadable:
        if (::geteuid() == 0)
            QSKIP("root reads files without read permission");
        writeSettingsFile(bytes);
        QVERIFY(QFile::setPermissions(m_settingsFile, QFileDevice::Permissions()));
        break;
    case Place::Fifo:
        QCOMPARE(::mkfifo(nativePath.constData(), 0600), 0);
        break;
    }

    if (sameAsQSettings) {
        int compared = 0;
        const QStringList problems = differences(bytes, &compared);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 10).join(QLatin1Char('\n'))));
    } else {
        if (place == Place::File)
            writeSettingsFile(bytes);
        QCOMPARE(describe(KProductConfig::settingsValue(L"6.0", L"Common/InstallRoot", kAbsent)), describe(kAbsent));
    }
    if (logged.isEmpty()) {
        if (!sameAsQSettings)
            QVERIFY2(g_log.isEmpty(), qPrintable(g_log.join(QLatin1Char('\n'))));
    } else {
        QVERIFY2(g_log.join(QLatin1Char('\n')).contains(logged), qPrintable(g_log.join(QLatin1Char('\n'))));
    }
}

QTEST_GUILESS_MAIN(tst_KIniParser)
#include "tst_kiniparser.moc"
