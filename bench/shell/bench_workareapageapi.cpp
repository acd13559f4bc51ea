// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// What the work-area page asks for when it opens or refreshes, for N work
// areas of 50 tabs each: getWorkAreaList, and getTagList of one work area,
// through the page object's dispatcher (argument parsing, the call by name,
// the answer text), against the operations' own lists written as the same
// compact JSON.
#include "kzbenchratio.h"
#include "kzbenchworkareas.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

constexpr int kTabsPerWorkArea = 50;

struct Scene
{
    KZelvaWorkAreaManager *manager;
    KZelvaMainWindow *window;
    KZelvaWorkAreaOperations *operations = nullptr;
    KxWebViewContainer *container;
    QString lastId;

    explicit Scene(int workAreas)
        : manager(new KZelvaWorkAreaManager(qApp))
        , window(zelvaApp->createMainWindow(false))
        , container(new KxWebViewContainer(KZelvaWorkAreaBrowser::browserId()))
    {
        manager->notifyMainWindowAdd(window);
        operations = manager->findChild<KZelvaWorkAreaOperations *>();
        lastId = addStoredWorkAreas(manager, window, workAreas, kTabsPerWorkArea);
        auto *api = new KZelvaWorkAreaBrowserJsApi(container, container);
        api->setMainWindow(window);
        container->setApi(api);
    }
    ~Scene()
    {
        delete container;
        manager->teardown();
        delete manager;
        delete window;
    }
    // One page call through the dispatcher; the size of the answer text.
    qsizetype call(const QString &method, const QJsonObject &args)
    {
        qsizetype size = 0;
        container->jsObject()->call(QStringLiteral("common"), method, args,
                                    [&size](const KxWebViewJSAnswer &answer) { size = answer.value.size(); });
        return size;
    }
};

KzBenchScene<Scene> g_scene;

Scene *sceneFor(int size)
{
    return g_scene.get(size);
}

QJsonObject tagArgs(const Scene *scene)
{
    return {{QStringLiteral("params"), QJsonObject{{QStringLiteral("workAreaId"), scene->lastId}}}};
}

void pageGetWorkAreaList(benchmark::State &state)
{
    Scene *scene = sceneFor(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = scene->call(QStringLiteral("getWorkAreaList"), QJsonObject());
    state.counters["answer_bytes"] = double(size);
    if (size < state.range(0) * 100)
        state.SkipWithError("short answer");
}

void operationsWorkAreaList(benchmark::State &state)
{
    Scene *scene = sceneFor(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = QJsonDocument(scene->operations->workAreaList(scene->window)).toJson(QJsonDocument::Compact).size();
    state.counters["answer_bytes"] = double(size);
}

void pageGetTagList(benchmark::State &state)
{
    Scene *scene = sceneFor(int(state.range(0)));
    const QJsonObject args = tagArgs(scene);
    qsizetype size = 0;
    for (auto _ : state)
        size = scene->call(QStringLiteral("getTagList"), args);
    state.counters["answer_bytes"] = double(size);
    if (size < kTabsPerWorkArea * 100)
        state.SkipWithError("short answer");
}

void operationsTagList(benchmark::State &state)
{
    Scene *scene = sceneFor(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = QJsonDocument(scene->operations->tagList(scene->lastId)).toJson(QJsonDocument::Compact).size();
    state.counters["answer_bytes"] = double(size);
}

} // namespace

// Grouped by size, so each scene is built once.
#define KZ_PAGE_API_BENCHMARKS(n)                                                                                     \
    BENCHMARK(pageGetWorkAreaList)->Arg(n)->Unit(benchmark::kMicrosecond);                                           \
    BENCHMARK(operationsWorkAreaList)->Arg(n)->Unit(benchmark::kMicrosecond);                                        \
    BENCHMARK(pageGetTagList)->Arg(n)->Unit(benchmark::kMicrosecond);                                                \
    BENCHMARK(operationsTagList)->Arg(n)->Unit(benchmark::kMicrosecond);
KZ_PAGE_API_BENCHMARKS(10)
KZ_PAGE_API_BENCHMARKS(100)

int main(int argc, char **argv)
{
    return kzBenchMain<KZelvaApplication>(
        argc, argv, {{"pageGetWorkAreaList", "operationsWorkAreaList"}, {"pageGetTagList", "operationsTagList"}},
        [] { g_scene.reset(); });
}
