// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Persistence end to end with real zelvashell processes: work areas, their
// tabs and the last active work area after quit and after kill -9, vetoed
// closes and the forced close's residual record, a user switch through
// cirrad's login control, two processes of one user, recently closed
// documents kept in step between processes, and the kill -9 loop.

#include "kcirrapaths.h"
#include "kpersistencekillloop.h"
#include "kshellprocess.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <signal.h>

namespace {

QString configDirOf(const QString &name)
{
    return KShellProcess::profileDir(name) + QStringLiteral("/config/zelva");
}

// Forgets what earlier runs of the test stored for the shells named `name`.
void forget(const QString &name)
{
    QDir(KShellProcess::profileDir(name)).removeRecursively();
}

// Switches the residual records on for the shells named `name`.
void enableResidualRecords(const QString &name)
{
    QDir().mkpath(configDirOf(name));
    QSettings ini(configDirOf(name) + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("panel/enabled"), true);
    ini.setValue(QStringLiteral("config/residualSettingSaveEnabled"), true);
    ini.sync();
}

// Residual records plus deleting from them, also in a process without a shell window.
void enableResidualDeletion(const QString &name)
{
    enableResidualRecords(name);
    QSettings ini(configDirOf(name) + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("config/residualItemDeleteEnabled"), true);
    ini.setValue(QStringLiteral("config/residualDeleteShelllessModeEnabled"), true);
    ini.sync();
}

// The pid of the live cirrad holding the service lock, 0 when none does.
qint64 runningCirrad()
{
    QLockFile lock(KCirraPaths::lockPath());
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return 0;
    return pid;
}

// Work areas by name: their tab paths (or titles) sorted, "*" marking the
// current one of the current window.
QMap<QString, QStringList> workAreas(KShellProcess &shell)
{
    QMap<QString, QStringList> result;
    const QJsonArray list = shell.command(QStringLiteral("listWorkAreas")).value(QStringLiteral("workAreas")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject area = value.toObject();
        QStringList tags;
        const QJsonArray tagList = area.value(QStringLiteral("tags")).toArray();
        for (const QJsonValue &tag : tagList) {
            const QJsonObject t = tag.toObject();
            tags.append(t.value(QStringLiteral("path")).toString().isEmpty() ? t.value(QStringLiteral("name")).toString()
                                                                               : t.value(QStringLiteral("path")).toString());
        }
        tags.sort();
        QString name = area.value(QStringLiteral("name")).toString();
        if (area.value(QStringLiteral("isVisible")).toBool())
            name += QLatin1Char('*');
        result.insert(name, tags);
    }
    return result;
}

QJsonArray windows(KShellProcess &shell)
{
    return shell.command(QStringLiteral("listWindows")).value(QStringLiteral("windows")).toArray();
}

// The tabs of all windows: "title|itemId", with "|shown" for a visible one
// when `withVisibility`.
QStringList tabs(KShellProcess &shell, bool withVisibility = false)
{
    QStringList result;
    const QJsonArray list = windows(shell);
    for (const QJsonValue &window : list) {
        const QJsonArray tabList = window.toObject().value(QStringLiteral("tabs")).toArray();
        for (const QJsonValue &tab : tabList) {
            const QJsonObject t = tab.toObject();
            QString entry = t.value(QStringLiteral("title")).toString() + QLatin1Char('|')
                + t.value(QStringLiteral("itemId")).toString();
            if (withVisibility && t.value(QStringLiteral("visible")).toBool())
                entry += QStringLiteral("|shown");
            result.append(entry);
        }
    }
    result.sort();
    return result;
}

QJsonArray residual(KShellProcess &shell)
{
    return shell.command(QStringLiteral("listResidual")).value(QStringLiteral("records")).toArray();
}

// What the record files below `name` (the shells' profile folder) hold: item id -> tab
// index, the ids of the work areas and of those stored as shown. A file caught half written
// reads as nothing.
struct StoredState
{
    QMap<QString, QString> tabIndexOf;
    QStringList areas;
    QStringList shown;
};

void collectStored(const QJsonObject &group, StoredState *state)
{
    const QJsonObject values = group.value(QStringLiteral("values")).toObject();
    const QString id = values.value(QStringLiteral("id")).toString();
    if (values.contains(QStringLiteral("tabIndex")))
        state->tabIndexOf.insert(id, values.value(QStringLiteral("tabIndex")).toString());
    if (values.contains(QStringLiteral("lastVisible")))
        state->areas.append(id);
    if (values.value(QStringLiteral("lastVisible")).toString() == QLatin1String("1"))
        state->shown.append(id);
    const QJsonObject groups = group.value(QStringLiteral("groups")).toObject();
    for (auto it = groups.constBegin(); it != groups.constEnd(); ++it)
        collectStored(it.value().toObject(), state);
}

StoredState storedState(const QString &name)
{
    StoredState state;
    QDirIterator it(KShellProcess::profileDir(name), {QStringLiteral("*.cfg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        collectStored(QJsonDocument::fromJson(bytes.mid(40)).object(), &state); // past the 40-byte header
    }
    return state;
}

// Whether the record files hold what the shell shows: every document tab's item at
// its index, and `shownArea` stored as shown. Only then would a kill -9 lose nothing.
bool storedAsShown(KShellProcess &shell, const QString &name, const QString &shownArea, QString *why)
{
    const StoredState state = storedState(name);
    const QJsonArray list = windows(shell);
    for (const QJsonValue &window : list) {
        const QJsonArray tabList = window.toObject().value(QStringLiteral("tabs")).toArray();
        for (const QJsonValue &tab : tabList) {
            const QJsonObject t = tab.toObject();
            if (t.value(QStringLiteral("path")).toString().isEmpty())
                continue;
            const QString itemId = t.value(QStringLiteral("itemId")).toString();
            const QString index = QString::number(t.value(QStringLiteral("index")).toInt());
            if (itemId.isEmpty() || state.tabIndexOf.value(itemId) != index) {
                *why = QStringLiteral("tab %1 (%2) at %3, stored at \"%4\"")
                           .arg(t.value(QStringLiteral("title")).toString(), itemId, index,
                                state.tabIndexOf.value(itemId));
                return false;
            }
        }
    }
    *why = QStringLiteral("work area %1 not stored as shown (%2)").arg(shownArea, state.shown.join(QLatin1Char(',')));
    return state.shown.contains(shownArea);
}

// Whether the record files below `name` have not changed for `quietMs`: a save still on its
// way (the merged window, then the write) would otherwise be cut short by a kill.
bool storedQuietFor(const QString &name, int quietMs, StoredState *last, QElapsedTimer *since)
{
    const StoredState now = storedState(name);
    if (now.tabIndexOf != last->tabIndexOf || now.areas != last->areas || now.shown != last->shown
        || !since->isValid()) {
        *last = now;
        since->start();
        return false;
    }
    return since->elapsed() >= quietMs;
}

// The tab titles of each window, in tab order.
QList<QStringList> tabOrder(KShellProcess &shell)
{
    QList<QStringList> result;
    const QJsonArray list = windows(shell);
    for (const QJsonValue &window : list) {
        QStringList titles;
        const QJsonArray tabList = window.toObject().value(QStringLiteral("tabs")).toArray();
        for (const QJsonValue &tab : tabList)
            titles.append(tab.toObject().value(QStringLiteral("title")).toString());
        result.append(titles);
    }
    return result;
}

// Whether every path of `paths` is a tab of some work area (its item has its record).
bool listed(KShellProcess &shell, const QStringList &paths)
{
    QStringList all;
    const QMap<QString, QStringList> areas = workAreas(shell);
    for (const QStringList &tags : areas)
        all += tags;
    for (const QString &path : paths) {
        if (!all.contains(path))
            return false;
    }
    return true;
}

// The id of the work area called `name` (or of the shown one), empty when there is none.
QString workAreaId(KShellProcess &shell, const QString &name, bool shown = false)
{
    const QJsonArray list = shell.command(QStringLiteral("listWorkAreas")).value(QStringLiteral("workAreas")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject area = value.toObject();
        if (shown ? area.value(QStringLiteral("isVisible")).toBool()
                  : area.value(QStringLiteral("name")).toString() == name)
            return area.value(QStringLiteral("workAreaId")).toString();
    }
    return QString();
}

bool printStoredAndLog(KShellProcess &shell, const QString &name)
{
    qInfo().noquote() << storedState(name).tabIndexOf << tabs(shell) << "\n" << shell.output().right(8000);
    return false;
}

bool ok(const QJsonObject &reply)
{
    return reply.value(QStringLiteral("ok")).toBool();
}

// Closes the last `count` tabs of the first window.
bool closeLastTabs(KShellProcess &shell, int count = 1)
{
    bool closed = true;
    const int tabs = windows(shell).first().toObject().value(QStringLiteral("tabs")).toArray().size();
    for (int tab = tabs - 1; tab >= tabs - count; --tab)
        closed = ok(shell.command(QStringLiteral("closeTab"), {{QStringLiteral("tab"), tab}})) && closed;
    return closed;
}

// The file names of the recently closed documents a shell lists, sorted.
QStringList closedDocuments(KShellProcess &shell)
{
    QStringList names;
    const QJsonArray records = residual(shell);
    for (const QJsonValue &record : records) {
        const QJsonArray items = record.toObject().value(QStringLiteral("items")).toArray();
        for (const QJsonValue &item : items)
            names.append(QFileInfo(item.toObject().value(QStringLiteral("filePath")).toString()).fileName());
    }
    names.sort();
    return names;
}

// Deletes the recently closed document at `path` through the page API of `shell`.
bool deleteClosed(KShellProcess &shell, const QString &path)
{
    QString id;
    const QJsonArray items = residual(shell).first().toObject().value(QStringLiteral("items")).toArray();
    for (const QJsonValue &item : items) {
        if (item.toObject().value(QStringLiteral("filePath")).toString() == path)
            id = item.toObject().value(QStringLiteral("id")).toString();
    }
    const QJsonObject args{{QStringLiteral("workAreaId"), QStringLiteral("default")}, {QStringLiteral("tagId"), id}};
    return !id.isEmpty()
           && ok(shell.command(
               QStringLiteral("scriptCall"),
               {{QStringLiteral("method"), QStringLiteral("removeResidualItem")}, {QStringLiteral("args"), args}}));
}

// Whether every tab has its item id (`tabs()` entries end in "|<id>").
bool everyTabHasItem(const QStringList &tabEntries)
{
    return !tabEntries.isEmpty() && !tabEntries.join(QLatin1Char('\n')).contains(QLatin1String("|\n"))
           && !tabEntries.last().endsWith(QLatin1Char('|'));
}

// What holds after a restart whatever instant the kill landed: a tab whose item was
// stored has its own id back, and no tab has the id another tab had. Empty when it holds.
QString itemIdFault(const QStringList &before, const StoredState &stored, const QStringList &after)
{
    QHash<QString, QString> titleOf;
    for (const QString &entry : before)
        titleOf.insert(entry.section(QLatin1Char('|'), 1), entry.section(QLatin1Char('|'), 0, 0));
    for (const QString &entry : after) {
        const QString title = entry.section(QLatin1Char('|'), 0, 0);
        const QString id = entry.section(QLatin1Char('|'), 1);
        const QString own = titleOf.key(title);
        if ((titleOf.contains(id) && titleOf.value(id) != title) || (stored.tabIndexOf.contains(own) && id != own))
            return QStringLiteral("%1 has the id %2, its own was %3").arg(title, id, own);
    }
    return QString();
}

} // namespace

class tst_Persistence : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void workAreasComeBack_data();
    void workAreasComeBack();
    void dirtyDocumentVetoes();
    void userSwitchRebuildsWindows();
    void twoProcessesOfOneUser();
    void recentlyClosedInStep();
    void stoppedCirraOnDeletion_data();
    void stoppedCirraOnDeletion();
    void killLoop();

private:
    QString document(const QString &name) const { return m_docs.filePath(name); }
    void ensureCirrad();

    QTemporaryDir m_docs;
    std::unique_ptr<QProcess> m_cirrad;
};

void tst_Persistence::ensureCirrad()
{
    if (!m_cirrad || m_cirrad->state() != QProcess::Running) {
        m_cirrad = std::make_unique<QProcess>();
        m_cirrad->start(qEnvironmentVariable("KZ_BIN_DIR") + QStringLiteral("/cirrad"), QStringList());
        QVERIFY(m_cirrad->waitForStarted());
    }
}

void tst_Persistence::initTestCase()
{
    for (const char *name : {"alpha.txt", "beta.txt", "gamma.txt", "delta.txt"}) {
        QFile file(document(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("text of " + QByteArray(name));
    }
}

void tst_Persistence::cleanupTestCase()
{
    if (m_cirrad) {
        m_cirrad->terminate();
        m_cirrad->waitForFinished(5000);
    }
}

void tst_Persistence::workAreasComeBack_data()
{
    QTest::addColumn<bool>("kill");
    QTest::addColumn<bool>("waitQuiet");
    QTest::newRow("quit and start") << false << true;
    QTest::newRow("kill -9 and start") << true << true;
    // A user who crashes right after opening documents, the restart often
    // inside the same second.
    QTest::newRow("kill -9 right after opening") << true << false;
}

void tst_Persistence::workAreasComeBack()
{
    QFETCH(bool, kill);
    QFETCH(bool, waitQuiet);
    const QString name = QStringLiteral("comeback-%1")
                             .arg(QLatin1String(QTest::currentDataTag()))
                             .replace(QLatin1Char(' '), QLatin1Char('-'));
    forget(name);
    QMap<QString, QStringList> before;
    QStringList tabsBefore;
    QStringList shownBefore;
    QList<QStringList> orderBefore;
    {
        KShellProcess shell(name);
        QString error;
        QVERIFY2(shell.start({}, &error), qPrintable(error));
        QVERIFY(ok(shell.command(QStringLiteral("openDocument"),
                                 {{QStringLiteral("path"), document(QStringLiteral("alpha.txt"))}})));
        QVERIFY(
            ok(shell.command(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("Beta")}})));
        QVERIFY(ok(shell.command(QStringLiteral("openDocument"),
                                 {{QStringLiteral("path"), document(QStringLiteral("beta.txt"))}})));
        QVERIFY(ok(shell.command(QStringLiteral("openDocument"),
                                 {{QStringLiteral("path"), document(QStringLiteral("gamma.txt"))}})));
        // The documents' items settle asynchronously and the merged saves
        // follow them; wait until the records hold what the window shows.
        const QString beta = workAreaId(shell, QStringLiteral("Beta"));
        QVERIFY(!beta.isEmpty());
        QString why;
        if (waitQuiet) {
            const QStringList paths{document(QStringLiteral("alpha.txt")), document(QStringLiteral("beta.txt")),
                                    document(QStringLiteral("gamma.txt"))};
            const auto shown = [&] { return listed(shell, paths) && storedAsShown(shell, name, beta, &why); };
            QVERIFY2(QTest::qWaitFor(shown, 30000) || printStoredAndLog(shell, name), qPrintable(why));
            StoredState last;
            QElapsedTimer since;
            QTRY_VERIFY_WITH_TIMEOUT(storedQuietFor(name, 1500, &last, &since), 30000);
            QVERIFY2(storedAsShown(shell, name, beta, &why) || printStoredAndLog(shell, name), qPrintable(why));
        } else {
            // Killed once a first save has stored some of the tabs, others perhaps on their way.
            QTRY_VERIFY_WITH_TIMEOUT(everyTabHasItem(tabs(shell)) && !storedState(name).tabIndexOf.isEmpty(), 30000);
        }
        before = workAreas(shell);
        tabsBefore = tabs(shell);
        shownBefore = tabs(shell, true);
        orderBefore = tabOrder(shell);
        if (waitQuiet)
            QCOMPARE(before.value(QStringLiteral("Beta*")),
                     (QStringList{document(QStringLiteral("beta.txt")), document(QStringLiteral("gamma.txt"))}));
        if (kill) {
            shell.process().kill();
            QVERIFY(shell.waitForExit());
        } else {
            QCOMPARE(shell.quit(), 0);
        }
    }
    const StoredState atKill = storedState(name);
    KShellProcess again(name);
    QString error;
    QVERIFY2(again.start({}, &error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(everyTabHasItem(tabs(again)), 30000);
    const QString fault = itemIdFault(tabsBefore, atKill, tabs(again));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    if (!waitQuiet) {
        QCOMPARE(again.quit(), 0);
        return;
    }
    // The reopened documents take back their items (asynchronously): the same
    // tabs with the same item ids, no duplicates.
    QTRY_COMPARE_WITH_TIMEOUT(tabs(again), tabsBefore, 10000);
    const QMap<QString, QStringList> after = workAreas(again);
    QCOMPARE(after.value(QStringLiteral("Beta*")), before.value(QStringLiteral("Beta*")));
    QCOMPARE(after.size(), before.size());
    // What was shown comes back: one window on Beta (the last active work
    // area after a quit, the one shown when the process died after a kill),
    // its tabs in the same order and the same ones shown.
    QCOMPARE(windows(again).size(), 1);
    QCOMPARE(tabOrder(again), orderBefore);
    QTRY_COMPARE_WITH_TIMEOUT(tabs(again, true), shownBefore, 10000);
    QCOMPARE(again.quit(), 0);
}

void tst_Persistence::dirtyDocumentVetoes()
{
    const QString name = QStringLiteral("veto");
    forget(name);
    enableResidualRecords(name);
    KShellProcess shell(name);
    QString error;
    QVERIFY2(shell.start({}, &error), qPrintable(error));
    QVERIFY(
        ok(shell.command(QStringLiteral("setCloseAnswer"), {{QStringLiteral("answer"), QStringLiteral("cancel")}})));
    const int window = shell.command(QStringLiteral("newWindow")).value(QStringLiteral("window")).toInt();
    for (const char *doc : {"alpha.txt", "beta.txt"})
        QVERIFY(ok(
            shell.command(QStringLiteral("openDocument"), {{QStringLiteral("window"), window},
                                                           {QStringLiteral("path"), document(QLatin1String(doc))}})));
    QVERIFY(ok(shell.command(QStringLiteral("editTab"), {{QStringLiteral("window"), window},
                                                         {QStringLiteral("tab"), 1},
                                                         {QStringLiteral("text"), QStringLiteral("unsaved")}})));
    QTRY_VERIFY(listed(shell, {document(QStringLiteral("alpha.txt")), document(QStringLiteral("beta.txt"))}));

    // A tab, a window and the whole shell are refused; nothing is recorded.
    QVERIFY(!ok(
        shell.command(QStringLiteral("closeTab"), {{QStringLiteral("window"), window}, {QStringLiteral("tab"), 1}})));
    QVERIFY(!ok(shell.command(QStringLiteral("closeWindow"), {{QStringLiteral("window"), window}})));
    QVERIFY(!ok(shell.command(QStringLiteral("quit"))));
    QCOMPARE(windows(shell).size(), 1); // quit closed the clean first window
    QCOMPARE(residual(shell).size(), 0);
    QCOMPARE(shell.process().state(), QProcess::Running);

    // Forced, it goes (the last window: the shell ends), and the window is recorded.
    QVERIFY(ok(shell.command(QStringLiteral("closeWindow"),
                             {{QStringLiteral("window"), window}, {QStringLiteral("force"), true}})));
    QVERIFY(shell.waitForExit());
    QCOMPARE(shell.process().exitCode(), 0);
    KShellProcess again(name);
    QVERIFY2(again.start({}, &error), qPrintable(error));
    const QJsonArray records = residual(again);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().toObject().value(QStringLiteral("items")).toArray().size(), 2);
    QCOMPARE(again.quit(), 0);
}

void tst_Persistence::userSwitchRebuildsWindows()
{
    ensureCirrad();
    const QString cirrad = qEnvironmentVariable("KZ_BIN_DIR") + QStringLiteral("/cirrad");
    const auto control = [&cirrad](const QStringList &args) {
        return QProcess::execute(cirrad, QStringList{QStringLiteral("--control")} + args);
    };
    const auto cloudUser = [](KShellProcess &shell) {
        return shell.command(QStringLiteral("managerState"))
            .value(QStringLiteral("manager"))
            .toObject()
            .value(QStringLiteral("cloudUser"))
            .toString();
    };
    const auto names = [](KShellProcess &shell) {
        QStringList list;
        const QMap<QString, QStringList> areas = workAreas(shell);
        for (auto it = areas.cbegin(); it != areas.cend(); ++it) {
            QString name = it.key();
            if (name.endsWith(QLatin1Char('*')))
                name.chop(1);
            list.append(name);
        }
        return list;
    };

    forget(QStringLiteral("switch"));
    KShellProcess shell(QStringLiteral("switch"));
    QString error;
    QVERIFY2(shell.start({QStringLiteral("--user"), QStringLiteral("alice")}, &error), qPrintable(error));
    // The service logs the shell's user in once it is connected; the shell
    // then switches to that user's records.
    QTRY_COMPARE_WITH_TIMEOUT(cloudUser(shell), QStringLiteral("alice"), 15000);
    // The windows show alice's records once the shown work area is one stored under her name.
    const QString aliceRecords = QStringLiteral("switch/config/zelva/syncsettings/alice");
    QTRY_VERIFY_WITH_TIMEOUT(storedState(aliceRecords).areas.contains(workAreaId(shell, QString(), true)), 30000);
    QVERIFY(ok(shell.command(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("Alice")}})));
    QVERIFY(ok(shell.command(QStringLiteral("openDocument"),
                             {{QStringLiteral("path"), document(QStringLiteral("alpha.txt"))}})));
    // Alice's work area and its tab are on disk before she logs out.
    QString why;
    QTRY_VERIFY2_WITH_TIMEOUT(storedAsShown(shell, aliceRecords, workAreaId(shell, QStringLiteral("Alice")), &why),
                              qPrintable(why), 30000);
    QVERIFY(names(shell).contains(QStringLiteral("Alice")));

    QCOMPARE(control({QStringLiteral("logout"), QStringLiteral("user=alice")}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(cloudUser(shell), QString(), 10000);
    // The windows are rebuilt with the other user's work areas.
    QTRY_VERIFY_WITH_TIMEOUT(!names(shell).contains(QStringLiteral("Alice")), 10000);
    QCOMPARE(windows(shell).size(), 1);
    QVERIFY(tabs(shell).isEmpty());

    QCOMPARE(control({QStringLiteral("login"), QStringLiteral("user=alice")}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(names(shell).contains(QStringLiteral("Alice")), 10000);
    QCOMPARE(windows(shell).size(), 1);
    const QMap<QString, QStringList> areas = workAreas(shell);
    QCOMPARE(areas.value(QStringLiteral("Alice"), areas.value(QStringLiteral("Alice*"))),
             QStringList{document(QStringLiteral("alpha.txt"))});
    QCOMPARE(shell.quit(), 0);
}

void tst_Persistence::twoProcessesOfOneUser()
{
    // Two processes (different application names, so neither takes the other
    // for a crashed run) on the same stored data.
    forget(QStringLiteral("shared"));
    KShellProcess first(QStringLiteral("shared"));
    KShellProcess second(QStringLiteral("shared-second"));
    QProcessEnvironment env = first.process().processEnvironment();
    second.process().setProcessEnvironment(env);
    QString error;
    QVERIFY2(first.start({QStringLiteral("--app-name"), QStringLiteral("one")}, &error), qPrintable(error));
    QVERIFY2(second.start({QStringLiteral("--app-name"), QStringLiteral("two")}, &error), qPrintable(error));

    QVERIFY(
        ok(first.command(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("From one")}})));
    // What a shell lists, and what it logged, for a failure message.
    const auto seen = [](KShellProcess &shell) {
        return QStringLiteral("lists %1; log:\n%2")
            .arg(QStringList(workAreas(shell).keys()).join(QLatin1Char(',')),
                 QString::fromLocal8Bit(shell.output().right(3000)));
    };
    QTRY_VERIFY2_WITH_TIMEOUT(workAreas(second).contains(QStringLiteral("From one")), qPrintable(seen(second)), 10000);
    QVERIFY(
        ok(second.command(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("From two")}})));
    QTRY_VERIFY2_WITH_TIMEOUT(workAreas(first).contains(QStringLiteral("From two")), qPrintable(seen(first)), 10000);
    QCOMPARE(first.quit(), 0);
    QCOMPARE(second.quit(), 0);

    // Neither save lost the other's work area.
    KShellProcess reader(QStringLiteral("shared"));
    QVERIFY2(reader.start({QStringLiteral("--app-name"), QStringLiteral("one")}, &error), qPrintable(error));
    const QStringList names = workAreas(reader).keys();
    QVERIFY2(names.join(QLatin1Char(',')).contains(QStringLiteral("From one")), qPrintable(names.join(QLatin1Char(','))));
    QVERIFY2(names.join(QLatin1Char(',')).contains(QStringLiteral("From two")), qPrintable(names.join(QLatin1Char(','))));
    QCOMPARE(reader.quit(), 0);
}

// Deleting recently closed documents in a shell-less process removes them from the other
// (a shell with its panel open) too, through one cirrad relay; a later close there does not
// bring back what was deleted.
void tst_Persistence::recentlyClosedInStep()
{
    ensureCirrad();
    QVERIFY(!QTest::currentTestFailed());
    forget(QStringLiteral("insync"));
    enableResidualDeletion(QStringLiteral("insync"));
    KShellProcess a(QStringLiteral("insync"));
    KShellProcess b(QStringLiteral("insync"), QStringLiteral("insync-b"));
    QString error;
    QVERIFY2(a.start({QStringLiteral("--shellless"), QStringLiteral("--app-name"), QStringLiteral("zelva-a")}, &error),
             qPrintable(error));
    QVERIFY2(b.start({QStringLiteral("--app-name"), QStringLiteral("zelva-b")}, &error), qPrintable(error));
    QVERIFY(b.command(QStringLiteral("openPanel")).value(QStringLiteral("panel")).toBool());
    // Opens the documents in `shell` as tabs after the first one.
    const auto open = [this](KShellProcess &shell, const QStringList &names) {
        QStringList paths;
        for (const QString &name : names) {
            paths.append(document(name));
            shell.command(QStringLiteral("openDocument"), {{QStringLiteral("path"), paths.last()}});
        }
        return paths;
    };
    const QStringList opened = open(a, {QStringLiteral("alpha.txt"), QStringLiteral("beta.txt")});
    QTRY_VERIFY_WITH_TIMEOUT(listed(a, opened), 30000);
    QVERIFY(closeLastTabs(a, 2));
    QCOMPARE(closedDocuments(a), (QStringList{QStringLiteral("alpha.txt"), QStringLiteral("beta.txt")}));
    QTRY_COMPARE_WITH_TIMEOUT(closedDocuments(b), closedDocuments(a), 30000);
    QVERIFY(deleteClosed(a, opened.first()));
    QCOMPARE(closedDocuments(a), QStringList{QStringLiteral("beta.txt")});
    QTRY_COMPARE_WITH_TIMEOUT(closedDocuments(b), QStringList{QStringLiteral("beta.txt")}, 30000);
    // A later close in the other process keeps the deletion; "clear" empties both.
    QTRY_VERIFY_WITH_TIMEOUT(listed(b, open(b, {QStringLiteral("gamma.txt")})), 30000);
    QVERIFY(closeLastTabs(b, 1));
    QTRY_COMPARE_WITH_TIMEOUT(closedDocuments(a),
                              (QStringList{QStringLiteral("beta.txt"), QStringLiteral("gamma.txt")}), 30000);
    QVERIFY(ok(
        b.command(QStringLiteral("scriptCall"), {{QStringLiteral("method"), QStringLiteral("removeAllResidualItems")},
                                                 {QStringLiteral("args"), QJsonObject()}})));
    QTRY_VERIFY_WITH_TIMEOUT(closedDocuments(a).isEmpty() && closedDocuments(b).isEmpty(), 30000);
    QCOMPARE(a.quit(), 0);
    QCOMPARE(b.quit(), 0);
}

void tst_Persistence::stoppedCirraOnDeletion_data()
{
    QTest::addColumn<bool>("restart");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("switch on") << true << QStringLiteral("startCirraProcess success");
    QTest::newRow("switch off") << false << QStringLiteral("isSupportRestartCirraProcess = false break");
}

// A deletion sent while cirrad is stopped starts it again, unless the cloud setting says not to.
// The setting is read once per process, so each row is a shell of its own.
void tst_Persistence::stoppedCirraOnDeletion()
{
    QFETCH(bool, restart);
    QFETCH(QString, logLine);
    const QString name = QStringLiteral("restartcirra-%1").arg(restart);
    forget(name);
    enableResidualDeletion(name);
    QSettings cloud(configDirOf(name) + QStringLiteral("/cloud.ini"), QSettings::IniFormat);
    cloud.setValue(QStringLiteral("usercenter/isSupportRestartCirraProcess"), restart);
    cloud.sync();
    if (m_cirrad && m_cirrad->state() == QProcess::Running) {
        m_cirrad->terminate();
        QVERIFY2(m_cirrad->waitForFinished(10000), qPrintable(m_cirrad->errorString()));
    }
    QTRY_COMPARE_WITH_TIMEOUT(runningCirrad(), qint64(0), 10000);
    KShellProcess shell(name);
    QProcessEnvironment env = shell.process().processEnvironment();
    env.insert(QStringLiteral("KZELVA_LOG_STDERR"), QStringLiteral("all"));
    shell.process().setProcessEnvironment(env);
    QString error;
    QVERIFY2(shell.start({QStringLiteral("--shellless"), QStringLiteral("--app-name"), QStringLiteral("zelva-r")}, &error),
             qPrintable(error));
    QVERIFY(ok(shell.command(QStringLiteral("openDocument"),
                             {{QStringLiteral("path"), document(QStringLiteral("delta.txt"))}})));
    QTRY_VERIFY_WITH_TIMEOUT(listed(shell, {document(QStringLiteral("delta.txt"))}), 30000);
    QVERIFY(closeLastTabs(shell));
    QCOMPARE(closedDocuments(shell), QStringList{QStringLiteral("delta.txt")});
    QVERIFY(deleteClosed(shell, document(QStringLiteral("delta.txt"))));
    // The deletion holds either way; whether a service runs again is the switch's.
    QVERIFY(closedDocuments(shell).isEmpty());
    QTRY_VERIFY2_WITH_TIMEOUT(shell.output().contains(logLine.toUtf8()), shell.output().right(3000).constData(), 10000);
    if (restart) {
        QTRY_VERIFY_WITH_TIMEOUT(runningCirrad() != 0, 10000);
        ::kill(pid_t(runningCirrad()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(runningCirrad(), qint64(0), 10000);
    } else {
        QCOMPARE(runningCirrad(), qint64(0));
    }
    QCOMPARE(shell.quit(), 0);
}

void tst_Persistence::killLoop()
{
    const int kills = qEnvironmentVariableIsSet("KZ_PERSIST_KILLS") ? qEnvironmentVariableIntValue("KZ_PERSIST_KILLS") : 100;
    const quint32 seed = quint32(QDateTime::currentMSecsSinceEpoch());
    // 500 ms of merged saves plus the durable write, on a shared machine.
    const qint64 allowanceMs = 1200;
    forget(QStringLiteral("killloop"));
    const KPersistenceKillLoopFigures figures =
        runPersistenceKillLoop(kills, 45, seed, QStringLiteral("killloop"), allowanceMs);
    const QString summary = figures.summary() + QStringLiteral(", seed %1").arg(seed);
    qInfo().noquote() << summary;
    QVERIFY2(figures.error.isEmpty(), qPrintable(figures.error));
    QVERIFY(figures.kills >= qMin(kills, 10));
    QCOMPARE(figures.unreadableRecords, 0);
    QVERIFY2(figures.editsLostBeyond == 0, qPrintable(summary));
}

QTEST_GUILESS_MAIN(tst_Persistence)
#include "tst_persistence.moc"
