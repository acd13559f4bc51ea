// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvaworkareaassembly.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"

#include <ksyncsettingsmanager.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

/*
 * The manager and the host windows of one test function: start() begins from
 * empty stored work areas and residual records, stop() tears the manager down
 * and deletes every main window. Owned by the test class (init/cleanup), GUI thread.
 */
class WorkAreaTestBed
{
public:
    KZelvaWorkAreaManager *manager = nullptr;
    // The research-and-tab scene of startResearchScene().
    KZelvaMainWindow *window = nullptr;
    QString defaultArea;
    QStringList defaultTabs;
    QString research;
    QString researchTab;

    void start(IKZelvaWorkAreaAssembly *assembly = nullptr, bool initialise = true)
    {
        for (const char *key : {"workarea", "active", "residual"})
            KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QLatin1String(key));
        manager = new KZelvaWorkAreaManager(qApp);
        if (assembly)
            manager->setAssembly(assembly);
        if (initialise)
            manager->ensureInitialised();
    }

    void stop()
    {
        manager->teardown();
        delete manager;
        manager = nullptr;
        const QList<KZelvaMainWindow *> left = zelvaApp->mainWindows();
        for (KZelvaMainWindow *window : left)
            delete window;
    }

    KZelvaMainWindow *newWindow(bool withWorkArea = true)
    {
        KZelvaMainWindow *window = zelvaApp->createMainWindow(false);
        if (withWorkArea)
            manager->notifyMainWindowAdd(window);
        return window;
    }

    // An untitled document tab, adopted by the current work area.
    KZelvaQozSubPage *addPage(KZelvaMainWindow *window, const QString &title,
                              int type = KZelvaPluginWidget::QozDocument)
    {
        auto *page = new KZelvaQozSubPage(KZelvaPluginWidget::WidgetType(type));
        page->newDocument(title);
        window->centralArea()->addSubPage(page);
        QCoreApplication::processEvents(); // the queued adoption
        return page;
    }

    // start(), then one window whose current work area holds a tab per title
    // and a second work area, not current, with the one tab "tides".
    void startResearchScene(IKZelvaWorkAreaAssembly *assembly, bool initialise, const QStringList &defaultTitles)
    {
        start(assembly, initialise);
        window = newWindow();
        defaultTabs.clear();
        for (const QString &title : defaultTitles)
            defaultTabs.append(addPage(window, title)->getWorkAreaItemId());
        KZelvaWorkAreas *areas = manager->workAreasOf(window);
        defaultArea = areas->currentWorkArea()->id();
        KZelvaWorkArea *second = manager->createWorkArea(false);
        areas->addWorkArea(second);
        areas->setCurrentWorkArea(second, false, true);
        researchTab = addPage(window, QStringLiteral("tides"))->getWorkAreaItemId();
        research = second->id();
        areas->setCurrentWorkArea(manager->workArea(defaultArea), false, true);
    }

    KZelvaWorkArea *current(KZelvaMainWindow *window) const
    {
        KZelvaWorkAreas *areas = manager->workAreasOf(window);
        return areas ? areas->currentWorkArea() : nullptr;
    }
};
