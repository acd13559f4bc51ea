// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The demo shell loads the plug-in, publishes the manager, opens documents,
// survives bad automation input and quits cleanly.

#include "kshellprocess.h"

#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>
#include <vector>

#include <unistd.h>

namespace {
QJsonObject cmd(const QString &name, QJsonObject fields = {})
{
    fields.insert(QStringLiteral("cmd"), name);
    return fields;
}
} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void opensDocumentsAndQuits();
    void badRequests_data();
    void badRequests();
    void crashEndsTheProcess();
    void siblingIsNoCrashAndACrashIsRecoveredOnce();
    void workAreasThroughAutomation();
    void popupWithCleanEnvironment();

private:
    // One shell takes every bad line in turn: it must keep serving.
    std::unique_ptr<KShellProcess> m_target;
};

void tst_Shell::initTestCase()
{
    // Shells of this test start from nothing stored, also on a second run.
    const QDir profile(qEnvironmentVariable("KZELVA_PROFILE_DIR"));
    for (const char *name : {"shell", "bad-input", "crash", "workareas", "siblings", "clean-env"})
        QDir(profile.filePath(QLatin1String(name))).removeRecursively();
    m_target = std::make_unique<KShellProcess>(QStringLiteral("bad-input"));
    QString error;
    QVERIFY2(m_target->start({}, &error), qPrintable(error));
}

void tst_Shell::cleanupTestCase()
{
    QCOMPARE(m_target->quit(), 0);
}

void tst_Shell::opensDocumentsAndQuits()
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char *name : {"alpha.txt", "beta.txt", "gamma.txt"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("text of " + QByteArray(name));
        paths << file.fileName();
    }

    KShellProcess shell;
    QString error;
    QVERIFY2(shell.start({}, &error), qPrintable(error));

    const QJsonObject manager = shell.call(cmd(QStringLiteral("managerState"))).value(QStringLiteral("manager")).toObject();
    QCOMPARE(manager.value(QStringLiteral("published")).toBool(), true);
    QCOMPARE(manager.value(QStringLiteral("className")).toString(), QStringLiteral("KZelvaWorkAreaManager"));

    for (const QString &path : qAsConst(paths)) {
        const QJsonObject reply = shell.call(cmd(QStringLiteral("openDocument"), {{QStringLiteral("path"), path}}));
        QVERIFY2(reply.value(QStringLiteral("ok")).toBool(), qPrintable(reply.value(QStringLiteral("error")).toString()));
    }

    const QJsonArray windows = shell.call(cmd(QStringLiteral("listWindows"))).value(QStringLiteral("windows")).toArray();
    QCOMPARE(windows.size(), 1);
    const QJsonArray tabs = windows.first().toObject().value(QStringLiteral("tabs")).toArray();
    // The untitled document of the start plus the three opened ones.
    QCOMPARE(tabs.size(), 4);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject tab = tabs.at(i + 1).toObject();
        QCOMPARE(tab.value(QStringLiteral("path")).toString(), paths.at(i));
        QCOMPARE(tab.value(QStringLiteral("title")).toString(), QFileInfo(paths.at(i)).fileName());
    }
    QVERIFY(tabs.at(3).toObject().value(QStringLiteral("current")).toBool());

    QCOMPARE(shell.quit(), 0);
    QVERIFY2(shell.output().contains("DeleteManagerImpl done"), shell.output().constData());
}

void tst_Shell::badRequests_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("not json") << QByteArray("hello\n") << QStringLiteral("malformed request");
    QTest::newRow("json array") << QByteArray("[1,2]\n") << QStringLiteral("malformed request");
    QTest::newRow("truncated object") << QByteArray("{\"cmd\":\n") << QStringLiteral("malformed request");
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe\n", 5) << QStringLiteral("malformed request");
    QTest::newRow("unknown command") << QByteArray("{\"cmd\":\"launchRockets\"}\n") << QStringLiteral("unknown command");
    QTest::newRow("command not a string") << QByteArray("{\"cmd\":42}\n") << QStringLiteral("unknown command");
    QTest::newRow("no such window") << QByteArray("{\"cmd\":\"newDocument\",\"window\":999}\n") << QStringLiteral("no such window");
    QTest::newRow("window of wrong type") << QByteArray("{\"cmd\":\"newDocument\",\"window\":\"1\"}\n") << QStringLiteral("no such window");
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
    QTest::newRow("negative tab") << QByteArray("{\"cmd\":\"activateTab\",\"tab\":-1}\n") << QStringLiteral("no such tab");
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
    QCOMPARE(shell->call(cmd(QStringLiteral("ping"))).value(QStringLiteral("ok")).toBool(), true);
}

void tst_Shell::crashEndsTheProcess()
{
    KShellProcess shell(QStringLiteral("crash"));
    QString error;
    QVERIFY2(shell.start({}, &error), qPrintable(error));
    shell.callRaw("{\"cmd\":\"crash\"}\n", 2000);
    QVERIFY(shell.waitForExit());
    QCOMPARE(shell.process().exitStatus(), QProcess::CrashExit);
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

namespace {
QJsonObject ok(KShellProcess &shell, const QJsonObject &request)
{
    const QJsonObject reply = shell.call(request);
    if (!reply.value(QStringLiteral("ok")).toBool())
        qWarning() << "request failed:" << request << reply;
    return reply;
}

// Titles of the visible tabs of the first window, in strip order.
QStringList visibleTitles(KShellProcess &shell)
{
    const QJsonObject window = shell.call(cmd(QStringLiteral("listWindows")))
                                   .value(QStringLiteral("windows")).toArray().first().toObject();
    const QJsonArray tabs = window.value(QStringLiteral("tabs")).toArray();
    QStringList titles;
    const QJsonArray visible = window.value(QStringLiteral("visibleTabs")).toArray();
    for (const QJsonValue &index : visible)
        titles.append(tabs.at(index.toInt()).toObject().value(QStringLiteral("title")).toString());
    return titles;
}
} // namespace

void tst_Shell::workAreasThroughAutomation()
{
    KShellProcess shell(QStringLiteral("workareas"));
    QString error;
    QVERIFY2(shell.start({}, &error), qPrintable(error));
    // The start document goes; three named ones come.
    QVERIFY(ok(shell, cmd(QStringLiteral("closeTab"), {{QStringLiteral("tab"), 0}})).value(QStringLiteral("ok")).toBool());
    for (const char *title : {"one", "two", "three"})
        ok(shell, cmd(QStringLiteral("newDocument"), {{QStringLiteral("title"), QLatin1String(title)}}));

    QJsonArray areas = ok(shell, cmd(QStringLiteral("listWorkAreas"))).value(QStringLiteral("workAreas")).toArray();
    QCOMPARE(areas.size(), 1);
    const QString first = areas.first().toObject().value(QStringLiteral("workAreaId")).toString();
    QCOMPARE(areas.first().toObject().value(QStringLiteral("tagNum")).toInt(), 3);

    const QJsonObject created = ok(shell, cmd(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("Research")}}));
    const QString second = created.value(QStringLiteral("workArea")).toObject().value(QStringLiteral("workAreaId")).toString();
    QVERIFY(!second.isEmpty());
    QTRY_COMPARE(visibleTitles(shell), QStringList());
    ok(shell, cmd(QStringLiteral("newDocument"), {{QStringLiteral("title"), QStringLiteral("four")}}));
    QTRY_COMPARE(visibleTitles(shell), QStringList{QStringLiteral("four")});

    // Back and forth: only the current work area's tabs are in the strip.
    for (int round = 0; round < 2; ++round) {
        ok(shell, cmd(QStringLiteral("switchWorkArea"), {{QStringLiteral("workArea"), first}}));
        QTRY_COMPARE(visibleTitles(shell), (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
        ok(shell, cmd(QStringLiteral("switchWorkArea"), {{QStringLiteral("workArea"), second}}));
        QTRY_COMPARE(visibleTitles(shell), QStringList{QStringLiteral("four")});
    }

    // Move "two" (tab 1 of the window) into the second work area.
    ok(shell, cmd(QStringLiteral("moveTab"), {{QStringLiteral("tab"), 1}, {QStringLiteral("workArea"), second}}));
    QTRY_COMPARE(visibleTitles(shell), (QStringList{QStringLiteral("two"), QStringLiteral("four")}));
    ok(shell, cmd(QStringLiteral("switchWorkArea"), {{QStringLiteral("workArea"), first}}));
    QTRY_COMPARE(visibleTitles(shell), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));

    areas = ok(shell, cmd(QStringLiteral("listWorkAreas"))).value(QStringLiteral("workAreas")).toArray();
    QCOMPARE(areas.size(), 2);
    QCOMPARE(areas.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Research"));
    QCOMPARE(areas.at(1).toObject().value(QStringLiteral("tagNum")).toInt(), 2);
    QCOMPARE(areas.at(0).toObject().value(QStringLiteral("status")).toString(), QStringLiteral("current"));

    // Refusals leave everything as it was.
    QVERIFY(!shell.call(cmd(QStringLiteral("renameWorkArea"), {{QStringLiteral("workArea"), second}, {QStringLiteral("name"), QStringLiteral("   ")}})).value(QStringLiteral("ok")).toBool());
    QVERIFY(!shell.call(cmd(QStringLiteral("colorWorkArea"), {{QStringLiteral("workArea"), second}, {QStringLiteral("color"), QStringLiteral("red;x")}})).value(QStringLiteral("ok")).toBool());
    QVERIFY(!shell.call(cmd(QStringLiteral("switchWorkArea"), {{QStringLiteral("workArea"), QStringLiteral("123")}})).value(QStringLiteral("ok")).toBool());
    QVERIFY(!shell.call(cmd(QStringLiteral("moveTab"), {{QStringLiteral("tab"), 9}, {QStringLiteral("workArea"), second}})).value(QStringLiteral("ok")).toBool());
    QCOMPARE(visibleTitles(shell), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    QCOMPARE(shell.quit(), 0);
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

    QCOMPARE(ok(shell, cmd(QStringLiteral("pressWorkAreaButton"))).value(QStringLiteral("popup")).toBool(), true);
    const QRegularExpression loaded(QStringLiteral("page kzelva_work_area_browser: loaded \\S+: ok"));
    QTRY_VERIFY2_WITH_TIMEOUT(QString::fromUtf8(shell.output()).contains(loaded), shell.output().constData(), 60000);
    QVERIFY2(!shell.output().contains("render process ended"), shell.output().constData());
    QCOMPARE(ok(shell, cmd(QStringLiteral("ping"))).value(QStringLiteral("ok")).toBool(), true);
    if (geteuid() == 0)
        QCOMPARE(shell.output().count("without the web engine's sandbox"), 1);
    QCOMPARE(shell.quit(), 0);
}

QTEST_GUILESS_MAIN(tst_Shell)
#include "tst_shell.moc"
