// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaclosehandler.h"

#include "kzelvamainwindowclosehandler.h"
#include "kzelvapersistconfig.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaresidualrules.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"

#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>
#include <kzelvasubpage.h>

#include <QDateTime>

KZelvaWorkAreaCloseHandler::KZelvaWorkAreaCloseHandler(KZelvaWorkArea *workArea, bool forceClose, QObject *parent)
    : KZelvaCloseHandler(static_cast<QObject *>(workArea), parent)
    , m_forceClose(forceClose)
    , m_wasMarkedClosed(workArea && workArea->isMarkedClosed())
{
    if (!workArea)
        return;
    workArea->setProperty("closeHandlerAbort", false);
    QList<KZelvaSubPage *> pages;
    if (KZelvaMainWindow *window = workArea->window()) {
        const QList<KZelvaSubPage *> all = window->centralArea()->subPages();
        for (KZelvaSubPage *page : all) {
            if (!page->getWorkAreaItemId().isEmpty() && workArea->findItem(page->getWorkAreaItemId()))
                pages.append(page);
        }
    }
    if (pages.isEmpty()) {
        writeLog(0, QStringLiteral("subPage empty"));
        return;
    }
    for (KZelvaSubPage *page : qAsConst(pages)) {
        auto child = QSharedPointer<KZelvaCloseHandler>::create(page);
        child->setSelfDoClose(false);
        child->setProperty("bSaveChanged", !m_forceClose);
        addChild(child);
    }
}

KZelvaWorkArea *KZelvaWorkAreaCloseHandler::workArea() const
{
    return qobject_cast<KZelvaWorkArea *>(target());
}

void KZelvaWorkAreaCloseHandler::onChildrenFinished(bool cancelled)
{
    saveWindowResidualCfgFile(cancelled);
}

void KZelvaWorkAreaCloseHandler::saveWindowResidualCfgFile(bool cancelled)
{
    const QString name = QStringLiteral("saveWindowResidualCfgFile");
    KZelvaWorkArea *area = workArea();
    if (cancelled) {
        if (area) {
            area->setProperty("closeHandlerAbort", true);
            // The query marked a new work area closed; the close did not happen.
            area->setMarkedClosed(m_wasMarkedClosed);
        }
        on_this_finished(true);
        return;
    }
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!area || !manager) {
        writeLog(1, QStringLiteral("%1, getCurrentWorkArea is nullptr").arg(name));
        on_this_finished(false);
        return;
    }
    KZelvaMainWindow *window = area->window();
    KZelvaWorkAreas *areas = manager->workAreasOf(window);
    if (!areas) {
        writeLog(1, QStringLiteral("%1, getWorkAreas is nullptr").arg(name));
        on_this_finished(false);
        return;
    }
    if (!KZelvaPersistConfig::residualSettingSaveEnabled()) {
        KZelvaApplication *app = KZelvaApplication::instance();
        // During a user switch the kept window's work areas were saved
        // before its pages started closing.
        if (app && app->mainWindows().size() == 1 && manager->isSettingsChangeRunning()) {
            writeLog(0, QStringLiteral("%1, close lastMainWindow not save, lastWorkAreaId: %2")
                            .arg(name, manager->lastActiveWorkAreaId()));
            on_this_finished(false);
            return;
        }
        const QList<KZelvaWorkArea *> list = areas->workAreaList();
        for (KZelvaWorkArea *workArea : list)
            workArea->save();
        on_this_finished(false);
        return;
    }
    if (area->itemCount() == 0) {
        writeLog(0, QStringLiteral("%1, workAreaId: %2 hashItems isEmpty").arg(name, area->id()));
        on_this_finished(false);
        return;
    }

    const bool deleteEnabled = KZelvaPersistConfig::residualItemDeleteEnabled();
    QList<KZelvaWorkAreaItem *> kept;
    int docPageCount = 0;
    const QList<KZelvaWorkAreaItem *> items = area->items();
    for (KZelvaWorkAreaItem *item : items) {
        KZelvaSubPage *page = item->subPage();
        if (!page)
            continue;
        // A document that never reached a file, or one opened read-only or as
        // a copy (open modes 1 and 2), is nothing to reopen.
        auto *doc = qobject_cast<KZelvaQozSubPage *>(page);
        if (deleteEnabled && doc && (doc->getDocPath().isEmpty() || doc->openMode() == 1 || doc->openMode() == 2)) {
            // Nor is it kept when its tab then closes.
            item->setSaveFlag(false);
            continue;
        }
        kept.append(item);
        if (KZelvaResidualRules::isDocumentWidgetType(int(page->pageType())))
            ++docPageCount;
    }
    if (docPageCount <= 1) {
        writeLog(0, QStringLiteral("%1, nDocPageCnt <= 1, workAreaId: %2").arg(name, area->id()));
        on_this_finished(false);
        return;
    }

    KZelvaResidualRecords *records = manager->residualRecords();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QVector<KZelvaWorkAreaRecoverItem> residualItems;
    for (KZelvaWorkAreaItem *item : qAsConst(kept)) {
        item->refresh();
        KZelvaWorkAreaRecoverItem record = item->record();
        record.id = item->effectiveId();
        KZelvaResidualRecords::stampClosed(&record, area->id(), now);
        residualItems.append(record);
    }
    const char *property = KZelvaMainWindowCloseHandler::residualIdProperty();
    const QString existing = window ? window->property(property).toString() : QString();
    // The window's fixed items go into its record once, with its first work area.
    if (existing.isEmpty() && window) {
        const QVector<KZelvaWorkAreaRecoverItem> fixed = records->windowFixedItems(window);
        residualItems += fixed;
    }
    const QString residualId = records->saveWindowResidualCfgFile(existing, area->data(), residualItems);
    if (window && existing.isEmpty() && !residualId.isEmpty())
        window->setProperty(property, residualId);
    writeLog(0, QStringLiteral("%1, saveResidualBeforeMainWindowClose, this:0x%2, bVisible: %3, uid: %4")
                    .arg(QStringLiteral("on_this_finished"))
                    .arg(quintptr(this), 0, 16)
                    .arg(area->isVisible())
                    .arg(residualId));
    on_this_finished(false);
}
