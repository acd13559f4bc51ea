// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Install root, host process path and configuration centre, each row in a
// process of its own (KProductConfig caches per process): the probe program
// is copied into a temporary install, next to a marker library or not, and
// run with a prepared settings file, environment and configuration centre.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class ConfigHome { Absolute, Relative, Unset };

QMap<QString, QString> parseAnswers(const QByteArray &output)
{
    QMap<QString, QString> answers;
    const QList<QByteArray> lines = output.split('\n');
    for (const QByteArray &line : lines) {
        const int equals = line.indexOf('=');
        if (equals > 0)
            answers.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return answers;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "name=answer" lines, '|'-separated.
QStringList expect(const char *lines)
{
    return QString::fromUtf8(lines).split(QLatin1Char('|'));
}

} // namespace

Q_DECLARE_METATYPE(ConfigHome)

class tst_KProductConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
};

void tst_KProductConfig::answers_data()
{
    QTest::addColumn<bool>("marker");            // libvnx.so next to the executable
    QTest::addColumn<bool>("viaSymlink");        // started through a link in another directory
    QTest::addColumn<ConfigHome>("configHome");
    QTest::addColumn<QByteArray>("settingsText"); // raw settings file, @TMP@ = temporary directory
    QTest::addColumn<QVariantMap>("settingsValues"); // or: written by QSettings into group 6.0
    QTest::addColumn<QString>("library");        // configuration centre to install
    QTest::addColumn<QString>("libraryDir");     // where, relative to the temporary directory
    QTest::addColumn<QByteArray>("launcherName"); // KZELVA_LAUNCHER_NAME for the stand-in
    QTest::addColumn<QStringList>("expected");   // "name=answer", @TMP@ = temporary directory

    const QByteArray optSuite("[6.0]\nCommon\\InstallRoot=/opt/suite\nCommon\\hostprocname=zelvashell\n");
    const QByteArray tmpSuiteNoName("[6.0]\nCommon\\InstallRoot=@TMP@/suite\nCommon\\hostprocname=\n");
    const QString standin = QStringLiteral(KZ_CONFIG_STANDIN);
    const QString suiteDir = QStringLiteral("suite/didude6");
    const QVariantMap noValues;

    QTest::newRow("marker next to the executable wins over the settings")
        << true << false << ConfigHome::Absolute << optSuite << noValues << QString() << QString() << QByteArray()
        << expect("executableDirectory=@TMP@/bin|installRoot=@TMP@/bin|hostProcessPath=@TMP@/bin/zelvashell|"
                  "oemFile=@TMP@/bin/cfgs/oem.ini|productFile=@TMP@/bin/cfgs/product.dat");
    QTest::newRow("marker next to the link target, not the link")
        << true << true << ConfigHome::Absolute << optSuite << noValues << QString() << QString() << QByteArray()
        << expect("executableDirectory=@TMP@/bin|installRoot=@TMP@/bin");
    QTest::newRow("install root from the settings")
        << false << false << ConfigHome::Absolute << optSuite << noValues << QString() << QString() << QByteArray()
        << expect("installRoot=/opt/suite/didude6|hostProcessPath=/opt/suite/didude6/zelvashell|"
                  "oemFile=/opt/suite/didude6/cfgs/oem.ini|configCenter=|configCenterOk=0");
    QTest::newRow("settings written by QSettings")
        << false << false << ConfigHome::Absolute << QByteArray()
        << QVariantMap{{QStringLiteral("Common/InstallRoot"), QStringLiteral("/opt/Büro, \"2026\" \U0001F600 ")},
                       {QStringLiteral("Common/hostprocname"), QStringLiteral("zelva shell")}}
        << QString() << QString() << QByteArray()
        << expect("installRoot=/opt/Büro, \"2026\" \U0001F600 /didude6|"
                  "hostProcessPath=/opt/Büro, \"2026\" \U0001F600 /didude6/zelva shell");
    QTest::newRow("nothing configured")
        << false << false << ConfigHome::Absolute << QByteArray() << noValues << QString() << QString() << QByteArray()
        << expect("installRoot=|hostProcessPath=|oemFile=/cfgs/oem.ini|configCenterOk=0");
    QTest::newRow("empty host name asks configValue")
        << false << false << ConfigHome::Absolute << tmpSuiteNoName << noValues << standin << suiteDir
        << QByteArray("zelva-\xF0\x9F\x98\x80")
        << expect("installRoot=@TMP@/suite/didude6|hostProcessPath=@TMP@/suite/didude6/zelva-\U0001F600|"
                  "configCenter=zelva-\U0001F600|configCenterOk=1|configCenterNoOk=zelva-\U0001F600|"
                  "configCenterUnknown=|configCenterUnknownOk=0");
    QTest::newRow("stand-in names the demo shell")
        << false << false << ConfigHome::Absolute << tmpSuiteNoName << noValues << standin << suiteDir << QByteArray()
        << expect("hostProcessPath=@TMP@/suite/didude6/zelvashell|configCenter=zelvashell");
    QTest::newRow("value entry point answers in utf-8")
        << false << false << ConfigHome::Absolute << tmpSuiteNoName << noValues
        << QStringLiteral(KZ_CONFIG_FIXTURE_VALUE) << suiteDir << QByteArray()
        << expect("hostProcessPath=@TMP@/suite/didude6/launcher-\U0001F600-é|configCenter=launcher-\U0001F600-é|"
                  "configCenterOk=1|configCenterStable=1|configCenterNoOk=|configCenterUnknown=|"
                  "configCenterUnknownOk=0");
    QTest::newRow("library without entry points")
        << false << false << ConfigHome::Absolute << tmpSuiteNoName << noValues
        << QStringLiteral(KZ_CONFIG_FIXTURE_NONE) << suiteDir << QByteArray()
        << expect("installRoot=@TMP@/suite/didude6|hostProcessPath=|configCenter=|configCenterOk=0");
    QTest::newRow("no configuration centre")
        << false << false << ConfigHome::Absolute << tmpSuiteNoName << noValues << QString() << QString()
        << QByteArray() << expect("installRoot=@TMP@/suite/didude6|hostProcessPath=|configCenterOk=0");
    QTest::newRow("configuration centre next to the executable")
        << true << false << ConfigHome::Absolute << QByteArray() << noValues << standin << QStringLiteral("bin")
        << QByteArray() << expect("installRoot=@TMP@/bin|hostProcessPath=@TMP@/bin/zelvashell");
    const QByteArray homeSuite("[6.0]\nCommon\\InstallRoot=@TMP@/home-suite\n");
    QTest::newRow("relative XDG_CONFIG_HOME is ignored")
        << false << false << ConfigHome::Relative << homeSuite << noValues << QString() << QString() << QByteArray()
        << expect("installRoot=@TMP@/home-suite/didude6");
    QTest::newRow("unset XDG_CONFIG_HOME means HOME/.config")
        << false << false << ConfigHome::Unset << homeSuite << noValues << QString() << QString() << QByteArray()
        << expect("installRoot=@TMP@/home-suite/didude6");
}

void tst_KProductConfig::answers()
{
    QFETCH(bool, marker);
    QFETCH(bool, viaSymlink);
    QFETCH(ConfigHome, configHome);
    QFETCH(QByteArray, settingsText);
    QFETCH(QVariantMap, settingsValues);
    QFETCH(QString, library);
    QFETCH(QString, libraryDir);
    QFETCH(QByteArray, launcherName);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // /proc/self/exe is resolved, so compare against the resolved directory.
    const QString tmp = QFileInfo(dir.path()).canonicalFilePath();
    const QString binDir = tmp + QStringLiteral("/bin");
    const QString program = binDir + QStringLiteral("/kzconfigprobe");
    QVERIFY(QDir().mkpath(binDir));
    QVERIFY(QFile::copy(QStringLiteral(KZ_CONFIG_PROBE), program));
    if (marker)
        QVERIFY(writeFile(binDir + QStringLiteral("/libvnx.so"), QByteArray()));
    QString start = program;
    if (viaSymlink) {
        QVERIFY(QDir().mkpath(tmp + QStringLiteral("/link")));
        start = tmp + QStringLiteral("/link/kzconfigprobe");
        QVERIFY(QFile::link(program, start));
    }
    if (!library.isEmpty()) {
        const QString target = tmp + QLatin1Char('/') + libraryDir + QStringLiteral("/libkbaseconfigcenter.so");
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(QFile::copy(library, target));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), tmp + QStringLiteral("/home"));
    QString configDir = tmp + QStringLiteral("/home/.config");
    switch (configHome) {
    case ConfigHome::Absolute:
        configDir = tmp + QStringLiteral("/xdg");
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
        break;
    case ConfigHome::Relative:
        // Relative to the working directory it would name tmp/xdg; a decoy
        // there must not be read.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("xdg"));
        QVERIFY(writeFile(tmp + QStringLiteral("/xdg/Varnex/Office.conf"),
                          "[6.0]\nCommon\\InstallRoot=/decoy\n"));
        break;
    case ConfigHome::Unset:
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        break;
    }
    if (launcherName.isEmpty())
        env.remove(QStringLiteral("KZELVA_LAUNCHER_NAME"));
    else
        env.insert(QStringLiteral("KZELVA_LAUNCHER_NAME"), QString::fromUtf8(launcherName));

    const QString settingsFile = configDir + QStringLiteral("/Varnex/Office.conf");
    if (!settingsText.isEmpty())
        QVERIFY(writeFile(settingsFile, settingsText.replace("@TMP@", QFile::encodeName(tmp))));
    if (!settingsValues.isEmpty()) {
        QSettings writer(settingsFile, QSettings::IniFormat);
        writer.beginGroup(QStringLiteral("6.0"));
        for (auto it = settingsValues.cbegin(); it != settingsValues.cend(); ++it)
            writer.setValue(it.key(), it.value());
        writer.endGroup();
        writer.sync();
        QCOMPARE(writer.status(), QSettings::NoError);
    }

    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.setWorkingDirectory(tmp);
    probe.start(start, QStringList());
    QVERIFY2(probe.waitForFinished(60000), qPrintable(probe.errorString()));
    const QByteArray errors = probe.readAllStandardError();
    QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0, errors.constData());

    const QMap<QString, QString> answers = parseAnswers(probe.readAllStandardOutput());
    for (QString line : qAsConst(expected)) {
        line.replace(QStringLiteral("@TMP@"), tmp);
        const int equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals);
        QVERIFY2(answers.contains(name), qPrintable(name));
        QCOMPARE(answers.value(name), line.mid(equals + 1));
    }
}

QTEST_GUILESS_MAIN(tst_KProductConfig)
#include "tst_kproductconfig.moc"
