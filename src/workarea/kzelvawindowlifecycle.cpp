// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvawindowlifecycle.h"

#include "kzelvaresidualrecords.h"
#include "kzelvasettingskeys.h"
#include "kzelvawindowregistry.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareaability.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkarearecovery.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareasettingswrapper.h"
#include "kzelvaworkareastore.h"
#include "kzelvaworkareausageevent.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <kpluginssettings.h>
#include <kxloggerlite.h>
#include <kzelvaapplication.h>
#include <kzelvabackupmgr.h>
#include <kzelvacentralarea.h>
#include <kzelvahostutils.h>
#include <kzelvamainwindow.h>
#include <kzelvapluginwidget.h>
#include <kzelvasubpage.h>
#include <perfproxy.h>

#include <QFileInfo>

namespace {
constexpr int kNoRecoverAppModeBit = 8;
}

KZelvaWindowLifecycle::KZelvaWindowLifecycle(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
}

bool KZelvaWindowLifecycle::addWindow(KZelvaMainWindow *window, const QString &id, bool recover)
{
    if (!window)
        return false;
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("WorkAreaMWAdd"));
    // Changes another process saves meanwhile are announced once, at the end.
    KZelvaWorkAreaSettingsWrapper *wrapper = m_manager->settingsWrapper();
    if (wrapper)
        wrapper->holdNotifications();
    KZelvaWindowRegistry *registry = m_manager->registry();
    // A recovered window shows what is stored, also for work areas known here.
    registry->loadStoredWorkAreas(recover);
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaBackupMgr *backup = app ? app->getBackupMgr() : nullptr;
    const bool crashed = backup && backup->hasCrash();
    KZelvaWorkAreas *areas = registry->createWorkAreasFor(window);

    KZelvaWorkArea *target = id.isEmpty() ? nullptr : registry->workArea(id);
    const bool byId = target != nullptr;
    if (!target) {
        target = registry->defaultWorkArea();
        if (!target) {
            if (perf)
                PerfProxy::mark(QStringLiteral("WorkAreaMWAddCreate"));
            target = registry->createWorkArea(true);
        } else if (!target->owner()) {
            registry->readItemsOf(target);
            const bool beforeUpdate = backup && backup->isNeedRecoverFileBeforUpdate();
            if (!crashed && !m_manager->isAutoRecoverDefaultWorkArea() && !beforeUpdate)
                target->prepareForShowing();
        }
    }
    bool given = false;
    if (target->ability()->isActivationEnabled()) {
        if (perf)
            PerfProxy::mark(QStringLiteral("WorkAreaMWAddSignal"));
        if (byId && recover && !m_manager->autoRecoverDefaultWorkAreaFlag() && target->mode() == 0)
            target->setMode(1);
        areas->addWorkArea(target);
        if (byId && m_manager->saveActivedWorkArea()) {
            // The window brings its closed tabs back into view: one entry per document.
            KZelvaResidualRecords *records = m_manager->residualRecords();
            records->tryRemoveResidualCfgDuplicateData(KZelvaResidualRecords::DefaultId);
            if (target->isResidual() && !target->residualId().isEmpty())
                records->tryRemoveResidualCfgDuplicateData(target->residualId());
        }
        given = areas->setCurrentWorkArea(target, true, true);
        KZelvaWorkArea *deviceDefault = byId ? registry->defaultWorkArea() : nullptr;
        if (deviceDefault && deviceDefault != target)
            deviceDefault->setProperty("otherWorkAreaShown", true);
    } else if (perf) {
        PerfProxy::mark(QStringLiteral("WorkAreaMWAddNotSignal"));
    }
    if (wrapper)
        wrapper->releaseNotifications();
    if (perf)
        PerfProxy::endStub(QStringLiteral("WorkAreaMWAdd"));
    return given;
}

void KZelvaWindowLifecycle::mainWindowAdded(KZelvaMainWindow *window)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->mainWindows().size() == 1 && app->mainWindows().first() == window) {
        addFirstWindow(window);
        watchThumbnails(window);
        return;
    }
    KZelvaWorkAreas *areas = m_manager->registry()->createWorkAreasFor(window);
    if (m_manager->createsWorkAreaForNewWindow()) {
        PerfProxy::mark(QStringLiteral("WorkAreaMWAddEnableCreate"));
        KZelvaWorkArea *workArea = m_manager->registry()->createWorkArea(false);
        areas->addWorkArea(workArea);
        areas->setCurrentWorkArea(workArea, false, true);
    }
    watchThumbnails(window);
}

void KZelvaWindowLifecycle::watchThumbnails(KZelvaMainWindow *window)
{
    if (IKZelvaWorkAreaThumbnails *thumbnails = m_manager->thumbnails())
        thumbnails->watchWindow(window);
}

void KZelvaWindowLifecycle::addFirstWindow(KZelvaMainWindow *window)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaBackupMgr *backup = app->getBackupMgr();
    if (backup && backup->recoverCount() > 0) {
        PerfProxy::mark(QStringLiteral("WorkAreaMWAddRecoverFMW"));
        m_manager->recovery()->recoverCrashedWorkAreas(window);
        return;
    }
    if (backup && backup->isNeedRecoverFileBeforUpdate()) {
        PerfProxy::mark(QStringLiteral("WorkAreaMWAddRecoverUpdate"));
        addFilesFromBeforeUpdate(window);
        return;
    }
    PerfProxy::mark(QStringLiteral("WorkAreaMWAddRecoverUncrashFMW"));
    const bool crashed = backup && backup->hasCrash();
    if (app->startupInfo()->isNeedOpenFile() && !crashed) {
        // The files opened with the shell join the device's default work
        // area, which therefore shows its stored tabs too.
        KZelvaWindowRegistry *registry = m_manager->registry();
        registry->loadStoredWorkAreas();
        if (KZelvaWorkArea *deviceDefault = registry->defaultWorkArea(); deviceDefault && !deviceDefault->owner()) {
            registry->readItemsOf(deviceDefault);
            deviceDefault->prepareForShowing();
        }
        addWindow(window, QString(), false);
    }
    const bool noRecoverBit = (app->startupInfo()->appMode() & kNoRecoverAppModeBit) == 0;
    const bool useDefault =
        noRecoverBit && ((m_manager->autoRecoverDefaultWorkAreaFlag() && !m_manager->isIndependentMode()) || crashed);
    addWindow(window, useDefault ? QString() : m_manager->lastActiveWorkAreaId(), false);
}

void KZelvaWindowLifecycle::addFilesFromBeforeUpdate(KZelvaMainWindow *window)
{
    KZelvaWindowRegistry *registry = m_manager->registry();
    registry->createWorkAreasFor(window);
    KZelvaWorkArea *deviceDefault = registry->defaultWorkArea();
    if (!deviceDefault)
        deviceDefault = registry->createWorkArea(true);
    const QStringList files = KZelvaApplication::instance()->getBackupMgr()->getLastOpenFilesBeforUpdate();
    for (const QString &file : files) {
        const KZelvaPluginWidget::WidgetType type = pageTypeOfFile(file);
        // The legacy application reopens its own files; a file no page opens
        // any more stays where it is.
        if (type == KZelvaPluginWidget::LegacyApp || type == KZelvaPluginWidget::InvalidType) {
            writeLog(0, QStringLiteral("%1 : \"%2\" skipped, page type %3")
                            .arg(QStringLiteral("addFilesFromBeforeUpdate"), file, convertWidgetType(type)));
            continue;
        }
        KZelvaWorkAreaRecoverItem record;
        record.id = KZelvaWorkAreaIdGenerator::newId();
        record.title = QFileInfo(file).completeBaseName();
        record.filePath = file;
        record.pageType = type;
        auto *item = new KZelvaWorkAreaItem(m_manager);
        item->setRecord(record);
        deviceDefault->addItem(item);
    }
    addWindow(window, QString(), false);
}

bool KZelvaWindowLifecycle::mainWindowRecovered(KZelvaMainWindow *window)
{
    const QString id = m_manager->lastActiveWorkAreaId();
    if (id.isEmpty())
        return true;
    return addWindow(window, id, true);
}

void KZelvaWindowLifecycle::storeLastActive(KZelvaMainWindow *window)
{
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    if (!current)
        return;
    m_manager->store()->setLastActiveWorkAreaId(current->id());
    KZelvaWorkAreaSettingsWrapper *wrapper = m_manager->settingsWrapper();
    if (m_manager->saveActivedWorkArea() && wrapper && wrapper->activeSettings()) {
        ISyncSettingsData *active = KZelvaWorkAreaSettingsWrapper::rewound(wrapper->activeSettings()->data());
        if (active->value(QLatin1String(KZelvaWorkAreaKeys::LastActiveWorkAreaId)) != current->id()) {
            active->setValue(QLatin1String(KZelvaWorkAreaKeys::LastActiveWorkAreaId), current->id());
            wrapper->flushActive();
        }
    }
}

void KZelvaWindowLifecycle::newDefaultWorkAreaWindow(bool restoreRect)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return;
    KZelvaWindowRegistry *registry = m_manager->registry();
    KZelvaWorkArea *deviceDefault = registry->defaultWorkArea();
    if (!deviceDefault) {
        deviceDefault = registry->createWorkArea(true);
        registry->readItemsOf(deviceDefault);
    }
    KZelvaMainWindow *window = app->createMainWindow(false);
    KZelvaWorkAreas *areas = registry->createWorkAreasFor(window);
    const bool shownElsewhere = deviceDefault->owner() && deviceDefault->window() && deviceDefault->window() != window;
    if (!shownElsewhere) {
        areas->addWorkArea(deviceDefault);
        areas->setCurrentWorkArea(deviceDefault, false, true);
    } else {
        addWindow(window, m_manager->lastActiveWorkAreaId(), false);
    }
    if (restoreRect)
        window->restoreWindowRect(false);
    else
        window->showToFront(true, true, false);
}

void KZelvaWindowLifecycle::reCreateWorkArea(KZelvaMainWindow *window)
{
    KZelvaWindowRegistry *registry = m_manager->registry();
    KZelvaWorkAreas *areas = registry->createWorkAreasFor(window);
    const QString id = m_manager->lastActiveWorkAreaId();
    if (!id.isEmpty()) {
        addWindow(window, id, false);
        return;
    }
    KZelvaWorkArea *deviceDefault = registry->defaultWorkArea();
    if (!deviceDefault)
        deviceDefault = registry->createWorkArea(true);
    areas->addWorkArea(deviceDefault);
    areas->setCurrentWorkArea(deviceDefault, false, true);
}

KZelvaMainWindow *KZelvaWindowLifecycle::newWindowForClosedWorkArea(const KZelvaWorkAreaData &data)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return nullptr;
    KZelvaWindowRegistry *registry = m_manager->registry();
    KZelvaWorkArea *workArea = registry->workArea(data.id);
    if (!workArea) {
        workArea = registry->restoreWorkArea(data);
        registry->readItemsOf(workArea);
    }
    if (!workArea || workArea->owner())
        return app->createMainWindow(true);
    KZelvaMainWindow *window = app->createMainWindow(false);
    KZelvaWorkAreas *areas = registry->createWorkAreasFor(window);
    areas->addWorkArea(workArea);
    areas->setCurrentWorkArea(workArea, false, true);
    watchThumbnails(window);
    return window;
}

void KZelvaWindowLifecycle::subPageAboutActive(KZelvaSubPage *page)
{
    const QString module = QStringLiteral("KZelvaWorkAreaManager::notifySubPageAboutActive");
    KZelvaMainWindow *window = findRelativeZelvaMainWindow(page);
    if (!window) {
        KxLoggerLite::info(module, QStringLiteral("subPageRleativeMainWindow empty"));
        return;
    }
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    if (!areas) {
        KxLoggerLite::info(module, QStringLiteral("workAreas empty"));
        KxLoggerLite::info(module, QStringLiteral("setCurrentWorkArea not triggered when workAreas empty"));
        return;
    }
    KZelvaWorkArea *workArea = m_manager->registry()->workAreaOfPage(page);
    if (!workArea)
        return;
    if (!areas->contains(workArea))
        areas->addWorkArea(workArea);
    if (workArea->ability()->isActivationEnabled())
        areas->setCurrentWorkArea(workArea, false, true);
}

void KZelvaWindowLifecycle::aboutQueryClose(KZelvaMainWindow *window)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->mainWindows().size() == 1)
        storeLastActive(window);
    // The window's record is built from what its tabs show now, hidden work
    // areas included, and from its documents outside every work area.
    if (KZelvaWorkAreas *areas = m_manager->workAreasOf(window)) {
        const QList<KZelvaWorkArea *> list = areas->workAreaList();
        for (KZelvaWorkArea *workArea : list) {
            const QList<KZelvaWorkAreaItem *> items = workArea->items();
            for (KZelvaWorkAreaItem *item : items)
                item->refresh();
        }
    }
    m_manager->itemKeeper()->collectWindowRecoverItems(window);
}

int KZelvaWindowLifecycle::trimResidualRecords(KZelvaMainWindow *window)
{
    int windowResidualCnt = 0;
    KZelvaResidualRecords *records = m_manager->residualRecords();
    const QString residualId = window->property(KZelvaWorkAreaKeys::ResidualIdProperty).toString();
    if (!residualId.isEmpty()) {
        QVector<KZelvaWorkAreaRecoverItem> items;
        if (records->readRecord(residualId, nullptr, &items))
            windowResidualCnt = items.size();
    }
    // Over-size: the records of every window are trimmed once more.
    if (m_manager->isOverSize()
        && krt::KPluginsSettings::boolValue(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                            QLatin1String(KZelvaWorkAreaKeys::CheckOverSize), true)) {
        m_manager->clearOverSize();
        records->removeInvalidResidualItems(KZelvaResidualRecords::DefaultId);
        const QStringList ids = records->windowResidualIds();
        for (const QString &id : ids)
            records->removeInvalidResidualItems(id);
    }
    records->forgetWindow(window);
    return windowResidualCnt;
}

void KZelvaWindowLifecycle::aboutToClose(KZelvaMainWindow *window)
{
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    const int windowResidualCnt = trimResidualRecords(window);
    KZelvaApplication *app = KZelvaApplication::instance();
    // The last window going closes them all.
    if (app && (app->isQuitting() || app->mainWindows().size() == 1))
        KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::CloseAllWindows,
                                       {{QStringLiteral("window_num"), QString::number(app->mainWindows().size())}});
    if (areas) {
        const QList<KZelvaWorkArea *> list = areas->workAreaList();
        for (KZelvaWorkArea *workArea : list) {
            workArea->refreshCache();
            workArea->write();
            // Written as they are: the pages now going with the window must not
            // take the items out of the work area.
            const QList<KZelvaWorkAreaItem *> items = workArea->items();
            for (KZelvaWorkAreaItem *item : items)
                item->attach(nullptr);
            areas->removeWorkArea(workArea);
            // A window closed while others stay open takes its work areas
            // with it; the last window leaves them for the next start.
            if (app && app->mainWindows().size() > 1 && !app->isQuitting()) {
                m_manager->registry()->forgetWorkArea(workArea);
                workArea->deleteLater();
            }
        }
        areas->deleteLater();
    }
    m_manager->savePass();
    KxLoggerLite::info(QLatin1String(KzLogModule::kWorkArea), QStringLiteral("%1, windowResidualCnt: %2")
                                                                  .arg(QStringLiteral("notifyOnMainWindowAboutToClose"))
                                                                  .arg(windowResidualCnt));
    m_manager->registry()->forgetWorkAreasOf(window);
}
