// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Work areas of a window against real host windows: switching, merged
// saves, adoption of pages, activation of hidden work areas.

#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaoperations.h"
#include "workareatestbed.h"

#include <isyncsettingsdata.h>
#include <kzelvacentralarea.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>

#include <QtTest>

class tst_KZelvaWorkAreaModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void switchShowsOnlyTheCurrentPages_data();
    void switchShowsOnlyTheCurrentPages();
    void emptyDefaultPcWorkAreaIsNeverSaved();
    void pageRemovedBeforeQueuedAddIsNotAdopted();
    void activatingHiddenItemMakesItsWorkAreaCurrent();
    void pageTypes_data();
    void pageTypes();

private:
    KZelvaQozSubPage *addPage(const QString &title, int type = KZelvaPluginWidget::QozDocument)
    {
        return m_bed.addPage(m_window, title, type);
    }
    QList<KZelvaSubPage *> pagesOf(KZelvaWorkArea *workArea) const;
    QStringList tabTitles() const;

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
    KZelvaMainWindow *m_window = nullptr;
};

void tst_KZelvaWorkAreaModel::init()
{
    m_bed.start();
    m_manager = m_bed.manager;
    m_window = m_bed.newWindow();
}

void tst_KZelvaWorkAreaModel::cleanup()
{
    m_bed.stop();
}

QList<KZelvaSubPage *> tst_KZelvaWorkAreaModel::pagesOf(KZelvaWorkArea *workArea) const
{
    QList<KZelvaSubPage *> pages;
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    for (KZelvaWorkAreaItem *item : items)
        pages.append(item->subPage());
    return pages;
}

QStringList tst_KZelvaWorkAreaModel::tabTitles() const
{
    QStringList titles;
    const QList<KZelvaTab *> tabs = m_window->tabBar()->tabs();
    for (KZelvaTab *tab : tabs)
        titles.append(tab->text());
    return titles;
}

void tst_KZelvaWorkAreaModel::switchShowsOnlyTheCurrentPages_data()
{
    QTest::addColumn<int>("inFirst");
    QTest::addColumn<int>("inSecond");
    QTest::newRow("one and one") << 1 << 1;
    QTest::newRow("three and two") << 3 << 2;
    QTest::newRow("empty second") << 2 << 0;
    QTest::newRow("many") << 20 << 15;
}

void tst_KZelvaWorkAreaModel::switchShowsOnlyTheCurrentPages()
{
    QFETCH(int, inFirst);
    QFETCH(int, inSecond);
    KZelvaWorkAreas *areas = m_manager->workAreasOf(m_window);
    QVERIFY(areas);
    KZelvaWorkArea *first = areas->currentWorkArea();
    QVERIFY(first);
    for (int i = 0; i < inFirst; ++i)
        addPage(QStringLiteral("a%1").arg(i));
    KZelvaWorkAreaOperations operations(m_manager);
    const QString secondId = operations.createWorkArea(m_window, true).value(QStringLiteral("workAreaId")).toString();
    KZelvaWorkArea *second = m_manager->workArea(secondId);
    QVERIFY(second);
    QCOMPARE(areas->currentWorkArea(), second);
    for (int i = 0; i < inSecond; ++i)
        addPage(QStringLiteral("b%1").arg(i));
    QCOMPARE(first->itemCount(), inFirst);
    QCOMPARE(second->itemCount(), inSecond);

    const QStringList order = tabTitles();
    const int type = KZelvaWorkArea::subPageControlType();
    for (int round = 0; round < 2; ++round) {
        KZelvaWorkArea *shown = round == 0 ? first : second;
        KZelvaWorkArea *hidden = round == 0 ? second : first;
        QVERIFY(operations.switchWorkArea(m_window, shown->id()));
        QCOMPARE(areas->currentWorkArea(), shown);
        for (KZelvaSubPage *page : pagesOf(shown))
            QVERIFY(page->isVisibleByControl(type));
        for (KZelvaSubPage *page : pagesOf(hidden))
            QVERIFY(!page->isVisibleByControl(type));
        QCOMPARE(m_window->tabBar()->visibleTabs().size(), shown->itemCount());
        // Nothing closed, nothing moved.
        QCOMPARE(tabTitles(), order);
    }
    QTRY_VERIFY(!m_window->tabBar()->currentTab() || m_window->tabBar()->currentTab()->subPage()->isVisibleByControl());
    // Only the page on top of the stack has updates on, also once the top one is closed.
    KZelvaCentralArea *area = m_window->centralArea();
    for (int closed = 0; closed < 2; ++closed) {
        for (KZelvaSubPage *page : area->subPages())
            QCOMPARE(page->updatesEnabled(), page == area->currentWidget());
        if (auto *top = qobject_cast<KZelvaSubPage *>(area->currentWidget()))
            area->removeSubPage(top);
    }
}

void tst_KZelvaWorkAreaModel::emptyDefaultPcWorkAreaIsNeverSaved()
{
    KZelvaWorkArea *workArea = m_manager->workAreasOf(m_window)->currentWorkArea();
    QVERIFY(workArea->data().isDefault);
    QCOMPARE(workArea->itemCount(), 0);
    workArea->requestSave();
    workArea->announceDirty();
    // No write is even scheduled.
    QVERIFY(!workArea->hasPendingSave());
    QVERIFY(!m_manager->workAreaSettings()->childGroups().contains(workArea->id()));
}

void tst_KZelvaWorkAreaModel::pageRemovedBeforeQueuedAddIsNotAdopted()
{
    KZelvaWorkArea *workArea = m_manager->workAreasOf(m_window)->currentWorkArea();
    auto *page = new KZelvaQozSubPage;
    page->newDocument(QStringLiteral("fleeting"));
    m_window->centralArea()->addSubPage(page);
    m_window->centralArea()->removeSubPage(page); // before the queued add runs
    QCoreApplication::processEvents();
    QCOMPARE(workArea->itemCount(), 0);
}

void tst_KZelvaWorkAreaModel::activatingHiddenItemMakesItsWorkAreaCurrent()
{
    KZelvaWorkAreas *areas = m_manager->workAreasOf(m_window);
    KZelvaWorkArea *first = areas->currentWorkArea();
    KZelvaQozSubPage *page = addPage(QStringLiteral("in first"));
    KZelvaWorkAreaOperations operations(m_manager);
    operations.createWorkArea(m_window, true);
    QVERIFY(areas->currentWorkArea() != first);
    QVERIFY(!page->isVisibleByControl());
    page->activate();
    QCOMPARE(areas->currentWorkArea(), first);
    QVERIFY(page->isVisibleByControl());
}

void tst_KZelvaWorkAreaModel::pageTypes_data()
{
    QTest::addColumn<int>("pageType");
    QTest::addColumn<QString>("kind"); // "turbo": kept by the host for reuse; "ole": an OLE document
    QTest::addColumn<bool>("becomesItem");
    QTest::newRow("start page") << 0 << QString() << false;
    QTest::newRow("image viewer") << 8 << QString() << false;
    QTest::newRow("settings") << 10 << QString() << false;
    QTest::newRow("app center") << 13 << QString() << false;
    QTest::newRow("plug-in page") << 49 << QString() << false;
    QTest::newRow("proxy page") << 68 << QString() << false;
    QTest::newRow("cloud panel") << 71 << QString() << false;
    QTest::newRow("document") << 3 << QString() << true;
    QTest::newRow("sheet") << 4 << QString() << true;
    QTest::newRow("slides") << 5 << QString() << true;
    QTest::newRow("pdf") << 17 << QString() << true;
    QTest::newRow("turbo document") << 3 << QStringLiteral("turbo") << true;
    QTest::newRow("ole document") << 3 << QStringLiteral("ole") << true;
}

void tst_KZelvaWorkAreaModel::pageTypes()
{
    QFETCH(int, pageType);
    QFETCH(QString, kind);
    QFETCH(bool, becomesItem);
    const bool turbo = kind == QLatin1String("turbo");
    KZelvaWorkArea *workArea = m_manager->workAreasOf(m_window)->currentWorkArea();
    auto *page = new KZelvaQozSubPage(KZelvaPluginWidget::WidgetType(pageType));
    page->setProperty("isTurboDocument", turbo);
    page->newDocument(QStringLiteral("typed"));
    m_window->centralArea()->addSubPage(page);
    QCoreApplication::processEvents();
    QCOMPARE(workArea->itemCount(), becomesItem ? 1 : 0);
    QCOMPARE(page->getWorkAreaItemId().isEmpty(), !becomesItem);
    // A later switch back must not adopt it either.
    workArea->setVisible(false);
    workArea->setVisible(true);
    QCOMPARE(workArea->itemCount(), becomesItem ? 1 : 0);
    // Only items are stored, and never an OLE document.
    if (KZelvaWorkAreaItem *item = workArea->findItem(page->getWorkAreaItemId())) {
        KZelvaWorkAreaRecoverItem record = item->record();
        record.extMap.insert(QStringLiteral("isOleDocument"), kind == QLatin1String("ole"));
        item->setRecord(record);
        item->refresh();
        QVERIFY(workArea->save());
        ISyncSettingsData *node = m_manager->workAreaSettings();
        node->beginGroup(workArea->id());
        QCOMPARE(node->childGroups().contains(page->getWorkAreaItemId()), kind != QLatin1String("ole"));
        node->endGroup();
    }
    // Hidden by the host, a turbo page's document is gone; shown again, it holds a new one.
    const QString before = page->getWorkAreaItemId();
    static const int hostType = KZelvaMultiControlBool::registerControlType(QStringLiteral("hostHidden"));
    page->setVisible(hostType, false);
    QCOMPARE(workArea->itemCount(), becomesItem && !turbo ? 1 : 0);
    page->setVisible(hostType, true);
    QCOMPARE(workArea->itemCount(), becomesItem ? 1 : 0);
    QCOMPARE(page->getWorkAreaItemId() != before, turbo);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaModel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareamodel.moc"
