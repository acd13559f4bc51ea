// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaface.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"

#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

bool KZelvaWorkAreaFace::activeWorkareaItem(const QString &workAreaId, const QString &itemId,
                                            KZelvaMainWindow *mainWindow, bool isNewMainWindow, bool, bool)
{
    const QString name = QStringLiteral("bool KZelvaWorkAreaFace::activeWorkareaItem(const QString &, const QString "
                                        "&, KZelvaMainWindow *, bool, bool, bool)");
    writeModuleLog(KzLogModule::kWorkArea, 0,
                   QStringLiteral("%1 : workAreaId = %2, workareItemId = %3").arg(name, workAreaId, itemId));
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    KZelvaWorkArea *workArea = manager ? manager->workArea(workAreaId) : nullptr;
    if (!workArea)
        return false;
    // Shown in another window: that window is brought forward instead.
    KZelvaWorkAreas *areas = workArea->owner();
    if (areas && workArea->window() && workArea->window() != mainWindow)
        workArea->window()->showToFront(true, true, false);
    else if (mainWindow && !mainWindow->isClosing())
        areas = manager->createWorkAreasFor(mainWindow);
    else
        areas = nullptr;
    if (!areas)
        return false;
    if (!areas->contains(workArea))
        areas->addWorkArea(workArea);
    areas->setCurrentWorkArea(workArea, false, true);
    if (areas->currentWorkArea() != workArea)
        return false;
    KZelvaWorkAreaItem *item = workArea->findItem(itemId);
    if (!item) {
        writeModuleLog(KzLogModule::kWorkArea, 1, QStringLiteral("%1 :  fail item is null").arg(name));
        return false;
    }
    if (KZelvaSubPage *page = item->subPage()) {
        page->activate();
        return true;
    }
    if (isNewMainWindow) {
        item->setDelayActivate(true);
        writeModuleLog(
            KzLogModule::kWorkArea, 0,
            QStringLiteral("%1 : isNewMainWindow = true, subPage is nullptr, dalay active subPage").arg(name));
        return true;
    }
    writeModuleLog(KzLogModule::kWorkArea, 1, QStringLiteral("%1 : fail subPage is nullptr").arg(name));
    return false;
}

KZelvaSubPage *KZelvaWorkAreaFace::reopenDocument(KZelvaMainWindow *window, KZelvaWorkArea *workArea,
                                                  const KZelvaWorkAreaRecoverItem &record, bool activate)
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager || !window || !workArea || record.filePath.isEmpty())
        return nullptr;
    auto *page = new KZelvaQozSubPage(KZelvaPluginWidget::WidgetType(record.pageType));
    if (!page->openFile(record.filePath)) {
        delete page;
        return nullptr;
    }
    if (!workArea->findItem(record.id)) {
        auto *item = new KZelvaWorkAreaItem(manager);
        item->setRecord(record);
        workArea->addItem(item, true);
    }
    // The work area finds the item by the page's id and attaches it.
    page->setWorkAreaItemId(record.id);
    window->centralArea()->addSubPage(page, -1, activate);
    return page;
}
