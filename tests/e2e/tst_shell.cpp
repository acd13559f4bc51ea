// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The demo shell survives bad automation input, recovers a crashed sibling
// once, and opens the popup from a clean environment.

#include "kshellprocess.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include <sys/stat.h>
#include <vector>

#include <unistd.h>

class tst_Shell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void badRequests_data();
    void badRequests();
    void siblingIsNoCrashAndACrashIsRecoveredOnce();
    void popupWithCleanEnvironment();

private:
    // One shell takes every bad line in turn: it must keep serving.
    std::unique_ptr<KShellProcess> m_target;
};

void tst_Shell::initTestCase()
{
    // Shells of this test start from nothing stored, also on a second run.
    const QDir profile(qEnvironmentVariable("KZELVA_PROFILE_DIR"));
    for (const char *name : {"bad-input", "siblings", "clean-env"})
        QDir(profile.filePath(QLatin1String(name))).removeRecursively();
    m_target = std::make_unique<KShellProcess>(QStringLiteral("bad-input"));
    QString error;
    QVERIFY2(m_target->start({}, &error), qPrintable(error));
}

void tst_Shell::cleanupTestCase()
{
    QCOMPARE(m_target->quit(), 0);
}

void tst_Shell::badRequests_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("not json") << QByteArray("hello\n") << QStringLiteral("malformed request");
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe\n", 5) << QStringLiteral("malformed request");
    QTest::newRow("unknown command") << QByteArray("{\"cmd\":\"launchRockets\"}\n")
                                     << QStringLiteral("unknown command");
    QTest::newRow("no such window") << QByteArray("{\"cmd\":\"newDocument\",\"window\":999}\n")
                                    << QStringLiteral("no such window");
    QTest::newRow("open without path") << QByteArray("{\"cmd\":\"openDocument\"}\n") << QStringLiteral("path missing");
    QTest::newRow("open missing file") << QByteArray("{\"cmd\":\"openDocument\",\"path\":\"/nonexistent/x\"}\n") << QStringLiteral("cannot open");
    const QString fifo = QDir(qEnvironmentVariable("KZELVA_PROFILE_DIR")).filePath(QStringLiteral("document.fifo"));
    QFile::remove(fifo);
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("open a FIFO") << "{\"cmd\":\"openDocument\",\"path\":\"" + QFile::encodeName(fifo) + "\"}\n"
                                 << QStringLiteral("cannot open");
    QTest::newRow("tab out of range") << QByteArray("{\"cmd\":\"closeTab\",\"tab\":57}\n") << QStringLiteral("no such tab");
    QTest::newRow("padding smuggles a command") << QByteArray(1024 * 1024, ' ') + "{\"cmd\":\"quit\"}\n"
                                                << QStringLiteral("line too long");
}

void tst_Shell::badRequests()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, error);

    KShellProcess *shell = m_target.get();
    const QJsonObject reply = shell->callRaw(line);
    QCOMPARE(reply.value(QStringLiteral("ok")).toBool(true), false);
    QVERIFY2(reply.value(QStringLiteral("error")).toString().startsWith(error),
             qPrintable(reply.value(QStringLiteral("error")).toString()));
    // The shell keeps answering after every bad line.
    QCOMPARE(shell->command(QStringLiteral("ping")).value(QStringLiteral("ok")).toBool(), true);
}

void tst_Shell::siblingIsNoCrashAndACrashIsRecoveredOnce()
{
    // Shells of one profile, as `run.sh --devices 2` starts them.
    const QByteArray crashLine("did not end cleanly");
    std::vector<std::unique_ptr<KShellProcess>> shells;
    auto startOne = [&shells] {
        shells.push_back(std::make_unique<KShellProcess>(QStringLiteral("siblings"),
                                                         QStringLiteral("sibling%1").arg(shells.size())));
        QString error;
        return shells.back()->start({}, &error) || (qWarning() << error, false);
    };
    QVERIFY(startOne());
    QVERIFY(startOne());
    shells.front()->process().kill();
    QVERIFY(shells.front()->waitForExit());
    QVERIFY(startOne());
    QVERIFY(startOne());
    QTRY_COMPARE(shells[2]->output().count(crashLine), 1);
    for (size_t i = 1; i < shells.size(); ++i)
        QCOMPARE(shells[i]->quit(), 0); // reads the rest of its output
    QCOMPARE(shells[2]->output().count(crashLine), 1);
    for (size_t i : {0, 1, 3}) // the live sibling is no crash; the dead one is recovered once only
        QVERIFY2(!shells[i]->output().contains(crashLine), shells[i]->output().constData());
}

// The shell as ./run.sh starts it, from an environment holding only PATH,
// the profile directories and the display xvfb-run makes (as root here, the
// usual case in containers): opening the popup starts the web engine, whose
// zygote would refuse root and take the shell with it.
void tst_Shell::popupWithCleanEnvironment()
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        QSKIP("xvfb-run is not installed");
    const QDir profile(QDir(qEnvironmentVariable("KZELVA_PROFILE_DIR")).filePath(QStringLiteral("clean-env")));
    QVERIFY(profile.mkpath(QStringLiteral("cache")));
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("KZELVA_PROFILE_DIR"), profile.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), profile.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), profile.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (qEnvironmentVariableIsSet(name))
            env.insert(QLatin1String(name), qEnvironmentVariable(name));
    }
    KShellProcess shell(QStringLiteral("clean-env"));
    shell.setEnvironment(env);
    shell.setLauncher({xvfbRun, QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24")});
    QString error;
    QVERIFY2(shell.start({}, &error), qPrintable(error));

    QCOMPARE(shell.command(QStringLiteral("pressWorkAreaButton")).value(QStringLiteral("popup")).toBool(), true);
    const QRegularExpression loaded(QStringLiteral("page kzelva_work_area_browser: loaded \\S+: ok"));
    QTRY_VERIFY2_WITH_TIMEOUT(QString::fromUtf8(shell.output()).contains(loaded), shell.output().constData(), 60000);
    QVERIFY2(!shell.output().contains("render process ended"), shell.output().constData());
    QCOMPARE(shell.command(QStringLiteral("ping")).value(QStringLiteral("ok")).toBool(), true);
    if (geteuid() == 0)
        QCOMPARE(shell.output().count("without the web engine's sandbox"), 1);
    QCOMPARE(shell.quit(), 0);
}

QTEST_GUILESS_MAIN(tst_Shell)
#include "tst_shell.moc"
