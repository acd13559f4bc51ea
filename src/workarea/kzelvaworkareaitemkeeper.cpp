// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaitemkeeper.h"

#include "kzelvaresidualrecords.h"
#include "kzelvaresidualrules.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaitemability.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"

#include <kzelvacentralarea.h>
#include <kzelvahostutils.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>

#include <QDateTime>
#include <QFileInfo>

KZelvaWorkAreaItemKeeper::KZelvaWorkAreaItemKeeper(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
}

void KZelvaWorkAreaItemKeeper::keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item)
{
    if (!item)
        return;
    m_removedItems.insert(id, item);
    // The page is still there: remember where its tab was closed, in case
    // the page now goes and the document becomes a residual entry.
    if (KZelvaSubPage *page = item->subPage()) {
        for (int i = m_removedOrigins.size() - 1; i >= 0; --i) {
            if (!m_removedOrigins.at(i).item || m_removedOrigins.at(i).item == item)
                m_removedOrigins.removeAt(i);
        }
        RemovedItemOrigin origin;
        origin.item = item;
        origin.window = findRelativeZelvaMainWindow(page);
        KZelvaWorkAreas *areas = m_manager->workAreasOf(origin.window);
        // A tab is closed from the work area the window shows.
        if (KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr)
            origin.workAreaId = current->id();
        origin.closeMode = page->closeMode();
        m_removedOrigins.append(origin);
    }
    // A removed item that nobody takes back is gone with the next event loop turn.
    item->deleteLater();
}

void KZelvaWorkAreaItemKeeper::keepLockedItem(const QString &id, KZelvaWorkAreaItem *item)
{
    if (!id.isEmpty() && item)
        m_lockedItems.insert(id, item);
}

void KZelvaWorkAreaItemKeeper::dropLockedItem(const QString &id)
{
    m_lockedItems.remove(id);
}

void KZelvaWorkAreaItemKeeper::offerResidualItem(KZelvaWorkAreaItem *item)
{
    if (!item)
        return;
    RemovedItemOrigin origin;
    bool found = false;
    for (int i = m_removedOrigins.size() - 1; i >= 0; --i) {
        if (m_removedOrigins.at(i).item == item) {
            origin = m_removedOrigins.takeAt(i);
            found = true;
        } else if (!m_removedOrigins.at(i).item) {
            m_removedOrigins.removeAt(i);
        }
    }
    // Only a tab closed on its own leaves a residual entry: pages that go
    // with their window are in the window's record, and an item that moved
    // to another work area is not closed at all.
    if (!found || item->workArea() || !origin.window || origin.window->isClosing() || !m_manager->isInitialised())
        return;
    const KZelvaWorkAreaRecoverItem &record = item->record();
    if (record.id.isEmpty() || item->isWaitingForPage() || !item->saveFlag() || !item->ability()->isSaveEnabled()
        || KZelvaWorkArea::isExcludedPageType(record.pageType))
        return;
    const QString residualId = origin.window->property(KZelvaWorkAreaKeys::ResidualIdProperty).toString();
    KZelvaResidualRecords *records = m_manager->residualRecords();
    // A tab the window's own close already put into its record stays as recorded there.
    QVector<KZelvaWorkAreaRecoverItem> recorded;
    if (!residualId.isEmpty() && records->readRecord(residualId, nullptr, &recorded)) {
        for (const KZelvaWorkAreaRecoverItem &entry : qAsConst(recorded)) {
            if (entry.id == record.id)
                return;
        }
    }
    records->addWorkAreaFixedResidualItem(residualId, record, origin.workAreaId, origin.closeMode);
}

bool KZelvaWorkAreaItemKeeper::rejoinStoredItem(KZelvaMainWindow *window, const QString &itemId)
{
    KZelvaSubPage *page = nullptr;
    const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
    for (KZelvaSubPage *candidate : pages) {
        if (candidate->getWorkAreaItemId() == itemId)
            page = candidate;
    }
    KZelvaWorkArea *joined = m_manager->workAreaOfPage(page);
    KZelvaWorkAreaItem *fresh = joined ? joined->findItem(itemId) : nullptr;
    KZelvaWorkAreaRecoverItem described;
    if (!fresh || !fresh->isWaitingForPage() || !page->getRecoverItem(&described))
        return false;
    const auto sameDocument = [&described](const KZelvaWorkAreaRecoverItem &stored) {
        if (stored.pageType != described.pageType)
            return false;
        if (!described.filePath.isEmpty())
            return QFileInfo(stored.filePath) == QFileInfo(described.filePath);
        return stored.filePath.isEmpty() && !described.title.isEmpty() && stored.title == described.title;
    };
    // This window's work areas first, then those no window shows, then the
    // other windows' ones.
    QList<KZelvaWorkArea *> candidates{joined};
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    const QList<KZelvaWorkArea *> own = areas ? areas->workAreaList() : QList<KZelvaWorkArea *>();
    for (KZelvaWorkArea *workArea : own) {
        if (!candidates.contains(workArea))
            candidates.append(workArea);
    }
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->owner() && !workArea->isMarkedClosed() && !candidates.contains(workArea))
            candidates.append(workArea);
    }
    for (KZelvaWorkArea *workArea : all) {
        if (!candidates.contains(workArea) && workArea->window())
            candidates.append(workArea);
    }
    KZelvaWorkArea *home = nullptr;
    KZelvaWorkAreaItem *stored = nullptr;
    for (KZelvaWorkArea *workArea : qAsConst(candidates)) {
        const QList<KZelvaWorkAreaItem *> items = workArea->items();
        for (KZelvaWorkAreaItem *item : items) {
            if (item != fresh && !item->subPage() && !item->isWaitingForPage() && sameDocument(item->record())) {
                home = workArea;
                stored = item;
                break;
            }
        }
        if (stored)
            break;
    }
    if (!stored)
        return false;
    joined->takeItem(itemId);
    fresh->attach(nullptr);
    fresh->deleteLater();
    page->setWorkAreaItemId(stored->record().id);
    if (!home->owner() && areas)
        areas->addWorkArea(home);
    stored->attach(page);
    page->setVisible(KZelvaWorkArea::subPageControlType(), home->isVisible());
    stored->postDeferredRefresh();
    logWorkArea(0, QStringLiteral("%1 : page %2 takes back stored item %3 of work area %4")
                       .arg(QStringLiteral("rejoinStoredItem"), described.title, stored->record().id, home->id()));
    if (home->window() && home->window() != window)
        page->moveTo(home->window(), -1);
    return true;
}

void KZelvaWorkAreaItemKeeper::removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id)
{
    if (!window || id.isEmpty())
        return;
    // The page is back in a work area: it is no residual entry of its window.
    if (KZelvaResidualRecords *records = m_manager->existingResidualRecords())
        records->removeFromWindowList(window, id);
    rejoinStoredItem(window, id);
}

void KZelvaWorkAreaItemKeeper::keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page)
{
    if (!window || !page || !m_manager->isInitialised())
        return;
    const int closeMode = page->closeMode();
    if (!KZelvaResidualRules::isSavedCloseMode(closeMode)) {
        writeLog(0, QStringLiteral("%1 closeMode: %2 not support save fixedResidualItem")
                        .arg(QStringLiteral("addWorkAreaFixedResidualItem"))
                        .arg(closeMode));
        return;
    }
    KZelvaWorkAreaRecoverItem record;
    if (!page->getRecoverItem(&record))
        return;
    record.id = page->getWorkAreaItemId().isEmpty() ? KZelvaWorkAreaIdGenerator::newId() : page->getWorkAreaItemId();
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    const QString relative = current ? current->id() : QString();
    KZelvaResidualRecords *records = m_manager->residualRecords();
    KZelvaWorkAreaRecoverItem fixed = record;
    KZelvaResidualRecords::stampClosed(&fixed, relative, QDateTime::currentMSecsSinceEpoch());
    records->addWindowFixedItem(window, fixed);
    records->addWorkAreaFixedResidualItem(window->property(KZelvaWorkAreaKeys::ResidualIdProperty).toString(), record,
                                          relative, closeMode);
}

int KZelvaWorkAreaItemKeeper::collectWindowRecoverItems(KZelvaMainWindow *window)
{
    if (!window || !window->centralArea())
        return 0;
    static const char kResidualItemIdProperty[] = "residualItemId";
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    const QString relative = current ? current->id() : QString();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    int kept = 0;
    const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
    for (KZelvaSubPage *page : pages) {
        KZelvaWorkAreaRecoverItem record;
        if (!page->getWorkAreaItemId().isEmpty() || !KZelvaResidualRules::isDocumentWidgetType(int(page->pageType()))
            || !page->getRecoverItem(&record))
            continue;
        QString id = page->property(kResidualItemIdProperty).toString();
        if (id.isEmpty()) {
            id = KZelvaWorkAreaIdGenerator::newId();
            page->setProperty(kResidualItemIdProperty, id);
        }
        record.id = id;
        KZelvaResidualRecords::stampClosed(&record, relative, now);
        m_manager->residualRecords()->addWindowFixedItem(window, record);
        ++kept;
    }
    return kept;
}
