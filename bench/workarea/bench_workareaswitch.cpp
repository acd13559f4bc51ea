// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A work-area switch with N tabs on each side, against doing the same to
// the host directly: hiding and showing the same N sub pages and making the
// same tab current (both with the host's deferred tab-strip update); against
// a bare QTabBar hiding and showing as many tabs; and one item refresh from
// its page.
#include "kzbenchratio.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"

#include <ksyncsettingsmanager.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

#include <QTabBar>

#include <memory>

namespace {

// Runs the deferred part of a change to the end: posted calls, and the calls
// those post (the tab strip, the current tab of a hidden one).
void settle()
{
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents();
}

struct Scene
{
    KZelvaWorkAreaManager *manager;
    KZelvaMainWindow *window;
    QString first;
    QString second;
    QList<KZelvaSubPage *> firstPages;
    QList<KZelvaSubPage *> secondPages;

    explicit Scene(int tabs)
        : manager(clearedManager())
        , window(zelvaApp->createMainWindow(false))
    {
        manager->ensureInitialised();
        manager->notifyMainWindowAdd(window);
        KZelvaWorkAreaOperations operations(manager);
        first = manager->workAreasOf(window)->currentWorkArea()->id();
        firstPages = addPages(tabs);
        second = operations.createWorkArea(window, true).value(QStringLiteral("workAreaId")).toString();
        secondPages = addPages(tabs);
    }
    // The page a switch to `id` makes current (its work area's last active tab).
    KZelvaSubPage *activePage(const QString &id) const
    {
        KZelvaWorkArea *workArea = manager->workArea(id);
        KZelvaWorkAreaItem *item = workArea ? workArea->findItem(workArea->data().activeItemId) : nullptr;
        return item ? item->subPage() : nullptr;
    }
    // Every scene starts from nothing stored.
    static KZelvaWorkAreaManager *clearedManager()
    {
        KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
        KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QStringLiteral("active"));
        return new KZelvaWorkAreaManager(qApp);
    }
    ~Scene()
    {
        manager->teardown();
        delete manager;
        delete window;
    }
    QList<KZelvaSubPage *> addPages(int count)
    {
        QList<KZelvaSubPage *> pages;
        for (int i = 0; i < count; ++i) {
            auto *page = new KZelvaQozSubPage;
            page->newDocument(QStringLiteral("doc %1").arg(i));
            window->centralArea()->addSubPage(page, -1, false);
            pages.append(page);
        }
        QCoreApplication::processEvents();
        return pages;
    }
};

void workAreaSwitch(benchmark::State &state)
{
    Scene scene(int(state.range(0)));
    KZelvaWorkAreaOperations operations(scene.manager);
    bool toFirst = true;
    for (auto _ : state) {
        operations.switchWorkArea(scene.window, toFirst ? scene.first : scene.second);
        settle();
        toFirst = !toFirst;
    }
    QCoreApplication::processEvents();
    state.counters["per_tab_ns"] = benchmark::Counter(double(state.iterations()) * 2 * state.range(0),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (scene.manager->workAreasOf(scene.window)->workAreaList().size() != 2)
        state.SkipWithError("work areas lost");
}

void hideShowBaseline(benchmark::State &state)
{
    Scene scene(int(state.range(0)));
    const int type = KZelvaWorkArea::subPageControlType();
    KZelvaSubPage *const firstActive = scene.activePage(scene.first);
    KZelvaSubPage *const secondActive = scene.activePage(scene.second);
    bool toFirst = true;
    for (auto _ : state) {
        for (KZelvaSubPage *page : qAsConst(toFirst ? scene.secondPages : scene.firstPages))
            page->setVisible(type, false);
        for (KZelvaSubPage *page : qAsConst(toFirst ? scene.firstPages : scene.secondPages))
            page->setVisible(type, true);
        if (KZelvaSubPage *active = toFirst ? firstActive : secondActive)
            active->activate();
        settle();
        toFirst = !toFirst;
    }
    QCoreApplication::processEvents();
    state.counters["per_tab_ns"] = benchmark::Counter(double(state.iterations()) * 2 * state.range(0),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// What a tab strip over the same tabs costs at least: one QTabBar holding
// both sides' tabs, hiding one side's and showing the other's.
void qtabBarBaseline(benchmark::State &state)
{
    const int tabs = int(state.range(0));
    QTabBar bar;
    bar.setMovable(true);
    bar.setTabsClosable(true);
    bar.setDocumentMode(true);
    bar.setExpanding(false);
    for (int i = 0; i < 2 * tabs; ++i)
        bar.addTab(QStringLiteral("doc %1").arg(i % tabs));
    for (int i = tabs; i < 2 * tabs; ++i)
        bar.setTabVisible(i, false);
    bool toFirst = true;
    for (auto _ : state) {
        const int hide = toFirst ? tabs : 0;
        const int show = toFirst ? 0 : tabs;
        for (int i = 0; i < tabs; ++i)
            bar.setTabVisible(hide + i, false);
        for (int i = 0; i < tabs; ++i)
            bar.setTabVisible(show + i, true);
        bar.setCurrentIndex(show + tabs - 1);
        settle();
        toFirst = !toFirst;
    }
    state.counters["per_tab_ns"] = benchmark::Counter(double(state.iterations()) * 2 * tabs,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void itemRefresh(benchmark::State &state)
{
    Scene scene(1);
    KZelvaWorkArea *workArea = scene.manager->workArea(scene.second);
    KZelvaWorkAreaItem *item = workArea->items().first();
    for (auto _ : state)
        item->refresh();
    if (item->record().title.isEmpty())
        state.SkipWithError("record not filled");
}

} // namespace

BENCHMARK(workAreaSwitch)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(hideShowBaseline)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(qtabBarBaseline)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(itemRefresh)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return kzBenchMain<KZelvaApplication>(
        argc, argv, {{"workAreaSwitch", "hideShowBaseline"}, {"workAreaSwitch", "qtabBarBaseline"}});
}
