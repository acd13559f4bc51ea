// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel page's listing ("getWorkareaAndTagsList": every work area of the
// live model with its tags, written as compact JSON) for N work areas of N
// tabs each, against a plain QJsonDocument build of the same tree from
// values held in memory, written the same way.
#include "kzbenchratio.h"
#include "kzbenchworkareas.h"

#include "kzelvacrossterminaljsapi.h"
#include "kzelvacrossterminalpanel.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <utility>
#include <vector>

namespace {

// A JSON tree as plain values: what the baseline builds its document from.
struct Node
{
    QJsonValue scalar;
    bool isObject = false;
    bool isArray = false;
    std::vector<std::pair<QString, Node>> members;
    std::vector<Node> items;

    static Node from(const QJsonValue &value)
    {
        Node node;
        if (value.isObject()) {
            node.isObject = true;
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it)
                node.members.emplace_back(it.key(), from(it.value()));
        } else if (value.isArray()) {
            node.isArray = true;
            const QJsonArray array = value.toArray();
            for (const QJsonValue &item : array)
                node.items.push_back(from(item));
        } else {
            node.scalar = value;
        }
        return node;
    }

    QJsonValue build() const
    {
        if (isObject) {
            QJsonObject object;
            for (const auto &[key, member] : members)
                object.insert(key, member.build());
            return object;
        }
        if (isArray) {
            QJsonArray array;
            for (const Node &item : items)
                array.append(item.build());
            return array;
        }
        return scalar;
    }
};

struct Scene
{
    KZelvaWorkAreaManager *manager;
    KZelvaMainWindow *window;
    Node tree;

    explicit Scene(int size)
        : manager(new KZelvaWorkAreaManager(qApp))
        , window(zelvaApp->createMainWindow(false))
    {
        manager->notifyMainWindowAdd(window);
        zelvaApp->setCurrentMainWindow(window);
        addStoredWorkAreas(manager, window, size, size);
        tree = Node::from(KZelvaCrossTerminalJsApi::generateWorkareaAndTagsJson());
    }
    ~Scene()
    {
        manager->teardown();
        delete manager;
        delete window;
    }
};

KzBenchScene<Scene> g_scene;

Scene *sceneFor(int size)
{
    return g_scene.get(size);
}

void panelListing(benchmark::State &state)
{
    sceneFor(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = QJsonDocument(KZelvaCrossTerminalJsApi::generateWorkareaAndTagsJson())
                   .toJson(QJsonDocument::Compact)
                   .size();
    state.counters["answer_bytes"] = double(size);
    if (size < state.range(0) * state.range(0) * 100)
        state.SkipWithError("short listing");
}

void plainJsonBuild(benchmark::State &state)
{
    const Scene *scene = sceneFor(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = QJsonDocument(scene->tree.build().toObject()).toJson(QJsonDocument::Compact).size();
    state.counters["answer_bytes"] = double(size);
}

} // namespace

// Grouped by size, so each scene is built once.
#define KZ_LISTING_BENCHMARKS(n)                                                                                       \
    BENCHMARK(panelListing)->Arg(n)->Unit(benchmark::kMillisecond);                                                    \
    BENCHMARK(plainJsonBuild)->Arg(n)->Unit(benchmark::kMillisecond);
KZ_LISTING_BENCHMARKS(10)
KZ_LISTING_BENCHMARKS(100)

int main(int argc, char **argv)
{
    return kzBenchMain<KZelvaApplication>(argc, argv, {{"panelListing", "plainJsonBuild"}}, [] { g_scene.reset(); });
}
