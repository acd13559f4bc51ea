// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The manager's start-up branches and markers, its hand-overs, command lines
// that never wait, and closing a work area with unsaved tabs and undoing it.

#include "recordlogtail.h"
#include "workareatestbed.h"

#include "ikzelvacrossterminalpanel.h"
#include "ikzelvadeviceonlinelistener.h"
#include "kzelvacommandlines.h"
#include "kzelvaworkareaface.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkarearesources.h"

#include <isyncsettingsdata.h>
#include <kaccountsdkproxy.h>
#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <klitecontentdlg.h>
#include <kpluginmanager.h>
#include <kpluginssettings.h>
#include <kzelvabackupmgr.h>
#include <kzelvaclosehandler.h>
#include <kzelvapaths.h>
#include <kzelvaskin.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(KZelvaCloseHandler::DirtyAnswer)

class RecordingParts : public QObject, public IKZelvaCrossTerminalPanel, public IKZelvaDeviceOnlineListener
{
public:
    using QObject::QObject;
    void refreshWorkareaData() override { ++refreshed; }
    void showCrossTerminalPanel(const QString &) override {}
    void listenCurrentDeviceOnlineChange(QObject *, Listener) override { ++listened; }
    int refreshed = 0;
    int listened = 0;
};

class tst_ManagerBranches : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void firstWindow_data();
    void firstWindow();
    void handOvers_data();
    void handOvers();
    void commandLinesNeverWait();
    void removeAsksAboutUnsavedTabs_data();
    void removeAsksAboutUnsavedTabs();
    void undoBringsBackTheClosedWorkArea();
    void faceActivatesByIds_data();
    void faceActivatesByIds();

private:
    KZelvaWorkAreaOperations *ops() const
    {
        return qobject_cast<KZelvaWorkAreaOperations *>(
            KPluginManager::instance()->pluginInstanceObject(QStringLiteral("__KZelvaWorkAreaOperations__")));
    }
    WorkAreaTestBed m_bed;
};

void tst_ManagerBranches::init()
{
    // The plug-in's own switch, not the environment, turns the markers on.
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("perf/enablePerf"), true);
    m_bed.start(nullptr, false);
    zelvaApp->getBackupMgr()->setCrashState(false, 0);
    zelvaApp->getBackupMgr()->setFilesBeforeUpdate({});
    zelvaApp->startupInfo()->setFilesToOpen({});
}

void tst_ManagerBranches::cleanup()
{
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer::Ask);
    m_bed.stop();
    QFile::remove(KZelvaPaths::configDir() + QStringLiteral("/features.ini"));
    QFile::remove(KZelvaPaths::pluginSettingsFile());
}

void tst_ManagerBranches::firstWindow_data()
{
    QTest::addColumn<bool>("crashed");
    QTest::addColumn<bool>("autoRecover");
    QTest::addColumn<QStringList>("filesToOpen");
    QTest::addColumn<QStringList>("filesBeforeUpdate");
    QTest::addColumn<QStringList>("inWindow"); // current first, then the others sorted
    QTest::addColumn<QStringList>("defaultItems");
    QTest::addColumn<QString>("markers");

    const QString d = QStringLiteral("Default Work Window"), s = QStringLiteral("Stored");
    const QStringList none;
    QTest::newRow("plain start") << false << false << none << none << QStringList{s} << none
                                 << QStringLiteral("RecoverUncrashFMW Signal");
    QTest::newRow("auto-recover") << false << true << none << none << QStringList{d} << none
                                  << QStringLiteral("RecoverUncrashFMW Create Signal");
    QTest::newRow("file to open") << false << false << QStringList{QStringLiteral("/tmp/a.docx")} << none
                                  << QStringList{s, d} << none
                                  << QStringLiteral("RecoverUncrashFMW Create Signal Signal");
    QTest::newRow("crash, nothing shown then")
        << true << false << none << none << QStringList{s} << none << QStringLiteral("RecoverFMW CrashRecover Signal");
    // Legacy files and files no page opens stay out; the others keep their page type.
    QTest::newRow("files before update") << false << false << none
                                         << QStringList{QStringLiteral("/t/plan.xlsx"), QStringLiteral("/t/old.uof"),
                                                        QStringLiteral("/t/x.zzz"), QStringLiteral("/t/noext"),
                                                        QStringLiteral("/t/notes.PDF")}
                                         << QStringList{d}
                                         << QStringList{QStringLiteral("notes:17"), QStringLiteral("plan:4")}
                                         << QStringLiteral("RecoverUpdate Signal");
}

void tst_ManagerBranches::firstWindow()
{
    QFETCH(bool, crashed);
    QFETCH(bool, autoRecover);
    QFETCH(QStringList, filesToOpen);
    QFETCH(QStringList, filesBeforeUpdate);
    QFETCH(QStringList, inWindow);
    QFETCH(QStringList, defaultItems);
    QFETCH(QString, markers);

    KZelvaWorkAreaManager *manager = m_bed.manager;
    manager->ensureInitialised();
    manager->setAutoRecoverDefaultWorkArea(autoRecover);
    if (filesBeforeUpdate.isEmpty()) {
        const QString id = QStringLiteral("%1%2").arg(QDateTime::currentSecsSinceEpoch() - 100).arg(7);
        ISyncSettingsData *node = manager->workAreaSettings();
        node->beginGroup(id);
        node->setValue(QStringLiteral("name"), QStringLiteral("Stored"));
        node->endGroup();
        while (!node->groupPath().isEmpty())
            node->endGroup();
        node->setValue(QStringLiteral("lastActiveWorkAreaId"), id);
    }
    zelvaApp->getBackupMgr()->setCrashState(crashed, 4242);
    zelvaApp->getBackupMgr()->setFilesBeforeUpdate(filesBeforeUpdate);
    zelvaApp->startupInfo()->setFilesToOpen(filesToOpen);

    RecordLogTail tail;
    KZelvaMainWindow *window = m_bed.newWindow();
    QStringList names;
    for (KZelvaWorkArea *workArea : manager->workAreasOf(window)->workAreaList()) {
        if (workArea != m_bed.current(window))
            names.append(workArea->data().name);
    }
    names.sort();
    QCOMPARE(QStringList{m_bed.current(window)->data().name} + names, inWindow);
    QStringList items;
    KZelvaWorkArea *deviceDefault = manager->defaultWorkArea();
    for (KZelvaWorkAreaItem *item : deviceDefault ? deviceDefault->items() : QList<KZelvaWorkAreaItem *>())
        items.append(item->record().title + QLatin1Char(':') + QString::number(item->record().pageType));
    items.sort();
    QCOMPARE(items, defaultItems);
    QStringList seen;
    for (const QString &line : tail.lines()) {
        if (line.contains(QLatin1String("[perf] WorkAreaMWAdd")) && !line.endsWith(QLatin1String(" us")))
            seen.append(line.section(QLatin1String("WorkAreaMWAdd"), 1));
    }
    QCOMPARE(seen.join(QLatin1Char(' ')), markers);
    // The last window going reports how many windows closed with it.
    QFile events(getDcInfo()->eventFile());
    const qint64 start = events.exists() ? events.size() : 0;
    manager->notifyOnMainWindowAboutToClose(window);
    QVERIFY(events.open(QIODevice::ReadOnly) && events.seek(start));
    QVERIFY(events.readAll().contains(R"("window_num":"1"},"event":"workspace_closeallwindows")"));
}

void tst_ManagerBranches::handOvers_data()
{
    QTest::addColumn<QString>("loginSource");
    QTest::addColumn<bool>("entranceVisible");
    QTest::addColumn<int>("listened");
    QTest::addColumn<int>("refreshed");

    QTest::newRow("plain build") << QString() << true << 1 << 1;
    QTest::newRow("xa login source") << QStringLiteral("xa") << true << 0 << 1;
    QTest::newRow("other login source") << QStringLiteral("xb") << true << 1 << 1;
    QTest::newRow("entrance hidden") << QString() << false << 1 << 0;
}

void tst_ManagerBranches::handOvers()
{
    QFETCH(QString, loginSource);
    QFETCH(bool, entranceVisible);
    QFETCH(int, listened);
    QFETCH(int, refreshed);

    QSettings(KZelvaPaths::configDir() + QStringLiteral("/features.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("account/loginSourceVersion"), loginSource);
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("crossTerminalEntranceVisible"),
                                    entranceVisible);
    KZelvaWorkAreaManager *manager = m_bed.manager;
    auto *parts = new RecordingParts(manager);
    manager->setCrossTerminalPanel(parts);
    manager->setDeviceOnlineListener(parts);
    KZelvaMainWindow *window = m_bed.newWindow();
    Q_EMIT zelvaApp->cloudSvrProxy()->socketConnected();
    QCOMPARE(parts->listened, listened);

    QPointer<KZelvaWorkArea> closing = manager->createWorkArea(false);
    connect(closing, &KZelvaWorkArea::docloseFinished, manager, &KZelvaWorkAreaManager::onWorkAreaDoCloseFinished);
    Q_EMIT closing->docloseFinished();
    QTRY_VERIFY(!closing);
    QCOMPARE(parts->refreshed, refreshed);

    // A settings file over its limit marks the manager for trimming.
    Q_EMIT KSyncSettingsManager::instance()->settingsFileOverSize(QStringLiteral("residual.cfg"));
    QVERIFY(manager->isOverSize());
    // The next window to close trims the residual records once more.
    manager->notifyOnMainWindowAboutToClose(m_bed.newWindow());
    QVERIFY(!manager->isOverSize());
    // The popup registers the icons and the skin package once, until teardown.
    const QString icon = KZelvaWorkAreaResources::workAreaIconName();
    manager->notifyPopup(window, QRect());
    manager->notifyPopup(window, QRect());
    QCOMPARE(zelvaApp->zelvaSkin()->subPackages().count(QStringLiteral("kzelvaworkarea")), 1);
    QVERIFY(!zelvaApp->appIconByName(icon).pixmap(16, 16).isNull());
    manager->teardown();
    QVERIFY(!zelvaApp->zelvaSkin()->subPackages().contains(QStringLiteral("kzelvaworkarea")));
    QVERIFY(zelvaApp->appIconByName(icon).isNull());
}

void tst_ManagerBranches::commandLinesNeverWait()
{
    KZelvaWorkAreaManager *manager = m_bed.manager;
    zelvaApp->setCurrentMainWindow(m_bed.newWindow());
    // Logged out and offline: the login guide waits for the device, and runs once.
    zelvaApp->getAccountSDK()->logout();
    manager->onCurrentDeviceOnlineChange(0, false);
    RecordLogTail tail;
    manager->notifyCommandLineChanged();
    manager->notifyCommandLineChanged();
    QVERIFY(tail.lines().filter(QStringLiteral("handleGuideLogin: begin")).isEmpty());
    manager->onCurrentDeviceOnlineChange(0, true);
    manager->onCurrentDeviceOnlineChange(0, true);
    QCOMPARE(tail.lines().filter(QStringLiteral("handleGuideLogin: begin")).size(), 1);

    // An unreadable relay payload shows the box; the call is back while it is up.
    zelvaApp->getAccountSDK()->completeLogin(QStringLiteral("u1"));
    manager->handleCommandLine(QStringLiteral("a&relay_file&%%%"));
    QPointer<QDialog> box = manager->commandLines()->relayFailBox();
    QVERIFY(box && box->isVisible());
    manager->handleCommandLine(QStringLiteral("a&relay_file&e30=")); // "{}"
    QCOMPARE(manager->commandLines()->relayFailBox(), box.data());
    qobject_cast<KLiteContentDlg *>(box)->okButton()->click();
    QTRY_VERIFY(!box);

    // A relay given while the device is offline waits for the online notice, then runs.
    const QByteArray record = R"({"userId":"u1","deviceId":"d2","fileName":"waited.txt"})";
    zelvaApp->startupInfo()->setCommandLine(QStringLiteral("a&relay_file&") + QString::fromLatin1(record.toBase64()));
    manager->onCurrentDeviceOnlineChange(0, false);
    manager->notifyCommandLineChanged();
    QVERIFY(tail.lines().filter(QStringLiteral("fileName:waited.txt")).isEmpty());
    manager->onCurrentDeviceOnlineChange(0, true);
    QCOMPARE(tail.lines().filter(QStringLiteral("fileName:waited.txt")).size(), 1);
    QVERIFY(!manager->commandLines()->relayFailBox());
    zelvaApp->startupInfo()->setCommandLine(QString());
}

void tst_ManagerBranches::removeAsksAboutUnsavedTabs_data()
{
    QTest::addColumn<KZelvaCloseHandler::DirtyAnswer>("answer");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("removed");

    QTest::newRow("discard") << KZelvaCloseHandler::DirtyAnswer::Discard << false << true;
    QTest::newRow("save to its file") << KZelvaCloseHandler::DirtyAnswer::Save << true << true;
    QTest::newRow("save without a file") << KZelvaCloseHandler::DirtyAnswer::Save << false << false;
    QTest::newRow("cancel") << KZelvaCloseHandler::DirtyAnswer::Cancel << true << false;
    QTest::newRow("nobody to ask (offscreen)") << KZelvaCloseHandler::DirtyAnswer::Ask << true << false;
}

void tst_ManagerBranches::removeAsksAboutUnsavedTabs()
{
    QFETCH(KZelvaCloseHandler::DirtyAnswer, answer);
    QFETCH(bool, withFile);
    QFETCH(bool, removed);

    KZelvaMainWindow *window = m_bed.newWindow();
    const QString id = ops()->createWorkArea(window, true).value(QStringLiteral("workAreaId")).toString();
    QPointer<KZelvaQozSubPage> clean = m_bed.addPage(window, QStringLiteral("clean"));
    QPointer<KZelvaQozSubPage> changed = m_bed.addPage(window, QStringLiteral("changed"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("changed.txt"));
    QVERIFY(!withFile || changed->save(path));
    changed->setText(QStringLiteral("new text"));

    KZelvaCloseHandler::setDirtyAnswer(answer);
    QCOMPARE(ops()->removeWorkArea(id), removed);
    QVERIFY(!ops()->isAskingToRemove(id));
    QCoreApplication::processEvents();
    // Removed with its tabs, or nothing half-done: work area, tabs and text stay.
    QTRY_COMPARE(!m_bed.manager->workArea(id) && !clean && !changed, removed);
    QCOMPARE(m_bed.current(window)->id() == id, !removed);
    QVERIFY(removed || changed->isModified());
    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) && file.readAll() == "new text",
             answer == KZelvaCloseHandler::DirtyAnswer::Save && withFile);
}

void tst_ManagerBranches::undoBringsBackTheClosedWorkArea()
{
    KZelvaMainWindow *window = m_bed.newWindow();
    QVERIFY(!ops()->undoRemoveWorkArea(window));
    const QString id = ops()->createWorkArea(window, true).value(QStringLiteral("workAreaId")).toString();
    QVERIFY(ops()->renameWorkArea(id, QStringLiteral("Trip"))
            && ops()->setWorkAreaCustomColor(id, QStringLiteral("#aa3300")));
    QTemporaryDir dir;
    // Tabs with files come back in order; one never saved and one whose file went do not.
    for (const QString &tab : QStringLiteral("a gone *untitled c d").split(QLatin1Char(' '))) {
        KZelvaQozSubPage *page = m_bed.addPage(window, tab);
        QVERIFY(tab.startsWith(QLatin1Char('*')) || page->save(dir.filePath(tab)));
    }
    window->centralArea()->subPages().at(3)->activate(); // "c"
    QCoreApplication::processEvents();
    QVERIFY(ops()->removeWorkArea(id));
    QTRY_VERIFY(!m_bed.manager->workArea(id));
    QCOMPARE(ops()->lastClosedWorkAreaName(), QStringLiteral("Trip"));
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("gone"))));

    QVERIFY(ops()->undoRemoveWorkArea(nullptr));
    KZelvaWorkArea *back = m_bed.current(window);
    QVERIFY(back && back->id() == id && back->data().name == QLatin1String("Trip"));
    QCOMPARE(back->data().color, QStringLiteral("#aa3300"));
    QCoreApplication::processEvents(); // the queued adoption of the reopened tabs
    QStringList titles;
    for (KZelvaSubPage *page : window->centralArea()->subPages()) {
        if (back->findItem(page->getWorkAreaItemId()))
            titles.append(QFileInfo(qobject_cast<KZelvaQozSubPage *>(page)->getDocPath()).fileName());
    }
    QCOMPARE(titles, (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("d")}));
    QCOMPARE(back->itemCount(), 3);
    QCOMPARE(
        QFileInfo(qobject_cast<KZelvaQozSubPage *>(window->centralArea()->currentSubPage())->getDocPath()).fileName(),
        QStringLiteral("c"));
    QVERIFY(!ops()->undoRemoveWorkArea(window));
}

void tst_ManagerBranches::faceActivatesByIds_data()
{
    QTest::addColumn<QString>("workArea"); // "" the window's current one
    QTest::addColumn<QString>("item");     // "page", "closed" (file kept), "none" (no page, no file), or an id
    QTest::addColumn<bool>("newWindow");
    QTest::addColumn<bool>("ok");

    QTest::newRow("unknown work area") << QStringLiteral("1") << QStringLiteral("page") << false << false;
    QTest::newRow("unknown item") << QString() << QStringLiteral("42") << false << false;
    QTest::newRow("live page") << QString() << QStringLiteral("page") << false << true;
    QTest::newRow("no page, old window") << QString() << QStringLiteral("none") << false << false;
    QTest::newRow("no page, new window: later") << QString() << QStringLiteral("none") << true << true;
}

void tst_ManagerBranches::faceActivatesByIds()
{
    QFETCH(QString, workArea);
    QFETCH(QString, item);
    QFETCH(bool, newWindow);
    QFETCH(bool, ok);

    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaWorkArea *current = m_bed.current(window);
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("page"));
    m_bed.addPage(window, QStringLiteral("other"));
    QTemporaryDir dir;
    KZelvaWorkAreaRecoverItem record;
    record.id = QStringLiteral("17000000001");
    record.pageType = KZelvaPluginWidget::QozDocument;
    record.filePath = dir.filePath(QStringLiteral("stored.txt")); // written below
    auto *pageless = new KZelvaWorkAreaItem(m_bed.manager);
    pageless->setRecord(record);
    current->addItem(pageless, true);
    const QString itemId = item == QLatin1String("page")   ? page->getWorkAreaItemId()
                           : item == QLatin1String("none") ? record.id
                                                           : item;
    QCOMPARE(KZelvaWorkAreaFace::activeWorkareaItem(workArea.isEmpty() ? current->id() : workArea, itemId, window,
                                                    newWindow),
             ok);
    QCOMPARE(window->centralArea()->currentSubPage() == page, ok && item == QLatin1String("page"));
    QCOMPARE(pageless->isDelayActivate(), ok && newWindow);
    if (pageless->isDelayActivate()) {
        // The page arriving for it is activated at once.
        auto *arriving = new KZelvaQozSubPage;
        arriving->setWorkAreaItemId(record.id);
        window->centralArea()->addSubPage(arriving, -1, false);
        QTRY_COMPARE(window->centralArea()->currentSubPage(), arriving);
    }
    // "Open" on a listed tab whose document is not open opens it, when its file is there.
    if (pageless->subPage())
        return;
    QVERIFY(!ops()->openTag(window, current->id(), record.id));
    QVERIFY(page->save(record.filePath));
    QVERIFY(ops()->openTag(window, current->id(), record.id));
    QCoreApplication::processEvents();
    QCOMPARE(pageless->subPage(), window->centralArea()->currentSubPage());
}

int main(int argc, char **argv)
{
    qunsetenv("KZELVA_PERF");
    KZelvaApplication app(argc, argv);
    tst_ManagerBranches test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_managerbranches.moc"
