// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkarearecovery.h"

#include "kzelvawindowlifecycle.h"
#include "kzelvawindowregistry.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"

#include <kzelvaapplication.h>
#include <kzelvabackupmgr.h>
#include <kzelvamainwindow.h>
#include <perfproxy.h>

#include <QDateTime>

namespace {

constexpr int kNoRecoverAppModeBit = 8;

// The recoverable-document counters live for the whole process.
int g_recoverTotal = 0;
int g_recoverCurrent = 0;

} // namespace

KZelvaWorkAreaRecovery::KZelvaWorkAreaRecovery(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
}

void KZelvaWorkAreaRecovery::recoverCrashedWorkAreas(KZelvaMainWindow *window)
{
    PerfProxy::mark(QStringLiteral("WorkAreaMWAddCrashRecover"));
    m_manager->registry()->loadStoredWorkAreas();
    KZelvaApplication *app = KZelvaApplication::instance();
    const QString crashedPid = QString::number(app->getBackupMgr()->recoverPid());
    const quint32 now = quint32(QDateTime::currentSecsSinceEpoch());
    const QString lastActive = m_manager->lastActiveWorkAreaId();
    // What was shown when the process died: the work areas stored as visible
    // by that process, lately.
    QList<KZelvaWorkArea *> candidates;
    const QList<KZelvaWorkArea *> all = m_manager->registry()->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        const KZelvaWorkAreaData &data = workArea->data();
        if (workArea->storedVisible() && data.lastPid == crashedPid
            && data.lastRunDateTime + CrashRecoverWindowSecs > now)
            candidates.append(workArea);
    }
    KZelvaWindowLifecycle *lifecycle = m_manager->lifecycle();
    if (candidates.isEmpty()) {
        lifecycle->addWindow(window, lastActive, true);
        return;
    }
    // The first window takes the one the user last worked in, or else the
    // first one shown; each other one gets a window of its own.
    KZelvaWorkArea *first = candidates.first();
    for (KZelvaWorkArea *candidate : qAsConst(candidates)) {
        if (candidate->id() == lastActive)
            first = candidate;
    }
    lifecycle->addWindow(window, first->id(), true);
    for (KZelvaWorkArea *candidate : qAsConst(candidates)) {
        if (candidate == first)
            continue;
        KZelvaMainWindow *other = app->createMainWindow(false);
        lifecycle->addWindow(other, candidate->id(), true);
        other->showToFront(true, true, false);
    }
}

bool KZelvaWorkAreaRecovery::decideRecoveryId()
{
    if (!m_recoveryId.isEmpty())
        return true;
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return false;
    const bool noRecoverBit = (app->startupInfo()->appMode() & kNoRecoverAppModeBit) == 0;
    const bool crashed = app->getBackupMgr() && app->getBackupMgr()->hasCrash();
    if (noRecoverBit && (crashed || (m_manager->isAutoRecoverDefaultWorkArea() && !m_manager->isIndependentMode())))
        m_recoveryId = m_manager->lastActiveWorkAreaId();
    return !m_recoveryId.isEmpty();
}

int KZelvaWorkAreaRecovery::recoverFileCount(int *current)
{
    if (g_recoverTotal > 0 || !decideRecoveryId()) {
        if (current)
            *current = g_recoverCurrent;
        return g_recoverTotal;
    }
    m_manager->ensureInitialised();
    m_manager->registry()->loadStoredWorkAreas();
    const QList<KZelvaWorkArea *> all = m_manager->registry()->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        workArea->fillDocumentCopies();
        const auto copies = workArea->documentCopies();
        for (KZelvaWorkAreaItem *copy : copies) {
            const KZelvaWorkAreaRecoverItem &record = copy->record();
            if (KZelvaWorkArea::isDocumentPageType(record.pageType)
                && (!record.filePath.isEmpty() || !record.title.isEmpty())) {
                ++g_recoverTotal;
                if (workArea->id() == m_recoveryId)
                    ++g_recoverCurrent;
            }
        }
    }
    if (current)
        *current = g_recoverCurrent;
    return g_recoverTotal;
}

QStringList KZelvaWorkAreaRecovery::recoverFileList(int pageType)
{
    m_manager->ensureInitialised();
    m_manager->registry()->loadStoredWorkAreas();
    QStringList result;
    const QList<KZelvaWorkArea *> all = m_manager->registry()->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        const QList<KZelvaWorkAreaItem *> items = workArea->items();
        for (KZelvaWorkAreaItem *item : items) {
            const KZelvaWorkAreaRecoverItem &record = item->record();
            if (record.pageType != pageType)
                continue;
            if (!record.filePath.isEmpty())
                result.append(record.filePath);
            else if (!record.title.isEmpty())
                result.append(record.title);
        }
    }
    return result;
}
