// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvamainwindowclosehandler.h"

#include "kzelvaprocessonlocalpageclosehandler.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareaclosehandler.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"
#include "kzelvaresidualrecords.h"

#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvapage.h>
#include <kzelvasubpage.h>

#include <QPointer>
#include <QTimer>

namespace {
// Application mode bit under which a window without work areas looks at its
// header bar before anything else.
constexpr int kHeaderBarModeBit = 2;

bool isQuickStart()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->property("zelvaQuickStart").toBool();
}
} // namespace

KZelvaMainWindowCloseHandler::KZelvaMainWindowCloseHandler(KZelvaMainWindow *window, QObject *parent)
    : KZelvaCloseHandler(window, parent)
{
    if (!window)
        return;
    m_forceClose = window->property("ForceClose").toBool();
    m_residualIdBefore = window->property(residualIdProperty()).toString();
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    KZelvaWorkAreas *areas = manager ? manager->workAreasOf(window) : nullptr;
    const bool independent = manager && manager->isIndependentMode();
    QList<KZelvaWorkArea *> workAreas = areas ? areas->workAreaList() : QList<KZelvaWorkArea *>();

    if (workAreas.isEmpty()) {
        KZelvaApplication *app = KZelvaApplication::instance();
        const bool headerBarMode = app && (app->startupInfo()->appMode() & kHeaderBarModeBit);
        // A special header bar holds no process-local pages of its own: only
        // the window's own close objects are asked.
        if (headerBarMode && window->isSpecialHeaderBar()) {
            addWindowCloseObjects(window);
        } else if (!independent) {
            addProcessOnLocalPageHandlers(window, true);
            addWindowCloseObjects(window);
        } else {
            addWindowCloseObjects(window);
            addProcessOnLocalPageHandlers(window, true);
        }
    } else {
        KZelvaWorkArea *current = areas->currentWorkArea();
        if (current && workAreas.removeAll(current) > 0)
            workAreas.prepend(current);
        for (KZelvaWorkArea *workArea : qAsConst(workAreas)) {
            QSharedPointer<KZelvaCloseHandler> child(new KZelvaWorkAreaCloseHandler(workArea, m_forceClose));
            child->setSelfDoClose(false);
            noteCovered(child);
            addChild(child);
        }
        if (!independent) {
            addProcessOnLocalPageHandlers(window, false);
            addWindowCloseObjects(window);
        } else {
            addWindowCloseObjects(window);
            addProcessOnLocalPageHandlers(window, false);
        }
    }
    // Tabs that no work area and no other handler claims are asked too, so
    // no unsaved document goes without a question.
    const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
    for (KZelvaSubPage *page : pages)
        addSubPageHandler(page);
}

void KZelvaMainWindowCloseHandler::noteCovered(const QSharedPointer<KZelvaCloseHandler> &handler)
{
    if (KZelvaSubPage *page = handler->subPage())
        m_covered.insert(page);
    const auto children = handler->children();
    for (const QSharedPointer<KZelvaCloseHandler> &child : children)
        noteCovered(child);
}

void KZelvaMainWindowCloseHandler::addSubPageHandler(KZelvaSubPage *page)
{
    if (!page || m_covered.contains(page))
        return;
    auto child = QSharedPointer<KZelvaCloseHandler>::create(page);
    child->setSelfDoClose(false);
    child->setProperty("bSaveChanged", !m_forceClose);
    m_covered.insert(page);
    addChild(child);
}

void KZelvaMainWindowCloseHandler::addProcessOnLocalPageHandlers(KZelvaMainWindow *window, bool withSubPages)
{
    const bool quickStart = isQuickStart();
    const QList<KZelvaPage *> pages = window->centralArea()->pages();
    for (KZelvaPage *page : pages) {
        if (!KZelvaProcessonLocalPageCloseHandler::qualifies(int(page->pageType()), quickStart))
            continue;
        QSharedPointer<KZelvaCloseHandler> child(new KZelvaProcessonLocalPageCloseHandler(page, withSubPages));
        child->setSelfDoClose(false);
        const auto subHandlers = child->children();
        for (const QSharedPointer<KZelvaCloseHandler> &sub : subHandlers)
            sub->setProperty("bSaveChanged", !m_forceClose);
        noteCovered(child);
        addChild(child);
    }
}

void KZelvaMainWindowCloseHandler::addWindowCloseObjects(KZelvaMainWindow *window)
{
    const QList<QObject *> objects = window->getCloseHandlerObjectList();
    for (QObject *object : objects) {
        if (m_covered.contains(object))
            continue;
        if (auto *page = qobject_cast<KZelvaSubPage *>(object)) {
            addSubPageHandler(page);
            continue;
        }
        auto child = QSharedPointer<KZelvaCloseHandler>::create(object);
        child->setSelfDoClose(false);
        m_covered.insert(object);
        addChild(child);
    }
}

void KZelvaMainWindowCloseHandler::onChildrenFinished(bool cancelled)
{
    KZelvaMainWindow *window = mainWindow();
    if (cancelled && window) {
        // A work area that agreed before another vetoed may have written the
        // window's record: a close that did not happen leaves none.
        const QString written = window->property(residualIdProperty()).toString();
        if (!written.isEmpty() && written != m_residualIdBefore) {
            if (KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance())
                manager->residualRecords()->removeWindowResidualSettingData(written);
            window->setProperty(residualIdProperty(), m_residualIdBefore.isEmpty() ? QVariant() : QVariant(m_residualIdBefore));
        }
    }
    on_this_finished(cancelled);
    // A window that stays open (its pages closed for a user switch) starts
    // afresh: later closed tabs go to the shared record again.
    if (!cancelled && window && !window->isClosing()) {
        QPointer<KZelvaMainWindow> guard(window);
        QTimer::singleShot(0, window, [guard] {
            if (guard && !guard->isClosing())
                guard->setProperty(residualIdProperty(), QVariant());
        });
    }
}
