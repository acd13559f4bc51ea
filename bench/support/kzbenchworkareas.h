// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkarea.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"

#include <kzelvamainwindow.h>

#include <memory>

// One scene at a time (page APIs speak to the live manager), shared by the
// benchmarks of one size and built again for another; main() drops it with
// reset() while the application exists.
template<typename Scene>
class KzBenchScene
{
public:
    Scene *get(int size)
    {
        if (!m_scene || m_size != size) {
            m_scene.reset();
            m_scene = std::make_unique<Scene>(size);
            m_size = size;
        }
        return m_scene.get();
    }
    void reset() { m_scene.reset(); }

private:
    std::unique_ptr<Scene> m_scene;
    int m_size = 0;
};

// Adds `count` work areas of `tabs` stored documents each (records without
// open tabs: what is listed is the same, and thousands of live tabs would
// time the adoption of pages instead) to the work areas of `window`.
// Returns the id of the last one.
inline QString addStoredWorkAreas(KZelvaWorkAreaManager *manager, KZelvaMainWindow *window, int count, int tabs)
{
    KZelvaWorkAreas *areas = manager->workAreasOf(window);
    QString lastId;
    for (int w = 0; w < count; ++w) {
        KZelvaWorkArea *workArea = manager->createWorkArea(false);
        areas->addWorkArea(workArea);
        for (int t = 0; t < tabs; ++t) {
            KZelvaWorkAreaRecoverItem record;
            record.id = QStringLiteral("%1%2").arg(workArea->id()).arg(t, 3, 10, QLatin1Char('0'));
            record.title = QStringLiteral("report %1-%2.txt").arg(w).arg(t);
            record.filePath = QStringLiteral("/home/user/Documents/project %1/report %1-%2.txt").arg(w).arg(t);
            record.suffix = QStringLiteral("txt");
            record.pageType = 3;
            record.tabIndex = t;
            auto *item = new KZelvaWorkAreaItem(manager);
            item->setRecord(record);
            workArea->addItem(item, true);
        }
        lastId = workArea->id();
    }
    return lastId;
}
