// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareamanager.h"

#include "ikzelvaworkareaassembly.h"
#include "kzelvacommandlines.h"
#include "kzelvapersistconfig.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaresidualworkareas.h"
#include "kzelvasettingskeys.h"
#include "kzelvawindowlifecycle.h"
#include "kzelvawindowregistry.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaitemkeeper.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkarearecovery.h"
#include "kzelvaworkarearesources.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareasettings.h"
#include "kzelvaworkareasettingschangedhandler.h"
#include "kzelvaworkareasettingswrapper.h"
#include "kzelvaworkareastore.h"

#include <kaccountsdkproxy.h>
#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <kfuncswitch.h>
#include <kpluginmanager.h>
#include <kpluginssettings.h>
#include <ksyncsettingsmanager.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <perfproxy.h>

#include <cirra/cirra_types.h>

namespace {

using Keys = QLatin1String;

// Set while a manager exists; the destructor clears it.
KZelvaWorkAreaManager *g_instance = nullptr;

// The host supports the cross-terminal panel and the user keeps its entrance.
bool isCrossTerminalEntranceAvailable()
{
    return krt::product::isFeatureSupported(Keys(KZelvaWorkAreaKeys::CrossTerminalFeature))
           && krt::KPluginsSettings::boolValue(Keys(KZelvaSettingsKeys::PluginGroup),
                                               Keys(KZelvaSettingsKeys::CrossTerminalEntranceVisible), true);
}

} // namespace

KZelvaWorkAreaManager::KZelvaWorkAreaManager(QObject *parent)
    : QObject(parent)
    , m_store(new KZelvaWorkAreaStore(this))
    , m_registry(new KZelvaWindowRegistry(this, m_store, this))
    , m_lifecycle(new KZelvaWindowLifecycle(this))
    , m_recovery(new KZelvaWorkAreaRecovery(this))
    , m_itemKeeper(new KZelvaWorkAreaItemKeeper(this))
    , m_commandLines(new KZelvaCommandLines(this))
{
    g_instance = this;
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(1);
    connect(m_registry, &KZelvaWindowRegistry::workAreaAdded, this, [this](KZelvaWorkArea *workArea) {
        connect(workArea, &KZelvaWorkArea::dataChanged, this, &KZelvaWorkAreaManager::onWorkAreaDataChanged);
    });
}

KZelvaWorkAreaManager::~KZelvaWorkAreaManager()
{
    // Work areas go first, residual ones included: their items (the manager's
    // children too) call back into the manager while they are destroyed.
    qDeleteAll(m_registry->workAreas());
    qDeleteAll(findChildren<KZelvaWorkArea *>(QString(), Qt::FindDirectChildrenOnly));
    // Kept items go before the collaborators they would call.
    qDeleteAll(findChildren<KZelvaWorkAreaItem *>(QString(), Qt::FindDirectChildrenOnly));
    if (g_instance == this)
        g_instance = nullptr;
}

KZelvaWorkAreaManager *KZelvaWorkAreaManager::instance()
{
    return g_instance;
}

void KZelvaWorkAreaManager::setAssembly(IKZelvaWorkAreaAssembly *assembly)
{
    m_assembly.reset(assembly);
}

// ---- initialisation and teardown -------------------------------------------

void KZelvaWorkAreaManager::ensureInitialised()
{
    if (m_state != State::Created)
        return;
    // The plug-in's own switch turns the host's performance log on.
    if (KZelvaWorkAreaSettings().isPerfEnabled())
        PerfProxy::setEnabled(true);
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("WorkAreaInit"));
    readSaveActivedWorkArea();
    createSettings();
    connectHost();
    createParts();
    if (!m_translationInstalled) {
        // No catalogue ships; the texts show in their source form.
        m_translationInstalled = true;
        logWorkArea(0, QStringLiteral("ensureInitialised : translation \"%1\" installed")
                           .arg(Keys(KZelvaWorkAreaKeys::Translation)));
    }
    KPluginManager::instance()->registerPluginInstanceObject(Keys(KZelvaWorkAreaKeys::OperationsName),
                                                             new KZelvaWorkAreaOperations(this));
    m_state = State::Initialised;
    if (perf)
        PerfProxy::endStub(QStringLiteral("WorkAreaInit"));

    startStep();
    sendStartRequest();
}

void KZelvaWorkAreaManager::connectHost()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return;
    connect(app, &KZelvaApplication::currentMainWindowChanged, this,
            &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
    kacctoutsdk::KAccountSdkProxy *account = app->getAccountSDK();
    if (account && account->isEnable(Keys(KZelvaWorkAreaKeys::AccountSwitch)))
        connect(account, &kacctoutsdk::KAccountSdkProxy::userInfoChanged, this,
                &KZelvaWorkAreaManager::onSdkUserInfoChange);
    if (KCloudSvrProxy *cloud = app->cloudSvrProxy()) {
        // Builds logging in from the "xa" source have no device service to listen to.
        if (krt::product::loginSourceVersion() != QLatin1String("xa"))
            connect(cloud, &KCloudSvrProxy::socketConnected, this, &KZelvaWorkAreaManager::onSocketConnected);
        else
            logWorkArea(0, QStringLiteral("ensureInitialised : login source \"xa\", no device-online listening"));
        connect(cloud, &KCloudSvrProxy::loginStatusChanged, m_settingsWrapper,
                &KZelvaWorkAreaSettingsWrapper::onUserChanged);
    }
    if (KSyncSettingsManager *settings = m_settingsWrapper ? m_settingsWrapper->settingsManager() : nullptr)
        connect(settings, &KSyncSettingsManager::settingsFileOverSize, this,
                &KZelvaWorkAreaManager::notifySettingsFileOverSize);
}

void KZelvaWorkAreaManager::createParts()
{
    if (!m_assembly) {
        logWorkArea(0, QStringLiteral("ensureInitialised : no assembly registered, the work areas run without "
                                      "menus, popups, thumbnails and label sync"));
        return;
    }
    // The cross-terminal panel shows its own previews when it is there.
    m_assembly->createParts(this, !isCrossTerminalEntranceAvailable());
}

void KZelvaWorkAreaManager::createSettings()
{
    m_settingsWrapper = m_store->openForCurrentUser();
    KZelvaWorkAreaSettingsChangedHandler::Steps steps;
    steps.saveAllWindows = [this] { savePass(); };
    steps.createCloseHandler = [this](KZelvaMainWindow *window) {
        IKZelvaWindowCloseHandlers *handlers = m_closeHandlers.get();
        return handlers ? handlers->createMainWindowCloseHandler(window) : nullptr;
    };
    steps.clearWindows = [this] { m_registry->clear(); };
    steps.lastActiveWorkAreaId = [this] { return lastActiveWorkAreaId(); };
    steps.restore = [this](KZelvaMainWindow *window, const QString &id) { m_lifecycle->addWindow(window, id, false); };
    m_settingsHandler = new KZelvaWorkAreaSettingsChangedHandler(m_settingsWrapper, std::move(steps), this);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsVersionChanged, this,
            &KZelvaWorkAreaManager::onSettingsVersionChanged);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsAboutChange, m_settingsHandler,
            &KZelvaWorkAreaSettingsChangedHandler::onSettingsAboutChanged);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsChanged, m_settingsHandler,
            &KZelvaWorkAreaSettingsChangedHandler::onSettingsChangeded);
    m_residualWorkAreas = new KZelvaResidualWorkAreas(this, residualRecords());
}

KZelvaResidualRecords *KZelvaWorkAreaManager::residualRecords()
{
    return m_store->residualRecords();
}

KZelvaResidualRecords *KZelvaWorkAreaManager::existingResidualRecords() const
{
    return m_store->existingResidualRecords();
}

KZelvaWorkAreaSettingsWrapper *KZelvaWorkAreaManager::settingsWrapper() const
{
    return m_store->settingsWrapper();
}

void KZelvaWorkAreaManager::startStep()
{
    isAutoRecoverDefaultWorkArea();
    if (m_assembly)
        m_assembly->startBubbles(this);
}

void KZelvaWorkAreaManager::sendStartRequest()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud)
        return;
    qoz::cirra::CirraIpcArg arg;
    arg.method = "showSendMyDeviceToastByTransferHelper";
    cloud->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, nullptr, QString());
}

void KZelvaWorkAreaManager::teardown()
{
    if (m_state != State::Initialised)
        return;
    if (m_translationInstalled) {
        m_translationInstalled = false;
        logWorkArea(0,
                    QStringLiteral("teardown : translation \"%1\" removed").arg(Keys(KZelvaWorkAreaKeys::Translation)));
    }
    KZelvaWorkAreaResources::unregister();
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        disconnect(app, &KZelvaApplication::currentMainWindowChanged, this,
                   &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
    }
    savePass();
    if (KZelvaResidualRecords *records = existingResidualRecords(); records && isResidualSettingSaveEnabled()) {
        records->syncFlushWindowResidualSettings();
        records->waitForTasks();
    }
    if (IKZelvaLabelSync *labelSync = m_labelSync.get())
        labelSync->stopListening();
    m_state = State::TornDown;
}

void KZelvaWorkAreaManager::savePass()
{
    m_registry->savePass();
}

// ---- settings and modes ----------------------------------------------------------

bool KZelvaWorkAreaManager::readSaveActivedWorkArea()
{
    m_saveActivedWorkArea = krt::KPluginsSettings::boolValue(Keys(KZelvaSettingsKeys::PluginGroup),
                                                             Keys(KZelvaWorkAreaKeys::SaveActivedWorkArea), true);
    return m_saveActivedWorkArea;
}

bool KZelvaWorkAreaManager::isIndependentMode() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->startupInfo()->isIndependentMode();
}

bool KZelvaWorkAreaManager::isSettingsChangeRunning() const
{
    return m_settingsHandler && m_settingsHandler->isRunning();
}

bool KZelvaWorkAreaManager::isTabManagerPanelEnabled() const
{
    return KZelvaPersistConfig::isTabManagerPanelEnabled();
}

bool KZelvaWorkAreaManager::isAutoRecoverDefaultWorkArea()
{
    m_autoRecoverDefaultWorkArea = krt::KCommonSettings::value(Keys(KZelvaWorkAreaKeys::CommonGroup),
                                                               Keys(KZelvaWorkAreaKeys::AutoRecoverPage), false)
                                       .toBool();
    return m_autoRecoverDefaultWorkArea;
}

void KZelvaWorkAreaManager::setAutoRecoverDefaultWorkArea(bool on)
{
    if (m_autoRecoverDefaultWorkArea == on)
        return;
    m_autoRecoverDefaultWorkArea = on;
    krt::KCommonSettings::setValue(Keys(KZelvaWorkAreaKeys::CommonGroup), Keys(KZelvaWorkAreaKeys::AutoRecoverPage),
                                   on);
}

// ---- windows -------------------------------------------------------------------

void KZelvaWorkAreaManager::notifyMainWindowAdd(KZelvaMainWindow *window)
{
    if (!window || window->isSpecialHeaderBar())
        return;
    ensureInitialised();
    m_lifecycle->mainWindowAdded(window);
}

bool KZelvaWorkAreaManager::notifyMainWindowRecover(KZelvaMainWindow *window)
{
    if (!window || window->isSpecialHeaderBar())
        return false;
    ensureInitialised();
    return m_lifecycle->mainWindowRecovered(window);
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutQueryClose(KZelvaMainWindow *window)
{
    if (window && isInitialised())
        m_lifecycle->aboutQueryClose(window);
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutToClose(KZelvaMainWindow *window)
{
    if (window && isInitialised())
        m_lifecycle->aboutToClose(window);
}

void KZelvaWorkAreaManager::notifyOnCrash()
{
    m_crashMode = true;
    if (!isInitialised())
        return;
    const QList<KZelvaWorkArea *> all = m_registry->workAreas();
    for (KZelvaWorkArea *workArea : all)
        workArea->refreshCache();
    savePass();
    if (isResidualSettingSaveEnabled())
        residualRecords()->syncFlushWindowResidualSettings();
}

void KZelvaWorkAreaManager::onCurrentMainWindowChanged(KZelvaMainWindow *window)
{
    if (m_lifecycle->isCurrentWindowChangeSuppressed())
        return;
    if (!window && KZelvaApplication::instance())
        window = KZelvaApplication::instance()->currentMainWindow();
    m_lifecycle->storeLastActive(window);
}

void KZelvaWorkAreaManager::notifyNewDefaultWorkAreaWindow(bool flag)
{
    if (isInitialised())
        m_lifecycle->newDefaultWorkAreaWindow(flag);
}

void KZelvaWorkAreaManager::notifyReCreateWorkArea(KZelvaMainWindow *window)
{
    if (!window)
        return;
    ensureInitialised();
    m_lifecycle->reCreateWorkArea(window);
}

void KZelvaWorkAreaManager::notifySubPageAboutActive(KZelvaSubPage *page)
{
    m_lifecycle->subPageAboutActive(page);
}

KZelvaCloseHandler *KZelvaWorkAreaManager::createMainWindowCloseHandler(KZelvaMainWindow *window)
{
    if (IKZelvaWindowCloseHandlers *handlers = m_closeHandlers.get())
        return handlers->createMainWindowCloseHandler(window);
    logWorkArea(0, QStringLiteral("createMainWindowCloseHandler : no close handlers registered, the window "
                                  "closes without asking its work areas"));
    return nullptr;
}

// ---- popup and tab menus -------------------------------------------------------

QObject *KZelvaWorkAreaManager::notifyPopup(KZelvaMainWindow *window, QRect rect)
{
    getDcInfo()->postGeneralEvent(QStringLiteral("ui_right_corner_workspace_click"));
    if (!isInitialised() || !window)
        return nullptr;
    KZelvaWorkAreaResources::ensureRegistered();
    IKZelvaWorkAreaPopups *popups = m_popups.get();
    const auto open = m_popupOf;
    for (const QPointer<QObject> &popup : open) {
        if (popup && popups)
            popups->closePopup(popup);
    }
    const QList<KZelvaWorkArea *> all = m_registry->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->isMarkedClosed())
            workArea->refreshCache();
    }
    if (IKZelvaWorkAreaThumbnails *thumbnails = m_thumbnails.get();
        thumbnails && window->centralArea()->currentSubPage())
        thumbnails->updateCurrentSubPage(window);
    if (!popups) {
        logWorkArea(0, QStringLiteral("notifyPopup : no popups registered, the corner button shows nothing"));
        return nullptr;
    }
    QObject *popup = popups->openPopup(window, rect);
    if (!popup)
        return nullptr;
    m_popupOf.insert(window, popup);
    connect(popup, &QObject::destroyed, this, &KZelvaWorkAreaManager::onPopupWidgetDestory);
    return popup;
}

void KZelvaWorkAreaManager::notifyPopoff(KZelvaMainWindow *window)
{
    if (!window)
        return;
    QObject *popup = m_popupOf.value(window);
    if (popup && m_popups.get())
        m_popups.get()->closePopup(popup);
}

void KZelvaWorkAreaManager::onPopupWidgetDestory(QObject *popup)
{
    // Forget the window's popup; beyond that this slot has no effect.
    for (auto it = m_popupOf.begin(); it != m_popupOf.end();) {
        if (!it.value() || it.value() == popup)
            it = m_popupOf.erase(it);
        else
            ++it;
    }
}

void KZelvaWorkAreaManager::addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (IKZelvaWorkAreaMenus *menus = m_menus.get())
        menus->addTabMenuWorkAreaAction(menu, tab, map);
}

void KZelvaWorkAreaManager::addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (IKZelvaWorkAreaMenus *menus = m_menus.get())
        menus->addTabMenuPostInfo(menu, tab, map);
}

// ---- queries ---------------------------------------------------------------------

int KZelvaWorkAreaManager::getAllRecoverFileCount(int *current)
{
    return m_recovery->recoverFileCount(current);
}

QStringList KZelvaWorkAreaManager::getAllRecoverFileList(int pageType)
{
    return m_recovery->recoverFileList(pageType);
}

KZelvaWorkAreaData KZelvaWorkAreaManager::getWorkAreaData(KZelvaMainWindow *window)
{
    KZelvaWorkAreas *areas = workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    return current ? current->data() : KZelvaWorkAreaData();
}

bool KZelvaWorkAreaManager::isDefaultWorkAreaWindow(KZelvaMainWindow *window)
{
    KZelvaWorkAreas *areas = workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    return current && current->data().isDefault
        && current->data().deviceType == KZelvaWorkAreaDefaultName::pcDeviceType();
}

void KZelvaWorkAreaManager::notifyUpdateWorkArea(KZelvaMainWindow *window, const QString &id)
{
    KZelvaWorkAreas *areas = workAreasOf(window);
    const QList<KZelvaWorkArea *> list = areas ? areas->workAreaList() : QList<KZelvaWorkArea *>();
    for (KZelvaWorkArea *workArea : list) {
        if (workArea->id() == id) {
            workArea->refreshCache();
            workArea->announceDirty();
        }
    }
}

bool KZelvaWorkAreaManager::checkSettingDataGroupId(const QString &group)
{
    return KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(group);
}

// ---- account, login guide and cross-device command lines --------------------------

void KZelvaWorkAreaManager::notifyCommandLineChanged()
{
    m_commandLines->commandLineChanged();
}

void KZelvaWorkAreaManager::notifyProcessStartupGuideLogin()
{
    m_commandLines->startupGuideLogin();
}

void KZelvaWorkAreaManager::onSdkUserInfoChange()
{
    m_commandLines->sdkUserInfoChanged();
}

void KZelvaWorkAreaManager::onMainWindowSplashFinished()
{
    m_commandLines->splashFinished();
}

SoftBus::Export::CobLifeState KZelvaWorkAreaManager::onCurrentDeviceOnlineChange(Error::Code error, bool online)
{
    return m_commandLines->deviceOnlineChanged(error, online);
}

void KZelvaWorkAreaManager::onSocketConnected()
{
    IKZelvaDeviceOnlineListener *listener = m_deviceOnline.get();
    if (!listener) {
        logWorkArea(0, QStringLiteral("onSocketConnected : no device-online listener registered, command lines "
                                      "wait for the device to be reported online"));
        return;
    }
    listener->listenCurrentDeviceOnlineChange(
        this, [this](Error::Code error, bool online) { return onCurrentDeviceOnlineChange(error, online); });
}

// ---- other invokables and slots ---------------------------------------------------

void KZelvaWorkAreaManager::notifySettingsFileOverSize(const QString &fileName)
{
    m_overSize = true;
    if (!fileName.isEmpty() && isResidualItemDeleteEnabled())
        getDcInfo()->postGeneralEvent(QStringLiteral("heels_residual_oversize"),
                                      {{QStringLiteral("fileName"), fileName}});
    writeLog(
        0, QStringLiteral("%1, fileName: %2 overlimit 2M").arg(QStringLiteral("notifySettingsFileOverSize"), fileName));
}

bool KZelvaWorkAreaManager::queryDocumentStatus(const QVariantMap &, QObject *, const QString &)
{
    return true;
}

bool KZelvaWorkAreaManager::relayDocumentStatus(const QString &, const QVariantMap &, QObject *, const QString &,
                                                const QJsonObject &)
{
    return true;
}

void KZelvaWorkAreaManager::onWorkAreaDoCloseFinished()
{
    if (auto *workArea = qobject_cast<KZelvaWorkArea *>(sender()))
        m_registry->removeWorkArea(workArea);
    savePass();
    if (IKZelvaWorkAreaPopups *popups = m_popups.get()) {
        for (const QPointer<QObject> &popup : qAsConst(m_popupOf)) {
            if (popup)
                popups->refreshPopup(popup);
        }
    }
    if (isTabManagerPanelEnabled() || !isCrossTerminalEntranceAvailable())
        return;
    if (IKZelvaCrossTerminalPanel *panel = m_panel.get())
        panel->refreshWorkareaData();
    else
        logWorkArea(0, QStringLiteral("onWorkAreaDoCloseFinished : no cross-terminal panel registered, "
                                      "nothing to refresh"));
}

void KZelvaWorkAreaManager::onUserSettingChanged()
{
}

void KZelvaWorkAreaManager::onSettingsVersionChanged()
{
    m_store->noteForeignSave();
    if (isIndependentMode())
        return;
    // Another process of the user saved the work areas: pick up new ones,
    // take the stored state of those not shown here, drop those closed there.
    const int before = m_registry->count();
    m_registry->loadStoredWorkAreas(true);
    logWorkArea(
        0, QStringLiteral("onSettingsVersionChanged : %1 work areas, %2 before").arg(m_registry->count()).arg(before));
}

void KZelvaWorkAreaManager::onWorkAreaDataChanged()
{
    auto *workArea = qobject_cast<KZelvaWorkArea *>(sender());
    if (!workArea)
        return;
    Q_EMIT sigWorkAreaDataChanged(workArea);
    if (KZelvaMainWindow *window = workArea->window())
        window->relativeWorkAreaDataChanged();
}

void KZelvaWorkAreaManager::onNotifyOpenCloudLocation(NotifyOpenCloudLocationActionArg) {}

#include "moc_kzelvaworkareamanager.cpp"
