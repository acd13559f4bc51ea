// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelmgr.h"

#include "kworkarealabelsync.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpaneljshandle.h"
#include "kzelvacrossterminalnotifyproxy.h"
#include "kzelvacrossterminalpanelutil.h"
#include "kzelvaresidualrecords.h"
#include "kzelvapersistconfig.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"
#include "kzelvawindowregistry.h"

#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <kfuncswitch.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>
#include <kzelvacrossterminalpanelproxy.h>

#include <QCoreApplication>

namespace {

bool featureOn()
{
    return krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal"));
}

} // namespace

KZelvaCrossTerminalPanelMgr::KZelvaCrossTerminalPanelMgr(QObject *parent)
    : QObject(parent)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (cloud)
        connect(cloud, &KCloudSvrProxy::loginStatusChanged, this,
                &KZelvaCrossTerminalPanelMgr::onUserLoginStatusChange);
    else
        writeLog(2, QStringLiteral("KZelvaCrossTerminalPanelMgr : KCloudSvrProxy is nullptr"));
}

KZelvaCrossTerminalPanelMgr *KZelvaCrossTerminalPanelMgr::instance()
{
    static QPointer<KZelvaCrossTerminalPanelMgr> manager;
    if (!manager && QCoreApplication::instance())
        manager = new KZelvaCrossTerminalPanelMgr(QCoreApplication::instance());
    return manager;
}

bool KZelvaCrossTerminalPanelMgr::isEntranceVisible()
{
    static const bool visible = [] {
        const bool value =
            krt::KPluginsSettings::boolValue(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                             QLatin1String(KZelvaSettingsKeys::CrossTerminalEntranceVisible), true);
        writeLog(0, QStringLiteral("isCrossTerminalAvailable : bEntranceVisibleInReg = %1").arg(value));
        return value;
    }();
    return visible;
}

bool KZelvaCrossTerminalPanelMgr::isHostPanelMode()
{
    KZelvaCrossTerminalPanelProxy *proxy = KZelvaCrossTerminalPanelProxy::instance();
    return proxy && proxy->isOpenTabManagerPanelEnabled();
}

bool KZelvaCrossTerminalPanelMgr::isCrossTerminalAvailable()
{
    return isEntranceVisible() && featureOn();
}

QObject *KZelvaCrossTerminalPanelMgr::panel() const
{
    return m_panel.data();
}

QJsonObject KZelvaCrossTerminalPanelMgr::listing(const QString &kind) const
{
    if (kind == QLatin1String("host"))
        return KZelvaCrossTerminalPanelJsHandle::instance()->generateWorkareaAndTagsJson();
    return KZelvaCrossTerminalWorkAreaListing::pluginPanelListing();
}

KZelvaCrossTerminalPanel *KZelvaCrossTerminalPanelMgr::crossTerminalPanel() const
{
    return m_panel.data();
}

KZelvaCrossTerminalPanelUtil *KZelvaCrossTerminalPanelMgr::panelUtil() const
{
    return m_util.data();
}

QObject *KZelvaCrossTerminalPanelMgr::popupCrossTerminalPanel(QWidget *targetWidget, QRect btnGeometry, QString source,
                                                              QVariantMap extra)
{
    const QString name = QStringLiteral("popupCrossTerminalPanel");
    writeLog(0, QStringLiteral("%1 : source: %2, extra size: %3").arg(name, source.left(256)).arg(extra.size()));
    if (!KZelvaApplication::instance()) {
        writeLog(1, QStringLiteral("%1 : Parameter error, zelvaApp is nullptr!").arg(name));
        return nullptr;
    }
    if (!targetWidget) {
        writeLog(1, QStringLiteral("%1 : Parameter error, targetWidget is nullptr!").arg(name));
        return nullptr;
    }
    if (btnGeometry.left() > btnGeometry.right() || btnGeometry.top() > btnGeometry.bottom()) {
        writeLog(1, QStringLiteral("%1 : Parameter error, btnGeometry is invalid!").arg(name));
        return nullptr;
    }
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!manager) {
        writeLog(1, QStringLiteral("%1 : Parameter error, KZelvaWorkAreaManager::instance is nullptr!").arg(name));
        return nullptr;
    }
    const bool hostMode = isHostPanelMode();
    if (extra.value(QStringLiteral("shortcut")).toBool() && !hostMode) {
        writeLog(0, QStringLiteral("%1, shortcut popup crossterminalpanel not support web1.0, source: %2")
                        .arg(name, source.left(256)));
        return nullptr;
    }

    Q_EMIT sigBeforeCrossPanelShow(targetWidget);
    // Work areas other processes stored since are taken in before listing.
    manager->ensureInitialised();
    manager->registry()->loadStoredWorkAreas(true);
    m_source = source;
    m_extra = extra;

    if (!hostMode) {
        if (!m_panel) {
            m_panel = new KZelvaCrossTerminalPanel;
            connect(manager, &KZelvaWorkAreaManager::sigWorkAreaDataChanged, m_panel,
                    &KZelvaCrossTerminalPanel::onWorkAreaDataChanged);
            Q_EMIT sigCrossPanelIsCreated(m_panel);
        }
    } else if (!m_util) {
        m_util = new KZelvaCrossTerminalPanelUtil(this);
        KZelvaCrossTerminalPanelJsHandle::instance()->setPanelUtil(m_util);
        connect(manager, &KZelvaWorkAreaManager::sigWorkAreaDataChanged, m_util,
                &KZelvaCrossTerminalPanelUtil::onWorkAreaDataChanged);
        // A closed tab reaches its residual record after the work area changed:
        // the recently closed list follows the record.
        if (KZelvaResidualRecords *records = manager->residualRecords())
            connect(records, &KZelvaResidualRecords::residualChanged, m_util,
                    &KZelvaCrossTerminalPanelUtil::onWorkAreaDataChanged);
    }
    if (hostMode && !m_notifyProxy && KZelvaPersistConfig::residualDeleteShelllessModeEnabled())
        m_notifyProxy = new KZelvaCrossTerminalNotifyProxy(this);
    if (!hostMode)
        m_panel->showAt(targetWidget, btnGeometry);
    else
        m_util->showPanel(targetWidget, btnGeometry, extra);

    getDcInfo()->postGeneralEvent(
        QStringLiteral("heels_click"),
        {{QStringLiteral("heelsversion"), hostMode ? QStringLiteral("6.0.0") : QStringLiteral("5")},
         {QStringLiteral("position"),
          source == QLatin1String("CrossTerminalBtn") ? QStringLiteral("fixedtopbar") : QStringLiteral("other")},
         {QStringLiteral("status"), QString()}});
    return hostMode ? static_cast<QObject *>(m_util.data()) : static_cast<QObject *>(m_panel.data());
}

void KZelvaCrossTerminalPanelMgr::hideCrossTerminalPanel()
{
    if (m_panel)
        m_panel->close();
}

void KZelvaCrossTerminalPanelMgr::refreshDevices(const QString &deviceJson)
{
    if (!m_panel) {
        writeLog(1, QStringLiteral("%1 : m_pCrossTerminalPanel is nullptr").arg(QStringLiteral("refreshDevices")));
        return;
    }
    m_panel->refreshDevices(deviceJson);
}

void KZelvaCrossTerminalPanelMgr::refreshWorkareaData()
{
    if (isHostPanelMode()) {
        KZelvaCrossTerminalPanelJsHandle::instance()->notifyRefreshListData();
        return;
    }
    if (!m_panel) {
        writeLog(1, QStringLiteral("%1 : m_pCrossTerminalPanel is nullptr").arg(QStringLiteral("refreshWorkareaData")));
        return;
    }
    m_panel->refreshWorkareaData();
}

void KZelvaCrossTerminalPanelMgr::onUserLoginStatusChange()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud) {
        writeLog(2, QStringLiteral("onUserLoginStatusChange : KCloudSvrProxy is nullptr"));
        return;
    }
    KWorkAreaLabelSync *labels = KWorkAreaLabelSync::instance();
    if (!cloud->isLogined()) {
        Q_EMIT sigDeviceTagsCountChanged(0);
        if (labels)
            labels->clearDeviceList();
    } else if (m_panel && featureOn() && isEntranceVisible() && labels) {
        labels->getSoftBussDeviceList();
        labels->getCloudStorage();
    }
    // The page shows the signed-in state, so it lists again.
    if (m_panel && m_panel->isVisible())
        m_panel->refreshWorkareaData();
}

void KZelvaCrossTerminalPanelMgr::onNetworkStatusChanged() {}
