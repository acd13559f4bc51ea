// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A work-area switch with N tabs on each side, against hiding and showing
// the same N sub pages directly through the host (both with the host's
// deferred tab-strip update); and one item refresh from its page.
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

#include <memory>

namespace {

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
        // The deferred part (tab strip, current tab) belongs to the switch.
        QCoreApplication::processEvents();
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
    bool toFirst = true;
    for (auto _ : state) {
        for (KZelvaSubPage *page : qAsConst(toFirst ? scene.secondPages : scene.firstPages))
            page->setVisible(type, false);
        for (KZelvaSubPage *page : qAsConst(toFirst ? scene.firstPages : scene.secondPages))
            page->setVisible(type, true);
        QCoreApplication::processEvents();
        toFirst = !toFirst;
    }
    QCoreApplication::processEvents();
    state.counters["per_tab_ns"] = benchmark::Counter(double(state.iterations()) * 2 * state.range(0),
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
BENCHMARK(itemRefresh)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KZelvaApplication app(argc, argv);
    return kzRunRatioBenchmarks(argc, argv, {{"workAreaSwitch", "hideShowBaseline"}});
}
