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

} // namespace

// One run of the probe: how it is installed and started, and what it must answer.
struct Setup
{
    bool marker = false;         // libvnx.so next to the executable
    bool viaSymlink = false;     // started through a link in another directory
    ConfigHome configHome = ConfigHome::Absolute;
    QByteArray settingsText;     // raw settings file, @TMP@ = temporary directory
    QVariantMap settingsValues;  // or: written by QSettings into group 6.0
    QString library;             // configuration centre to install
    QString libraryDir;          // where, relative to the temporary directory
    QByteArray launcherName;     // KZELVA_LAUNCHER_NAME for the stand-in
    const char *expected = "";   // "name=answer|...", @TMP@ = temporary directory
};
Q_DECLARE_METATYPE(Setup)

class tst_KProductConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
};

void tst_KProductConfig::answers_data()
{
    QTest::addColumn<Setup>("setup");
    const QByteArray optSuite("[6.0]\nCommon\\InstallRoot=/opt/suite\nCommon\\hostprocname=zelvashell\n");
    const QByteArray tmpSuiteNoName("[6.0]\nCommon\\InstallRoot=@TMP@/suite\nCommon\\hostprocname=\n");
    const QByteArray homeSuite("[6.0]\nCommon\\InstallRoot=@TMP@/home-suite\n");
    const QString standin = QStringLiteral(KZ_CONFIG_STANDIN);
    const QString suiteDir = QStringLiteral("suite/didude6");
    const QVariantMap oddValues{{QStringLiteral("Common/InstallRoot"), QStringLiteral("/opt/Büro, \"2026\" \U0001F600 ")},
                                {QStringLiteral("Common/hostprocname"), QStringLiteral("zelva shell")}};
    const auto row = [](const char *name, const Setup &setup) { QTest::newRow(name) << setup; };
    const auto A = ConfigHome::Absolute;

    row("marker next to the executable wins over the settings",
        {true, false, A, optSuite, {}, {}, {}, {},
         "executableDirectory=@TMP@/bin|installRoot=@TMP@/bin|hostProcessPath=@TMP@/bin/zelvashell|"
         "oemFile=@TMP@/bin/cfgs/oem.ini|productFile=@TMP@/bin/cfgs/product.dat"});
    row("marker next to the link target, not the link",
        {true, true, A, optSuite, {}, {}, {}, {}, "executableDirectory=@TMP@/bin|installRoot=@TMP@/bin"});
    row("install root from the settings",
        {false, false, A, optSuite, {}, {}, {}, {},
         "installRoot=/opt/suite/didude6|hostProcessPath=/opt/suite/didude6/zelvashell|"
         "oemFile=/opt/suite/didude6/cfgs/oem.ini|configCenter=|configCenterOk=0"});
    row("settings written by QSettings",
        {false, false, A, {}, oddValues, {}, {}, {},
         "installRoot=/opt/Büro, \"2026\" \U0001F600 /didude6|"
         "hostProcessPath=/opt/Büro, \"2026\" \U0001F600 /didude6/zelva shell"});
    row("nothing configured",
        {false, false, A, {}, {}, {}, {}, {}, "installRoot=|hostProcessPath=|oemFile=/cfgs/oem.ini|configCenterOk=0"});
    row("empty host name asks configValue",
        {false, false, A, tmpSuiteNoName, {}, standin, suiteDir, "zelva-\xF0\x9F\x98\x80",
         "installRoot=@TMP@/suite/didude6|hostProcessPath=@TMP@/suite/didude6/zelva-\U0001F600|"
         "configCenter=zelva-\U0001F600|configCenterOk=1|configCenterNoOk=zelva-\U0001F600|"
         "configCenterUnknown=|configCenterUnknownOk=0"});
    row("value entry point answers in utf-8",
        {false, false, A, tmpSuiteNoName, {}, QStringLiteral(KZ_CONFIG_FIXTURE_VALUE), suiteDir, {},
         "hostProcessPath=@TMP@/suite/didude6/launcher-\U0001F600-é|configCenter=launcher-\U0001F600-é|"
         "configCenterOk=1|configCenterStable=1|configCenterNoOk=|configCenterUnknown=|configCenterUnknownOk=0"});
    row("library without entry points",
        {false, false, A, tmpSuiteNoName, {}, QStringLiteral(KZ_CONFIG_FIXTURE_NONE), suiteDir, {},
         "installRoot=@TMP@/suite/didude6|hostProcessPath=|configCenter=|configCenterOk=0"});
    row("no configuration centre",
        {false, false, A, tmpSuiteNoName, {}, {}, {}, {}, "installRoot=@TMP@/suite/didude6|hostProcessPath=|configCenterOk=0"});
    row("configuration centre next to the executable",
        {true, false, A, {}, {}, standin, QStringLiteral("bin"), {},
         "installRoot=@TMP@/bin|hostProcessPath=@TMP@/bin/zelvashell"});
    row("relative XDG_CONFIG_HOME is ignored",
        {false, false, ConfigHome::Relative, homeSuite, {}, {}, {}, {}, "installRoot=@TMP@/home-suite/didude6"});
    row("unset XDG_CONFIG_HOME means HOME/.config",
        {false, false, ConfigHome::Unset, homeSuite, {}, {}, {}, {}, "installRoot=@TMP@/home-suite/didude6"});
}

void tst_KProductConfig::answers()
{
    QFETCH(Setup, setup);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // /proc/self/exe is resolved, so compare against the resolved directory.
    const QString tmp = QFileInfo(dir.path()).canonicalFilePath();
    const QString binDir = tmp + QStringLiteral("/bin");
    const QString program = binDir + QStringLiteral("/kzconfigprobe");
    QVERIFY(QDir().mkpath(binDir));
    QVERIFY(QFile::copy(QStringLiteral(KZ_CONFIG_PROBE), program));
    if (setup.marker)
        QVERIFY(writeFile(binDir + QStringLiteral("/libvnx.so"), QByteArray()));
    QString start = program;
    if (setup.viaSymlink) {
        QVERIFY(QDir().mkpath(tmp + QStringLiteral("/link")));
        start = tmp + QStringLiteral("/link/kzconfigprobe");
        QVERIFY(QFile::link(program, start));
    }
    if (!setup.library.isEmpty()) {
        const QString target = tmp + QLatin1Char('/') + setup.libraryDir + QStringLiteral("/libkbaseconfigcenter.so");
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(QFile::copy(setup.library, target));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), tmp + QStringLiteral("/home"));
    QString configDir = tmp + QStringLiteral("/home/.config");
    switch (setup.configHome) {
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
    if (setup.launcherName.isEmpty())
        env.remove(QStringLiteral("KZELVA_LAUNCHER_NAME"));
    else
        env.insert(QStringLiteral("KZELVA_LAUNCHER_NAME"), QString::fromUtf8(setup.launcherName));

    const QString settingsFile = configDir + QStringLiteral("/Varnex/Office.conf");
    if (!setup.settingsText.isEmpty())
        QVERIFY(writeFile(settingsFile, setup.settingsText.replace("@TMP@", QFile::encodeName(tmp))));
    if (!setup.settingsValues.isEmpty()) {
        QSettings writer(settingsFile, QSettings::IniFormat);
        writer.beginGroup(QStringLiteral("6.0"));
        for (auto it = setup.settingsValues.cbegin(); it != setup.settingsValues.cend(); ++it)
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
    for (QString line : QString::fromUtf8(setup.expected).split(QLatin1Char('|'))) {
        line.replace(QStringLiteral("@TMP@"), tmp);
        const int equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals);
        QVERIFY2(answers.contains(name), qPrintable(name));
        QCOMPARE(answers.value(name), line.mid(equals + 1));
    }
}

QTEST_GUILESS_MAIN(tst_KProductConfig)
#include "tst_kproductconfig.moc"
