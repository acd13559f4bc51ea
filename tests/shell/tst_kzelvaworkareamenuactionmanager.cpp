// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Tab-menu entries and the page's tab menu against real host windows: which
// entries a tab gets, what triggering them does to the model, and which
// usage events the collector reports.

#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareatabmenuinfocollectter.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kdcinfo.h>
#include <kzelvamenu.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>

#include <QAction>
#include <QFile>
#include <QFontMetrics>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class tst_KZelvaWorkAreaMenuActionManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_bed.stop(); }
    void submenuEntries_data();
    void submenuEntries();
    void triggerMovesTheTab_data();
    void triggerMovesTheTab();
    void newWindowKeepsTheSourceWindow();
    void entryText_data();
    void entryText();
    void menuClickEvents_data();
    void menuClickEvents();
    void collectorFollowsOneMenu();
    void pageMenus();
    void pageMenuBadInput_data();
    void pageMenuBadInput();

private:
    // A new work area of the window, not shown.
    KZelvaWorkArea *createIn(KZelvaMainWindow *window)
    {
        return m_manager->workArea(m_ops->createWorkArea(window, false).value(QStringLiteral("workAreaId")).toString());
    }
    // A listed item (no open tab) of the work area.
    QString addListedItem(KZelvaWorkArea *workArea, const QString &id, const QString &title, int tabIndex = 0)
    {
        auto *item = new KZelvaWorkAreaItem(m_manager);
        KZelvaWorkAreaRecoverItem record;
        record.id = id;
        record.title = title;
        record.pageType = KZelvaPluginWidget::QozDocument;
        record.tabIndex = tabIndex;
        item->setRecord(record);
        workArea->addItem(item);
        return id;
    }
    // Builds the tab menu as the shell does (through the manager, by name).
    void buildTabMenu(KZelvaMenu *menu, KZelvaTab *tab)
    {
        QVERIFY(QMetaObject::invokeMethod(m_manager, "addTabMenuWorkAreaAction", Qt::DirectConnection,
                                          Q_ARG(KZelvaMenu *, menu), Q_ARG(KZelvaTab *, tab), Q_ARG(QVariantMap, QVariantMap())));
    }
    static QMenu *submenuOf(QMenu *menu);
    static QAction *entry(QMenu *submenu, const QString &desWorkAreaId);
    static QJsonObject lastUsageEvent();
    static QString lastMenuClick()
    {
        return lastUsageEvent().value(QStringLiteral("args")).toObject().value(QStringLiteral("menuclick")).toString();
    }

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
    KZelvaWorkAreaOperations *m_ops = nullptr;
    KZelvaWorkAreaMenuActionManager *m_menus = nullptr;
};

void tst_KZelvaWorkAreaMenuActionManager::init()
{
    m_bed.start(new KZelvaWorkAreaAssembly);
    m_manager = m_bed.manager;
    m_ops = m_manager->findChild<KZelvaWorkAreaOperations *>();
    m_menus = KZelvaWorkAreaMenuActionManager::instance();
    QVERIFY(m_ops && m_menus);
}

QMenu *tst_KZelvaWorkAreaMenuActionManager::submenuOf(QMenu *menu)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->objectName() == QLatin1String("moveToWorkAreaMenuAction"))
            return action->menu();
    }
    return nullptr;
}

QAction *tst_KZelvaWorkAreaMenuActionManager::entry(QMenu *submenu, const QString &desWorkAreaId)
{
    const QList<QAction *> actions = submenu ? submenu->actions() : QList<QAction *>();
    for (QAction *action : actions) {
        if (action->property("desWorkAreaId").toString() == desWorkAreaId)
            return action;
    }
    return nullptr;
}

QJsonObject tst_KZelvaWorkAreaMenuActionManager::lastUsageEvent()
{
    QFile file(getDcInfo()->eventFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll().trimmed().split('\n').last()).object();
}

void tst_KZelvaWorkAreaMenuActionManager::submenuEntries_data()
{
    QTest::addColumn<int>("windowWorkAreas");
    QTest::addColumn<int>("tabWorkArea");
    QTest::addColumn<bool>("otherWindow");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("pageType");
    // Entry texts after the new-window entry; empty with no submenu at all.
    QTest::addColumn<QStringList>("entries");

    const QString def = QStringLiteral("Default Work Window");
    const QString one = QStringLiteral("New Work Window1");
    const QString two = QStringLiteral("New Work Window2");
    QTest::newRow("one work area: only the new window")
        << 1 << 0 << false << false << int(KZelvaPluginWidget::QozDocument) << QStringList();
    QTest::newRow("two work areas")
        << 2 << 0 << false << false << int(KZelvaPluginWidget::QozDocument) << QStringList{one};
    QTest::newRow("three work areas, tab in the second")
        << 3 << 1 << false << false << int(KZelvaPluginWidget::SheetDocument) << QStringList{def, two};
    QTest::newRow("another window's work area is listed")
        << 2 << 0 << true << false << int(KZelvaPluginWidget::QozDocument) << QStringList{one, two};
    QTest::newRow("locked tab gets the same entries")
        << 3 << 0 << false << true << int(KZelvaPluginWidget::QozDocument) << QStringList{one, two};
    QTest::newRow("excluded page type: no submenu")
        << 2 << 0 << false << false << int(KZelvaPluginWidget::StartPage) << QStringList();
}

void tst_KZelvaWorkAreaMenuActionManager::submenuEntries()
{
    QFETCH(int, windowWorkAreas);
    QFETCH(int, tabWorkArea);
    QFETCH(bool, otherWindow);
    QFETCH(bool, locked);
    QFETCH(int, pageType);
    QFETCH(QStringList, entries);

    KZelvaMainWindow *window = m_bed.newWindow();
    QList<KZelvaWorkArea *> own{m_bed.current(window)};
    for (int i = 1; i < windowWorkAreas; ++i)
        own.append(createIn(window));
    if (otherWindow)
        m_bed.newWindow();
    QVERIFY(m_ops->switchWorkArea(window, own.at(tabWorkArea)->id()));
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("report.docx"), pageType);
    page->getTab()->setLock(locked);

    KZelvaMenu menu(window);
    menu.addAction(QStringLiteral("Close Tab"));
    buildTabMenu(&menu, page->getTab());
    QMenu *submenu = submenuOf(&menu);
    const bool excluded = KZelvaWorkArea::isExcludedPageType(pageType);
    QCOMPARE(submenu == nullptr, excluded);
    if (excluded) {
        QCOMPARE(menu.actions().size(), 1);
        return;
    }
    QVERIFY(submenu->menuAction()->isEnabled());
    const QList<QAction *> actions = submenu->actions();
    QCOMPARE(actions.size(), entries.size() + 1);
    QCOMPARE(actions.first()->objectName(), QStringLiteral("createWorkAreaAction"));
    QVERIFY(!actions.first()->property("desWorkAreaId").isValid());
    // What each entry moves, and where to: triggerMovesTheTab.
    QStringList texts;
    for (QAction *action : actions.mid(1))
        texts.append(action->text());
    // The manager's order (ids compare as text, so it is read, not assumed).
    QStringList managerOrder;
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (entries.contains(workArea->data().name))
            managerOrder.append(workArea->data().name);
    }
    QCOMPARE(texts, managerOrder);
    texts.sort();
    entries.sort();
    QCOMPARE(texts, entries);
}

void tst_KZelvaWorkAreaMenuActionManager::triggerMovesTheTab_data()
{
    QTest::addColumn<bool>("targetInOtherWindow");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("newWindowEntry"); // else the entry of the target
    QTest::addColumn<QByteArray>("property"); // set to "value" first: a bad id moves nothing
    QTest::addColumn<QString>("value");
    QTest::newRow("hidden work area of the same window") << false << false << false << QByteArray() << QString();
    QTest::newRow("work area of another window") << true << false << false << QByteArray() << QString();
    QTest::newRow("locked tab") << false << true << false << QByteArray() << QString();
    for (const char *property : {"srcWorkAreaItemId", "desWorkAreaId"})
        QTest::newRow(property) << false << false << false << QByteArray(property) << QString();
    QTest::newRow("new window, unknown item")
        << false << false << true << QByteArray("srcWorkAreaItemId") << QStringLiteral("1700000000999");
    QTest::newRow("new window, no work area") << false << false << true << QByteArray("srcWorkAreaId") << QString();
}

void tst_KZelvaWorkAreaMenuActionManager::triggerMovesTheTab()
{
    QFETCH(bool, targetInOtherWindow);
    QFETCH(bool, locked);
    QFETCH(bool, newWindowEntry);
    QFETCH(QByteArray, property);
    QFETCH(QString, value);

    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaWorkArea *source = m_bed.current(window);
    KZelvaMainWindow *other = targetInOtherWindow ? m_bed.newWindow() : nullptr;
    KZelvaWorkArea *target = other ? m_bed.current(other) : createIn(window);
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("notes.txt"));
    m_bed.addPage(window, QStringLiteral("stays.txt"));
    page->getTab()->setLock(locked);
    const QString itemId = page->getWorkAreaItemId();

    KZelvaMenu menu(window);
    buildTabMenu(&menu, page->getTab());
    QAction *action = newWindowEntry ? submenuOf(&menu)->actions().first() : entry(submenuOf(&menu), target->id());
    QVERIFY(action);
    if (!property.isEmpty())
        action->setProperty(property.constData(), value);
    const int windows = zelvaApp->mainWindows().size();
    action->trigger();
    QCoreApplication::processEvents();

    if (!property.isEmpty()) {
        QCOMPARE(zelvaApp->mainWindows().size(), windows);
        QVERIFY(source->findItem(itemId));
        QCOMPARE(findRelativeZelvaMainWindow(page), window);
        QVERIFY(page->isVisibleByControl());
        return;
    }
    QVERIFY(!source->findItem(itemId));
    QVERIFY(target->findItem(itemId));
    QCOMPARE(target->findItem(itemId)->subPage(), page);
    QCOMPARE(findRelativeZelvaMainWindow(page), other ? other : window);
    // Shown where its work area is shown, hidden in a window that shows another.
    QCOMPARE(page->isVisibleByControl(), target->isVisible());
    QCOMPARE(page->isRelativeTabLocked(), locked);
    QCOMPARE(lastMenuClick(), QStringLiteral("move_to_workspace"));
}

void tst_KZelvaWorkAreaMenuActionManager::newWindowKeepsTheSourceWindow()
{
    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("only.txt"));
    const QString itemId = page->getWorkAreaItemId();
    QVariantList blockedDuringMove;
    connect(window->centralArea(), &KZelvaCentralArea::subPageRemoved, this,
            [&blockedDuringMove](KZelvaSubPage *removed) {
                blockedDuringMove.append(removed->property("isBlockAutoCloseMainWindow"));
            });

    KZelvaMenu menu(window);
    buildTabMenu(&menu, page->getTab());
    QMenu *submenu = submenuOf(&menu);
    QVERIFY(submenu);
    const int windows = zelvaApp->mainWindows().size();
    submenu->actions().first()->trigger();

    QCOMPARE(zelvaApp->mainWindows().size(), windows + 1);
    KZelvaMainWindow *created = findRelativeZelvaMainWindow(page);
    QVERIFY(created && created != window);
    QCOMPARE(blockedDuringMove, QVariantList{true});
    QCOMPARE(page->property("isBlockAutoCloseMainWindow").toBool(), false);
    QVERIFY(window->isLockFocusInCurrentPage());
    QVERIFY(!window->isClosing());
    QTRY_VERIFY(!window->isLockFocusInCurrentPage());
    QVERIFY(zelvaApp->mainWindows().contains(window));
    // The tab lives on in the new window's own (new) work area.
    KZelvaWorkArea *newArea = m_bed.current(created);
    QVERIFY(newArea && newArea != m_bed.current(window));
    QTRY_VERIFY(newArea->findItem(itemId));
    QCOMPARE(newArea->data().name, QStringLiteral("New Work Window1"));
}

void tst_KZelvaWorkAreaMenuActionManager::entryText_data()
{
    QTest::addColumn<bool>("panel");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("activeIndex");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, bool panel, const char *titles, int active, const char *expected) {
        QTest::newRow(name) << panel << QString::fromUtf8(titles).split(QLatin1Char('|'), Qt::SkipEmptyParts) << active
                            << QString::fromUtf8(expected);
    };
    row("panel off: the name", false, "a.docx", 0, "Listed");
    row("empty work area: the name", true, "", -1, "Listed");
    row("one tab", true, "report.docx", 0, "report");
    row("two tabs: and 1 tab", true, "report.docx|b.txt", 0, "report and 1 tab");
    row("three tabs, active one leads", true, "a.txt|plan.xlsx|c.txt", 1, "plan and 2 tabs");
    row("extension cut up to the blank", true, "v1.2.final.docx (read-only)", 0, "v1.2.final (read-only)");
    row("extension cut up to a tab character", true, "a.docx\tcopy", 0, "a\tcopy");
}

void tst_KZelvaWorkAreaMenuActionManager::entryText()
{
    QFETCH(bool, panel);
    QFETCH(QStringList, titles);
    QFETCH(int, activeIndex);
    QFETCH(QString, expected);

    KZelvaWorkArea *workArea = m_manager->createWorkArea(false);
    KZelvaWorkAreaData data = workArea->data();
    data.name = QStringLiteral("Listed");
    for (int i = 0; i < titles.size(); ++i) {
        const QString id = addListedItem(workArea, QStringLiteral("17000000001%1").arg(i), titles.at(i), i);
        if (i == activeIndex)
            data.activeItemId = id;
    }
    workArea->setData(data);
    const QFont font;
    QCOMPARE(KZelvaWorkAreaMenuActionManager::entryText(workArea, panel, QFontMetrics(font), 10000), expected);

    // A long title is cut at the right to the given width, the count stays.
    if (panel && titles.size() == 2) {
        const QString text = KZelvaWorkAreaMenuActionManager::entryText(workArea, panel, QFontMetrics(font), 30);
        QVERIFY2(text.endsWith(QStringLiteral(" and 1 tab")) && text.size() < expected.size(), qPrintable(text));
    }
}

void tst_KZelvaWorkAreaMenuActionManager::menuClickEvents_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QByteArray>("menuSignal");
    QTest::addColumn<QString>("expected");

    // A host entry by object name; an unknown name is reported as it is; the
    // menu's close signals.
    QTest::newRow("renameAction") << QStringLiteral("renameAction") << QByteArray()
                                  << QStringLiteral("tabmenu_rename2023");
    QTest::newRow("somethingNew") << QStringLiteral("somethingNew") << QByteArray() << QStringLiteral("somethingNew");
    QTest::newRow("close right signal") << QString() << QByteArray("closeRightTab()") << QStringLiteral("close_right");
}

void tst_KZelvaWorkAreaMenuActionManager::menuClickEvents()
{
    QFETCH(QString, objectName);
    QFETCH(QByteArray, menuSignal);
    QFETCH(QString, expected);

    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("sheet.txt"), KZelvaPluginWidget::SheetDocument);
    QVERIFY(page->save(QDir(QDir::tempPath()).filePath(QStringLiteral("kz_menu_sheet.csv"))));
    QCoreApplication::processEvents();
    KZelvaMenu menu(window);
    QAction *action = menu.addAction(QStringLiteral("host entry"));
    action->setObjectName(objectName);
    buildTabMenu(&menu, page->getTab());
    QCOMPARE(m_menus->collector()->menu(), &menu);

    if (menuSignal.isEmpty())
        action->trigger();
    else
        QVERIFY(QMetaObject::invokeMethod(&menu, menuSignal.left(menuSignal.indexOf('(')).constData()));
    const QJsonObject event = lastUsageEvent();
    QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("workspace_rightmenuclick"));
    const QJsonObject args = event.value(QStringLiteral("args")).toObject();
    QCOMPARE(args.value(QStringLiteral("menuclick")).toString(), expected);
    QCOMPARE(args.value(QStringLiteral("file_type")).toString(), QStringLiteral("SheetDocument"));
    QCOMPARE(args.value(QStringLiteral("suffix")).toString(), QStringLiteral("csv"));
    QCOMPARE(args.value(QStringLiteral("component")).toString(), QCoreApplication::applicationName());
}

void tst_KZelvaWorkAreaMenuActionManager::collectorFollowsOneMenu()
{
    KZelvaWorkAreaTabMenuInfoCollectter *collector = m_menus->collector();
    auto *first = new KZelvaMenu;
    KZelvaMenu second;
    collector->attach(first);
    collector->attach(&second);
    QFile events(getDcInfo()->eventFile());
    const qint64 before = events.size();
    Q_EMIT first->closeAllTab();
    QCOMPARE(QFile(getDcInfo()->eventFile()).size(), before);
    Q_EMIT second.closeAllTab();
    QVERIFY(QFile(getDcInfo()->eventFile()).size() > before);
    collector->attach(first);
    delete first;
    QVERIFY(!collector->menu());
}

void tst_KZelvaWorkAreaMenuActionManager::pageMenus()
{
    qRegisterMetaType<KZelvaTab *>();
    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaQozSubPage *page = m_bed.addPage(window, QStringLiteral("open.txt"));
    KZelvaWorkArea *shown = m_bed.current(window);
    // An open tab's menu is the tab's own: the tab bar is asked for it.
    QSignalSpy asked(window->tabBar(), &KZelvaTabBar::tabContextMenuRequested);
    QVERIFY(!m_menus->createTagMenu(window, shown->id(), page->getWorkAreaItemId()));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().first().value<KZelvaTab *>(), page->getTab());
    KZelvaWorkArea *listed = createIn(window);
    KZelvaWorkAreaRecoverItem record;
    record.id = addListedItem(listed, QStringLiteral("1700000000555"), QStringLiteral("closed.docx"));

    QScopedPointer<KZelvaMenu> menu(m_menus->createTagMenu(window, listed->id(), record.id));
    QVERIFY(menu);
    QStringList names;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions)
        names.append(action->objectName());
    QCOMPARE(names, (QStringList{QStringLiteral("openAction"), QStringLiteral("closeAction"),
                                 QStringLiteral("moveToWorkAreaMenuAction")}));
    QAction *open = actions.at(0);
    QAction *close = actions.at(1);
    QCOMPARE((QStringList{open->property("srcWorkAreaId").toString(), open->property("srcWorkAreaItemId").toString(),
                          open->property("relativeWorkAreaId").toString()}),
             (QStringList{listed->id(), record.id, shown->id()}));
    // The submenu moves the listed tab to the shown work area.
    QVERIFY(entry(submenuOf(menu.data()), shown->id()));

    open->trigger();
    QCOMPARE(m_bed.current(window), listed);

    close->trigger();
    QVERIFY(!listed->findItem(record.id));
    QCOMPARE(lastMenuClick(), QStringLiteral("close"));
}

void tst_KZelvaWorkAreaMenuActionManager::pageMenuBadInput_data()
{
    QTest::addColumn<QString>("workAreaId");
    QTest::addColumn<QString>("tagId");
    QTest::newRow("empty ids") << QString() << QString();
    QTest::newRow("unknown work area") << QStringLiteral("1700000000001") << QStringLiteral("x");
    QTest::newRow("unknown tab") << QStringLiteral("<current>") << QStringLiteral("1700000000002");
    QTest::newRow("1 MiB id") << QString(1 << 20, QLatin1Char('7')) << QString(1 << 20, QLatin1Char('8'));
    QTest::newRow("list-like id") << QStringLiteral("<current>") << QStringLiteral("|a||b|");
}

void tst_KZelvaWorkAreaMenuActionManager::pageMenuBadInput()
{
    QFETCH(QString, workAreaId);
    QFETCH(QString, tagId);
    KZelvaMainWindow *window = m_bed.newWindow();
    m_bed.addPage(window, QStringLiteral("open.txt"));
    if (workAreaId == QLatin1String("<current>"))
        workAreaId = m_bed.current(window)->id();
    const int items = m_bed.current(window)->itemCount();
    RecordLogTail tail;
    QVERIFY(!m_menus->popupMenu(window, workAreaId, tagId));
    QVERIFY(!m_menus->createTagMenu(nullptr, workAreaId, tagId));
    QCOMPARE(m_bed.current(window)->itemCount(), items);
    // Hostile ids are logged cut short.
    QVERIFY(tail.lines().join(QLatin1Char('\n')).size() < 4096);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaMenuActionManager test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareamenuactionmanager.moc"
