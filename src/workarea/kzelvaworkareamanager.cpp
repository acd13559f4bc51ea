// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareamanager.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareaability.h"
#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareaserializer.h"
#include "kzelvaworkareashellhooks.h"
#include "kzelvapersistconfig.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaresidualrules.h"
#include "kzelvaworkareasettingschangedhandler.h"
#include "kzelvaworkareasettingswrapper.h"
#include "kworkarealabelsync.h"
#include "kzelvaatomixbubblemgr.h"
#include "callbacktothreadof.h"
#include "kcommunicatorproxy.h"

#include <isyncsettingsdata.h>
#include <kaccountsdkproxy.h>
#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <kfuncswitch.h>
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <kpluginmanager.h>
#include <kxloggerlite.h>
#include <kzelvabackupmgr.h>
#include <kzelvacentralarea.h>
#include <kzelvahostutils.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>
#include <kzelvaclosehandler.h>
#include <kzelvamainwindow.h>
#include <kzelvamenu.h>
#include <kzelvamulticontrolbool.h>
#include <kzelvaqozsubpage.h>
#include <kzelvaskin.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <perfproxy.h>

#include <cirra/cirra_types.h>

#include <QDateTime>
#include <QFileInfo>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>

namespace {

constexpr char kPluginGroup[] = "kzelvaworkarea";
constexpr char kTranslation[] = "kzelvaworkarea";
constexpr char kWorkAreasProperty[] = "WorkAreasPointer";
constexpr char kLastActiveKey[] = "lastActiveWorkAreaId";
constexpr char kAccountSwitch[] = "kzelvaworkarea_switch";
constexpr int kCrashRecoverWindowSecs = 600;
constexpr int kNoRecoverAppModeBit = 8;
constexpr char kResidualIdProperty[] = "residualUuid";
constexpr char kResidualRecordsName[] = "__KZelvaResidualRecords__";

// The recoverable-document counters live for the whole process.
int g_recoverTotal = 0;
int g_recoverCurrent = 0;

// Set while a manager exists; the destructor clears it.
KZelvaWorkAreaManager *g_instance = nullptr;

void logWorkArea(int level, const QString &message)
{
    writeModuleLog(KzLogModule::kWorkArea, level, message);
}

} // namespace

Q_DECLARE_METATYPE(QPointer<KZelvaWorkAreas>)

KZelvaWorkAreaManager::KZelvaWorkAreaManager(QObject *parent)
    : QObject(parent)
    , m_workAreaSettings(std::make_unique<KSyncSettingsData>())
{
    g_instance = this;
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(1);
}

KZelvaWorkAreaManager::~KZelvaWorkAreaManager()
{
    // Work areas go first: their items call back into the manager while
    // they are destroyed.
    const auto workAreas = m_workAreas;
    for (const QPointer<KZelvaWorkArea> &workArea : workAreas)
        delete workArea.data();
    if (g_instance == this)
        g_instance = nullptr;
}

KZelvaWorkAreaManager *KZelvaWorkAreaManager::instance()
{
    return g_instance;
}

void KZelvaWorkAreaManager::setShellHooks(KZelvaWorkAreaShellHooks *hooks)
{
    m_hooks.reset(hooks);
}

QObject *KZelvaWorkAreaManager::popupOf(const KZelvaMainWindow *window) const
{
    return m_popups.value(window);
}

// ---- initialisation and teardown -------------------------------------------

void KZelvaWorkAreaManager::ensureInitialised()
{
    if (m_state != State::Created)
        return;
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("WorkAreaInit"));

    readSaveActivedWorkArea();
    qRegisterMetaType<QPointer<KZelvaWorkAreas>>("QPointer<KZelvaWorkAreas>");

    createSettings();
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app) {
        connect(app, &KZelvaApplication::currentMainWindowChanged, this,
                &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
        kacctoutsdk::KAccountSdkProxy *account = app->getAccountSDK();
        if (account && account->isEnable(QLatin1String(kAccountSwitch)))
            connect(account, &kacctoutsdk::KAccountSdkProxy::userInfoChanged, this,
                    &KZelvaWorkAreaManager::onSdkUserInfoChange);
        if (KCloudSvrProxy *cloud = app->cloudSvrProxy()) {
            connect(cloud, &KCloudSvrProxy::socketConnected, this, &KZelvaWorkAreaManager::onSocketConnected);
            connect(cloud, &KCloudSvrProxy::loginStatusChanged, m_settingsWrapper,
                    &KZelvaWorkAreaSettingsWrapper::onUserChanged);
        }
    }
    if (m_hooks) {
        m_menuActionManager = m_hooks->createMenuActionManager(this);
        // The cross-terminal panel shows its own previews when it is there.
        if (!krt::KPluginsSettings::boolValue(QLatin1String(kPluginGroup),
                                              QStringLiteral("crossTerminalEntranceVisible"), true)
            || !krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal")))
            m_thumbnailManager = m_hooks->createThumbnailManager(this);
    }
    if (krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal")))
        m_labelSync = new KWorkAreaLabelSync(this); // listens to the service's broadcasts from now on
    if (!m_translationInstalled) {
        // No catalogue ships yet; the texts show in their source form.
        m_translationInstalled = true;
        logWorkArea(0, QStringLiteral("ensureInitialised : translation \"%1\" installed")
                           .arg(QLatin1String(kTranslation)));
    }
    auto *operations = new KZelvaWorkAreaOperations(this);
    KPluginManager::instance()->registerPluginInstanceObject(QStringLiteral("__KZelvaWorkAreaOperations__"),
                                                             operations);
    m_state = State::Initialised;
    if (perf)
        PerfProxy::endStub(QStringLiteral("WorkAreaInit"));

    startStep();
    sendStartRequest();
}

void KZelvaWorkAreaManager::createSettings()
{
    m_settingsWrapper = new KZelvaWorkAreaSettingsWrapper(this);
    m_settingsWrapper->openForCurrentUser();
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        if (kacctoutsdk::KAccountSdkProxy *account = app->getAccountSDK()) {
            for (auto signal : {&kacctoutsdk::KAccountSdkProxy::currentAccountChanged,
                                &kacctoutsdk::KAccountSdkProxy::userInfoChanged,
                                &kacctoutsdk::KAccountSdkProxy::accountInfoReady})
                connect(account, signal, m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::onLoginStatusChanged);
        }
    }
    KZelvaWorkAreaSettingsChangedHandler::Steps steps;
    steps.saveAllWindows = [this] { savePass(); };
    steps.createCloseHandler = [this](KZelvaMainWindow *window) {
        return m_hooks ? m_hooks->createMainWindowCloseHandler(window) : nullptr;
    };
    steps.clearWindows = [this] { clearWindowWorkAreas(); };
    steps.lastActiveWorkAreaId = [this] { return lastActiveWorkAreaId(); };
    steps.restore = [this](KZelvaMainWindow *window, const QString &id) { addWindow(window, id, false); };
    m_settingsHandler = new KZelvaWorkAreaSettingsChangedHandler(m_settingsWrapper, std::move(steps), this);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsVersionChanged, this,
            &KZelvaWorkAreaManager::onSettingsVersionChanged);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsAboutChange, m_settingsHandler,
            &KZelvaWorkAreaSettingsChangedHandler::onSettingsAboutChanged);
    connect(m_settingsWrapper, &KZelvaWorkAreaSettingsWrapper::settingsChanged, m_settingsHandler,
            &KZelvaWorkAreaSettingsChangedHandler::onSettingsChangeded);
    residualRecords();
}

void KZelvaWorkAreaManager::clearWindowWorkAreas()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    const QList<KZelvaMainWindow *> windows = app ? app->mainWindows() : QList<KZelvaMainWindow *>();
    for (KZelvaMainWindow *window : windows) {
        if (KZelvaWorkAreas *areas = workAreasOf(window))
            areas->deleteLater();
        window->setProperty(kWorkAreasProperty, QVariant::fromValue(QPointer<KZelvaWorkAreas>()));
    }
    const auto workAreas = m_workAreas;
    m_workAreas.clear();
    for (const QPointer<KZelvaWorkArea> &workArea : workAreas)
        delete workArea.data();
    m_storedLastVisible.clear();
    m_removedIds.clear();
}

bool KZelvaWorkAreaManager::isSettingsChangeRunning() const
{
    return m_settingsHandler && m_settingsHandler->isRunning();
}

bool KZelvaWorkAreaManager::isTabManagerPanelEnabled() const
{
    return KZelvaPersistConfig::isTabManagerPanelEnabled();
}

bool KZelvaWorkAreaManager::isResidualSettingSaveEnabled() const
{
    return KZelvaPersistConfig::residualSettingSaveEnabled();
}

bool KZelvaWorkAreaManager::isResidualItemDeleteEnabled() const
{
    return KZelvaPersistConfig::residualItemDeleteEnabled();
}

KZelvaResidualRecords *KZelvaWorkAreaManager::residualRecords()
{
    if (!m_residualRecords) {
        if (!m_settingsWrapper)
            m_settingsWrapper = new KZelvaWorkAreaSettingsWrapper(this);
        m_residualRecords = new KZelvaResidualRecords(m_settingsWrapper, this);
        KPluginManager::instance()->registerPluginInstanceObject(QLatin1String(kResidualRecordsName),
                                                                 m_residualRecords);
        // Record files no list refers to any more (windows trimmed away, a
        // save cut short) go in the background.
        if (isResidualSettingSaveEnabled())
            m_residualRecords->cleanInvalidWindowResidualCfgFile(
                m_residualRecords->windowResidualIds() << KZelvaResidualRecords::DefaultId, 0);
    }
    return m_residualRecords;
}

void KZelvaWorkAreaManager::startStep()
{
    isAutoRecoverDefaultWorkArea();
    KZelvaAtoMixBubbleMgr::instance();
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
        logWorkArea(0, QStringLiteral("teardown : translation \"%1\" removed").arg(QLatin1String(kTranslation)));
    }
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        if (KZelvaSkin *skin = app->zelvaSkin())
            skin->removeSubPackage(QLatin1String(kPluginGroup));
        disconnect(app, &KZelvaApplication::currentMainWindowChanged, this,
                   &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
    }
    savePass();
    if (isResidualSettingSaveEnabled() && m_residualRecords) {
        m_residualRecords->syncFlushWindowResidualSettings();
        m_residualRecords->waitForTasks();
    }
    if (m_labelSync)
        m_labelSync->stopListening();
    m_state = State::TornDown;
}

void KZelvaWorkAreaManager::savePass()
{
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (workArea && (!workArea->isMarkedClosed() || workArea->data().forceSave))
            workArea->save();
    }
    if (ISyncSettingsData *node = workAreaSettings(); node && !m_removedIds.isEmpty()) {
        node->removeGroups(m_removedIds);
        m_removedIds.clear();
    }
    flushWorkAreaSettings();
}

void KZelvaWorkAreaManager::notBuiltYet(const char *method) const
{
    logWorkArea(0, QStringLiteral("%1 : hands over to a part that is not built yet").arg(QLatin1String(method)));
}

// ---- settings ---------------------------------------------------------------

bool KZelvaWorkAreaManager::readSaveActivedWorkArea()
{
    m_saveActivedWorkArea = krt::KPluginsSettings::boolValue(
        QLatin1String(kPluginGroup), QStringLiteral("saveActivedWorkArea"), true);
    return m_saveActivedWorkArea;
}

bool KZelvaWorkAreaManager::isIndependentMode() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->startupInfo()->isIndependentMode();
}

ISyncSettingsData *KZelvaWorkAreaManager::workAreaSettings()
{
    if (m_settingsWrapper) {
        if (ISyncSettingsData *node = m_settingsWrapper->workAreaGroup())
            return node;
    }
    // Without the settings service the work areas live in memory, laid out
    // as they would be stored.
    ISyncSettingsData *node = KZelvaWorkAreaSettingsWrapper::rewound(m_workAreaSettings.get());
    node->beginGroup(KZelvaWorkAreaSettingsWrapper::workAreaGroupName());
    return node;
}

ISyncSettingsData *KZelvaWorkAreaManager::workAreaSettingsRoot()
{
    ISyncSettingsData *node = m_settingsWrapper ? m_settingsWrapper->workAreaRoot() : nullptr;
    return node ? node : KZelvaWorkAreaSettingsWrapper::rewound(m_workAreaSettings.get());
}

void KZelvaWorkAreaManager::flushWorkAreaSettings()
{
    if (m_settingsWrapper)
        m_settingsWrapper->flushWorkArea();
}

QString KZelvaWorkAreaManager::lastActiveWorkAreaId()
{
    ISyncSettingsData *node = workAreaSettingsRoot();
    return node->value(QLatin1String(kLastActiveKey));
}

bool KZelvaWorkAreaManager::isAutoRecoverDefaultWorkArea()
{
    m_autoRecoverDefaultWorkArea = krt::KCommonSettings::value(QStringLiteral("Application Settings"),
                                                               QStringLiteral("autorecoverpage"), false)
                                       .toBool();
    return m_autoRecoverDefaultWorkArea;
}

void KZelvaWorkAreaManager::setAutoRecoverDefaultWorkArea(bool on)
{
    if (m_autoRecoverDefaultWorkArea == on)
        return;
    m_autoRecoverDefaultWorkArea = on;
    krt::KCommonSettings::setValue(QStringLiteral("Application Settings"), QStringLiteral("autorecoverpage"), on);
}

// ---- work areas ---------------------------------------------------------------

KZelvaWorkAreas *KZelvaWorkAreaManager::workAreasOf(const KZelvaMainWindow *window) const
{
    if (!window)
        return nullptr;
    return window->property(kWorkAreasProperty).value<QPointer<KZelvaWorkAreas>>();
}

KZelvaWorkAreas *KZelvaWorkAreaManager::createWorkAreasFor(KZelvaMainWindow *window)
{
    if (!window)
        return nullptr;
    if (KZelvaWorkAreas *existing = workAreasOf(window))
        return existing;
    auto *areas = new KZelvaWorkAreas(window, this);
    window->setProperty(kWorkAreasProperty, QVariant::fromValue(QPointer<KZelvaWorkAreas>(areas)));
    return areas;
}

KZelvaWorkArea *KZelvaWorkAreaManager::createWorkArea(bool isDefault)
{
    auto *workArea = new KZelvaWorkArea(this);
    const bool numbered = KZelvaWorkAreaDefaultName::isCrossTerminalAvailable(
        krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal")),
        krt::KPluginsSettings::boolValue(QLatin1String(kPluginGroup),
                                         QStringLiteral("crossTerminalEntranceVisible"), true));
    KZelvaWorkAreaData data = KZelvaWorkAreaDefaultName::newRecord(isDefault, numbered);
    // An id is the second and this process's counter: another process of the
    // user may have stored the same one already; take the next free one.
    const QStringList stored = workAreaSettings()->childGroups();
    while (m_workAreas.contains(data.id) || stored.contains(data.id))
        data.id = KZelvaWorkAreaIdGenerator::newId();
    data.deviceName = QHostInfo::localHostName();
    // New work areas go to the end of the order.
    for (const QPointer<KZelvaWorkArea> &other : qAsConst(m_workAreas)) {
        if (other)
            data.posIndex = qMax(data.posIndex, other->data().posIndex + 1);
    }
    workArea->setData(data);
    if (!isDefault && !workArea->data().isNewCreate) {
        KZelvaWorkAreaData marked = workArea->data();
        marked.isNewCreate = true;
        workArea->setData(marked);
    }
    workArea->setReady(true);
    if (!isDefault)
        workArea->announceDirty();
    m_workAreas.insert(workArea->id(), workArea);
    m_removedIds.removeAll(workArea->id());
    connect(workArea, &KZelvaWorkArea::dataChanged, this, &KZelvaWorkAreaManager::onWorkAreaDataChanged);
    return workArea;
}

void KZelvaWorkAreaManager::removeWorkArea(KZelvaWorkArea *workArea)
{
    if (!workArea)
        return;
    const bool dropped = m_workAreas.remove(workArea->id()) > 0;
    if (dropped && !workArea->data().forceSave && !m_removedIds.contains(workArea->id()))
        m_removedIds.append(workArea->id());
    if (KZelvaWorkAreas *owner = workArea->owner())
        owner->removeWorkArea(workArea);
    delete workArea;
}

KZelvaWorkArea *KZelvaWorkAreaManager::workArea(const QString &id) const
{
    return m_workAreas.value(id);
}

QList<KZelvaWorkArea *> KZelvaWorkAreaManager::workAreas() const
{
    QList<KZelvaWorkArea *> result;
    for (const QPointer<KZelvaWorkArea> &workArea : m_workAreas) {
        if (workArea)
            result.append(workArea);
    }
    std::sort(result.begin(), result.end(), [](KZelvaWorkArea *a, KZelvaWorkArea *b) {
        if (a->data().posIndex != b->data().posIndex)
            return a->data().posIndex < b->data().posIndex;
        if (a->data().createDateTime != b->data().createDateTime)
            return a->data().createDateTime < b->data().createDateTime;
        return a->id() < b->id();
    });
    return result;
}

KZelvaWorkArea *KZelvaWorkAreaManager::defaultWorkArea() const
{
    const QString pc = KZelvaWorkAreaDefaultName::pcDeviceType();
    const QList<KZelvaWorkArea *> all = workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->isMarkedClosed() && workArea->data().isDefault && workArea->data().deviceType == pc)
            return workArea;
    }
    return nullptr;
}

KZelvaWorkArea *KZelvaWorkAreaManager::workAreaOfPage(const KZelvaSubPage *page) const
{
    if (!page || page->getWorkAreaItemId().isEmpty())
        return nullptr;
    for (const QPointer<KZelvaWorkArea> &workArea : m_workAreas) {
        if (workArea && workArea->findItem(page->getWorkAreaItemId()))
            return workArea;
    }
    return nullptr;
}

void KZelvaWorkAreaManager::loadStoredWorkAreas(bool refreshKnown)
{
    ISyncSettingsData *node = workAreaSettings();
    const QStringList groups = node->childGroups();
    if (refreshKnown) {
        for (KZelvaWorkArea *workArea : workAreas()) {
            if (groups.contains(workArea->id()) || !takesStoredState(workArea))
                continue;
            // Closed by another process, and not shown here: it goes here too.
            m_workAreas.remove(workArea->id());
            workArea->deleteLater();
        }
    }
    for (const QString &group : groups) {
        if (m_removedIds.contains(group) || !checkSettingDataGroupId(group))
            continue;
        KZelvaWorkArea *known = m_workAreas.value(group);
        if (known && !(refreshKnown && takesStoredState(known)))
            continue;
        node->beginGroup(group);
        KZelvaWorkAreaData data;
        KZelvaWorkAreaSerializer::UnSerialize(node, &data);
        data.id = group;
        m_storedLastVisible.insert(group, node->value(QStringLiteral("lastVisible")) == QLatin1String("1"));
        if (known) {
            known->takeStored(data, node);
            node->endGroup();
            continue;
        }
        auto *workArea = new KZelvaWorkArea(this);
        workArea->setData(data);
        workArea->readItems(node);
        node->endGroup();
        workArea->setReady(true);
        m_workAreas.insert(group, workArea);
        connect(workArea, &KZelvaWorkArea::dataChanged, this, &KZelvaWorkAreaManager::onWorkAreaDataChanged);
    }
}

bool KZelvaWorkAreaManager::takesStoredState(const KZelvaWorkArea *workArea)
{
    // Its next save merges the live state back into what is stored.
    return !workArea->window() && !workArea->owner() && !workArea->isResidual() && !workArea->isMarkedClosed()
        && !workArea->hasPendingSave();
}

bool KZelvaWorkAreaManager::addWindow(KZelvaMainWindow *window, const QString &id, bool recover)
{
    if (!window)
        return false;
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("WorkAreaMWAdd"));
    loadStoredWorkAreas();
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaBackupMgr *backup = app ? app->getBackupMgr() : nullptr;
    const bool crashed = backup && backup->hasCrash();
    KZelvaWorkAreas *areas = createWorkAreasFor(window);

    KZelvaWorkArea *target = id.isEmpty() ? nullptr : workArea(id);
    bool given = false;
    if (!target) {
        target = defaultWorkArea();
        if (!target) {
            if (perf)
                PerfProxy::mark(QStringLiteral("WorkAreaMWAddCreate"));
            target = createWorkArea(true);
        }
        if (target->ability()->isActivationEnabled()) {
            areas->addWorkArea(target);
            given = areas->setCurrentWorkArea(target, true, true);
        }
    } else if (target->ability()->isActivationEnabled()) {
        if (recover && !m_autoRecoverDefaultWorkArea && target->mode() == 0)
            target->setMode(1);
        areas->addWorkArea(target);
        if (m_saveActivedWorkArea) {
            // The window brings its closed tabs back into view: one entry per document.
            KZelvaResidualRecords *records = residualRecords();
            records->tryRemoveResidualCfgDuplicateData(KZelvaResidualRecords::DefaultId);
            if (target->isResidual() && !target->residualId().isEmpty())
                records->tryRemoveResidualCfgDuplicateData(target->residualId());
        }
        given = areas->setCurrentWorkArea(target, true, true);
        KZelvaWorkArea *deviceDefault = defaultWorkArea();
        if (deviceDefault && deviceDefault != target)
            deviceDefault->setProperty("otherWorkAreaShown", true);
    }
    Q_UNUSED(crashed)
    if (perf)
        PerfProxy::endStub(QStringLiteral("WorkAreaMWAdd"));
    return given;
}

// ---- windows ----------------------------------------------------------------

void KZelvaWorkAreaManager::notifyMainWindowAdd(KZelvaMainWindow *window)
{
    if (!window || window->isSpecialHeaderBar())
        return;
    ensureInitialised();
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->mainWindows().size() == 1 && app->mainWindows().first() == window) {
        addFirstWindow(window);
        connectThumbnails(window);
        return;
    }
    KZelvaWorkAreas *areas = createWorkAreasFor(window);
    if (m_createWorkAreaForNewWindow) {
        KZelvaWorkArea *workArea = createWorkArea(false);
        areas->addWorkArea(workArea);
        areas->setCurrentWorkArea(workArea, false, true);
    }
    connectThumbnails(window);
}

void KZelvaWorkAreaManager::connectThumbnails(KZelvaMainWindow *window)
{
    if (!m_thumbnailManager || !window)
        return;
    connect(window->tabBar(), SIGNAL(tabBeforeActive(KZelvaTab*)), m_thumbnailManager.data(),
            SLOT(onTabBeforeActive(KZelvaTab*)), Qt::UniqueConnection);
}

void KZelvaWorkAreaManager::addFirstWindow(KZelvaMainWindow *window)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaBackupMgr *backup = app->getBackupMgr();
    KZelvaStartup *startup = app->startupInfo();
    const bool crashed = backup && backup->hasCrash();
    const bool beforeUpdate = backup && backup->isNeedRecoverFileBeforUpdate();

    if (backup && backup->recoverCount() > 0) {
        recoverCrashedWorkAreas(window);
        return;
    }
    if (beforeUpdate) {
        createWorkAreasFor(window);
        KZelvaWorkArea *deviceDefault = defaultWorkArea();
        if (!deviceDefault)
            deviceDefault = createWorkArea(true);
        const QStringList files = backup->getLastOpenFilesBeforUpdate();
        for (const QString &file : files) {
            KZelvaWorkAreaRecoverItem record;
            record.id = KZelvaWorkAreaIdGenerator::newId();
            record.title = QFileInfo(file).completeBaseName();
            record.filePath = file;
            record.pageType = KZelvaPluginWidget::QozDocument;
            auto *item = new KZelvaWorkAreaItem(this);
            item->setRecord(record);
            deviceDefault->addItem(item);
        }
        addWindow(window, QString(), false);
        return;
    }
    const bool noRecoverBit = (startup->appMode() & kNoRecoverAppModeBit) == 0;
    const bool useDefault = noRecoverBit && ((m_autoRecoverDefaultWorkArea && !isIndependentMode()) || crashed);
    addWindow(window, useDefault ? QString() : lastActiveWorkAreaId(), false);
}

void KZelvaWorkAreaManager::recoverCrashedWorkAreas(KZelvaMainWindow *window)
{
    PerfProxy::mark(QStringLiteral("WorkAreaMWAddCrashRecover"));
    loadStoredWorkAreas();
    KZelvaApplication *app = KZelvaApplication::instance();
    const qint64 crashedPid = app->getBackupMgr()->recoverPid();
    const quint32 now = quint32(QDateTime::currentSecsSinceEpoch());
    const QString lastActive = lastActiveWorkAreaId();
    QList<KZelvaWorkArea *> candidates;
    const QList<KZelvaWorkArea *> all = workAreas();
    for (KZelvaWorkArea *workArea : all) {
        const KZelvaWorkAreaData &data = workArea->data();
        if (m_storedLastVisible.value(workArea->id()) && data.lastPid == QString::number(crashedPid)
            && data.lastRunDateTime + kCrashRecoverWindowSecs > now)
            candidates.append(workArea);
    }
    bool placed = false;
    for (KZelvaWorkArea *candidate : qAsConst(candidates)) {
        if (candidate->id() == lastActive && !placed) {
            placed = addWindow(window, candidate->id(), true);
            continue;
        }
        KZelvaMainWindow *other = app->createMainWindow(false);
        addWindow(other, candidate->id(), true);
        other->showToFront(true, true, false);
    }
    if (!placed)
        addWindow(window, candidates.isEmpty() ? lastActive : QString(), true);
}

bool KZelvaWorkAreaManager::notifyMainWindowRecover(KZelvaMainWindow *window)
{
    if (!window || window->isSpecialHeaderBar())
        return false;
    ensureInitialised();
    const QString id = lastActiveWorkAreaId();
    if (id.isEmpty())
        return true;
    return addWindow(window, id, true);
}

void KZelvaWorkAreaManager::storeLastActive(KZelvaMainWindow *window)
{
    KZelvaWorkAreas *areas = workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    if (!current)
        return;
    ISyncSettingsData *node = workAreaSettingsRoot();
    if (node->value(QLatin1String(kLastActiveKey)) != current->id()) {
        node->setValue(QLatin1String(kLastActiveKey), current->id());
        flushWorkAreaSettings();
    }
    if (m_saveActivedWorkArea && m_settingsWrapper && m_settingsWrapper->activeSettings()) {
        ISyncSettingsData *active = KZelvaWorkAreaSettingsWrapper::rewound(m_settingsWrapper->activeSettings()->data());
        if (active->value(QLatin1String(kLastActiveKey)) != current->id()) {
            active->setValue(QLatin1String(kLastActiveKey), current->id());
            m_settingsWrapper->flushActive();
        }
    }
}

void KZelvaWorkAreaManager::onCurrentMainWindowChanged(KZelvaMainWindow *window)
{
    if (m_suppressCurrentWindowChange)
        return;
    if (!window && KZelvaApplication::instance())
        window = KZelvaApplication::instance()->currentMainWindow();
    storeLastActive(window);
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutQueryClose(KZelvaMainWindow *window)
{
    if (!window || !isInitialised())
        return;
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->mainWindows().size() == 1)
        storeLastActive(window);
    // The window's record is built from what its tabs show now, hidden work
    // areas included; its fixed items are already kept by the residual records.
    if (KZelvaWorkAreas *areas = workAreasOf(window)) {
        const QList<KZelvaWorkArea *> list = areas->workAreaList();
        for (KZelvaWorkArea *workArea : list) {
            const QList<KZelvaWorkAreaItem *> items = workArea->items();
            for (KZelvaWorkAreaItem *item : items)
                item->refresh();
        }
    }
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutToClose(KZelvaMainWindow *window)
{
    if (!isInitialised() || !window)
        return;
    KZelvaWorkAreas *areas = workAreasOf(window);
    int windowResidualCnt = 0;
    KZelvaResidualRecords *records = residualRecords();
    const QString residualId = window->property(kResidualIdProperty).toString();
    if (!residualId.isEmpty()) {
        QVector<KZelvaWorkAreaRecoverItem> items;
        if (records->readRecord(residualId, nullptr, &items))
            windowResidualCnt = items.size();
    }
    // Over-size: the records of every window are trimmed once more.
    if (m_overSize && krt::KPluginsSettings::boolValue(QLatin1String(kPluginGroup), QStringLiteral("checkoversize"), true)) {
        m_overSize = false;
        records->removeInvalidResidualItems(KZelvaResidualRecords::DefaultId);
        const QStringList ids = records->windowResidualIds();
        for (const QString &id : ids)
            records->removeInvalidResidualItems(id);
    }
    records->forgetWindow(window);
    if (areas) {
        const QList<KZelvaWorkArea *> list = areas->workAreaList();
        for (KZelvaWorkArea *workArea : list) {
            workArea->refreshCache();
            workArea->save();
            // Written as they are: the pages now going with the window must not
            // take the items out of the work area.
            const QList<KZelvaWorkAreaItem *> items = workArea->items();
            for (KZelvaWorkAreaItem *item : items)
                item->attach(nullptr);
            areas->removeWorkArea(workArea);
            // A window closed while others stay open takes its work areas
            // with it; the last window leaves them for the next start.
            if (KZelvaApplication::instance() && KZelvaApplication::instance()->mainWindows().size() > 1
                && !KZelvaApplication::instance()->isQuitting()) {
                m_workAreas.remove(workArea->id());
                workArea->deleteLater();
            }
        }
        areas->deleteLater();
    }
    savePass();
    KxLoggerLite::info(QLatin1String(kPluginGroup), QStringLiteral("%1, windowResidualCnt: %2")
                                                        .arg(QStringLiteral("notifyOnMainWindowAboutToClose"))
                                                        .arg(windowResidualCnt));
    window->setProperty(kWorkAreasProperty, QVariant::fromValue(QPointer<KZelvaWorkAreas>()));
}

void KZelvaWorkAreaManager::notifyOnCrash()
{
    m_crashMode = true;
    if (!isInitialised())
        return;
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (workArea)
            workArea->refreshCache();
    }
    savePass();
    if (isResidualSettingSaveEnabled())
        residualRecords()->syncFlushWindowResidualSettings();
}

QObject *KZelvaWorkAreaManager::notifyPopup(KZelvaMainWindow *window, QRect rect)
{
    getDcInfo()->postGeneralEvent(QStringLiteral("ui_right_corner_workspace_click"));
    if (!isInitialised() || !window)
        return nullptr;
    const auto popups = m_popups;
    for (const QPointer<QObject> &popup : popups) {
        if (popup && m_hooks)
            m_hooks->closePopup(popup);
    }
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (workArea && !workArea->isMarkedClosed())
            workArea->refreshCache();
    }
    if (m_thumbnailManager && window->centralArea()->currentSubPage())
        QMetaObject::invokeMethod(m_thumbnailManager, "updateCurrentSubPage", Qt::DirectConnection,
                                  Q_ARG(KZelvaMainWindow *, window));
    QObject *popup = m_hooks ? m_hooks->createPopup(window, rect) : nullptr;
    if (!popup) {
        notBuiltYet("notifyPopup: work-area popup");
        return nullptr;
    }
    m_popups.insert(window, popup);
    connect(popup, &QObject::destroyed, this, &KZelvaWorkAreaManager::onPopupWidgetDestory);
    if (m_thumbnailManager) {
        connect(m_thumbnailManager.data(), SIGNAL(restoreFinished()), popup, SLOT(onThumbnailChanged()));
        connect(m_thumbnailManager.data(), SIGNAL(updateFinished()), popup, SLOT(onThumbnailChanged()));
    }
    connect(this, SIGNAL(sigWorkAreaDataChanged(KZelvaWorkArea*)), popup, SLOT(onWorkAreaDataChanged(KZelvaWorkArea*)));
    return popup;
}

void KZelvaWorkAreaManager::notifyPopoff(KZelvaMainWindow *window)
{
    if (!window)
        return;
    QObject *popup = m_popups.value(window);
    if (popup && m_hooks)
        m_hooks->closePopup(popup);
}

KZelvaCloseHandler *KZelvaWorkAreaManager::createMainWindowCloseHandler(KZelvaMainWindow *window)
{
    KZelvaCloseHandler *handler = m_hooks ? m_hooks->createMainWindowCloseHandler(window) : nullptr;
    if (!handler)
        notBuiltYet("createMainWindowCloseHandler");
    return handler;
}

void KZelvaWorkAreaManager::notifySubPageAboutActive(KZelvaSubPage *page)
{
    const QString module = QStringLiteral("KZelvaWorkAreaManager::notifySubPageAboutActive");
    KZelvaMainWindow *window = findRelativeZelvaMainWindow(page);
    if (!window) {
        KxLoggerLite::info(module, QStringLiteral("subPageRleativeMainWindow empty"));
        return;
    }
    KZelvaWorkAreas *areas = workAreasOf(window);
    if (!areas) {
        KxLoggerLite::info(module, QStringLiteral("workAreas empty"));
        KxLoggerLite::info(module, QStringLiteral("setCurrentWorkArea not triggered when workAreas empty"));
        return;
    }
    KZelvaWorkArea *workArea = workAreaOfPage(page);
    if (!workArea)
        return;
    if (!areas->contains(workArea))
        areas->addWorkArea(workArea);
    if (workArea->ability()->isActivationEnabled())
        areas->setCurrentWorkArea(workArea, false, true);
}

void KZelvaWorkAreaManager::addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (m_hooks)
        m_hooks->addTabMenuWorkAreaAction(menu, tab, map);
}

void KZelvaWorkAreaManager::addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (m_hooks)
        m_hooks->addTabMenuPostInfo(menu, tab, map);
}

// ---- recoverable documents ------------------------------------------------------

bool KZelvaWorkAreaManager::decideRecoveryId()
{
    if (!m_recoveryId.isEmpty())
        return true;
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return false;
    const bool noRecoverBit = (app->startupInfo()->appMode() & kNoRecoverAppModeBit) == 0;
    const bool crashed = app->getBackupMgr() && app->getBackupMgr()->hasCrash();
    if (noRecoverBit && (crashed || (isAutoRecoverDefaultWorkArea() && !isIndependentMode())))
        m_recoveryId = lastActiveWorkAreaId();
    return !m_recoveryId.isEmpty();
}

int KZelvaWorkAreaManager::getAllRecoverFileCount(int *current)
{
    if (g_recoverTotal > 0 || !decideRecoveryId()) {
        if (current)
            *current = g_recoverCurrent;
        return g_recoverTotal;
    }
    ensureInitialised();
    loadStoredWorkAreas();
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (!workArea)
            continue;
        workArea->fillDocumentCopies();
        const auto copies = workArea->documentCopies();
        for (KZelvaWorkAreaItem *copy : copies) {
            const KZelvaWorkAreaRecoverItem &record = copy->record();
            const int type = record.pageType;
            if ((type == 3 || type == 4 || type == 5 || type == 17)
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

QStringList KZelvaWorkAreaManager::getAllRecoverFileList(int pageType)
{
    ensureInitialised();
    loadStoredWorkAreas();
    QStringList result;
    const QList<KZelvaWorkArea *> all = workAreas();
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

// ---- queries ---------------------------------------------------------------------

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

void KZelvaWorkAreaManager::notifyNewDefaultWorkAreaWindow(bool)
{
    if (!isInitialised())
        return;
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return;
    KZelvaWorkArea *deviceDefault = defaultWorkArea();
    if (!deviceDefault)
        deviceDefault = createWorkArea(true);
    KZelvaMainWindow *window = app->createMainWindow(false);
    KZelvaWorkAreas *areas = createWorkAreasFor(window);
    const bool shownElsewhere = deviceDefault->owner() && deviceDefault->window()
        && deviceDefault->window() != window;
    if (!shownElsewhere) {
        areas->addWorkArea(deviceDefault);
        areas->setCurrentWorkArea(deviceDefault, false, true);
    } else {
        addWindow(window, lastActiveWorkAreaId(), false);
    }
    window->showToFront(true, true, false);
}

void KZelvaWorkAreaManager::notifyUpdateWorkArea(KZelvaMainWindow *window, const QString &id)
{
    KZelvaWorkAreas *areas = workAreasOf(window);
    if (!areas)
        return;
    const QList<KZelvaWorkArea *> list = areas->workAreaList();
    for (KZelvaWorkArea *workArea : list) {
        if (workArea->id() == id) {
            workArea->refreshCache();
            workArea->announceDirty();
        }
    }
}

void KZelvaWorkAreaManager::notifyReCreateWorkArea(KZelvaMainWindow *window)
{
    if (!window)
        return;
    ensureInitialised();
    KZelvaWorkAreas *areas = createWorkAreasFor(window);
    const QString id = lastActiveWorkAreaId();
    if (id.isEmpty()) {
        KZelvaWorkArea *deviceDefault = defaultWorkArea();
        if (!deviceDefault)
            deviceDefault = createWorkArea(true);
        areas->addWorkArea(deviceDefault);
        areas->setCurrentWorkArea(deviceDefault, false, true);
        return;
    }
    addWindow(window, id, false);
}

bool KZelvaWorkAreaManager::checkSettingDataGroupId(const QString &group)
{
    return KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(group);
}

// ---- items kept by the manager -------------------------------------------------

void KZelvaWorkAreaManager::keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item)
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
        KZelvaWorkAreas *areas = workAreasOf(origin.window);
        // A tab is closed from the work area the window shows.
        if (KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr)
            origin.workAreaId = current->id();
        origin.closeMode = page->closeMode();
        m_removedOrigins.append(origin);
    }
    // A removed item that nobody takes back is gone with the next event loop turn.
    item->deleteLater();
}

void KZelvaWorkAreaManager::keepLockedItem(const QString &id, KZelvaWorkAreaItem *item)
{
    if (!id.isEmpty() && item)
        m_lockedItems.insert(id, item);
}

void KZelvaWorkAreaManager::dropLockedItem(const QString &id)
{
    m_lockedItems.remove(id);
}

KZelvaWorkAreaItem *KZelvaWorkAreaManager::lockedItem(const QString &id) const
{
    return m_lockedItems.value(id);
}

void KZelvaWorkAreaManager::offerResidualItem(KZelvaWorkAreaItem *item)
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
    if (!found || item->workArea() || !origin.window || origin.window->isClosing() || !isInitialised())
        return;
    const KZelvaWorkAreaRecoverItem &record = item->record();
    if (record.id.isEmpty() || item->isWaitingForPage() || KZelvaWorkArea::isExcludedPageType(record.pageType))
        return;
    const QString residualId = origin.window->property(kResidualIdProperty).toString();
    KZelvaResidualRecords *records = residualRecords();
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

bool KZelvaWorkAreaManager::rejoinStoredItem(KZelvaMainWindow *window, const QString &itemId)
{
    KZelvaSubPage *page = nullptr;
    const QList<KZelvaSubPage *> pages = window->centralArea()->subPages();
    for (KZelvaSubPage *candidate : pages) {
        if (candidate->getWorkAreaItemId() == itemId)
            page = candidate;
    }
    KZelvaWorkArea *joined = workAreaOfPage(page);
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
    KZelvaWorkAreas *areas = workAreasOf(window);
    const QList<KZelvaWorkArea *> own = areas ? areas->workAreaList() : QList<KZelvaWorkArea *>();
    for (KZelvaWorkArea *workArea : own) {
        if (!candidates.contains(workArea))
            candidates.append(workArea);
    }
    const QList<KZelvaWorkArea *> all = workAreas();
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

void KZelvaWorkAreaManager::removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id)
{
    if (!window || id.isEmpty())
        return;
    // The page is back in a work area: it is no residual entry of its window.
    if (m_residualRecords)
        m_residualRecords->removeFromWindowList(window, id);
    rejoinStoredItem(window, id);
}

void KZelvaWorkAreaManager::keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page)
{
    if (!window || !page || !isInitialised())
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
    KZelvaWorkAreas *areas = workAreasOf(window);
    KZelvaWorkArea *current = areas ? areas->currentWorkArea() : nullptr;
    const QString relative = current ? current->id() : QString();
    KZelvaResidualRecords *records = residualRecords();
    KZelvaWorkAreaRecoverItem fixed = record;
    KZelvaResidualRecords::stampClosed(&fixed, relative, QDateTime::currentMSecsSinceEpoch());
    records->addWindowFixedItem(window, fixed);
    records->addWorkAreaFixedResidualItem(window->property(kResidualIdProperty).toString(), record, relative,
                                          closeMode);
}

// ---- account, login guide and cross-device command lines --------------------------

bool KZelvaWorkAreaManager::isAccountLoggedIn() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->getAccountSDK() && app->getAccountSDK()->isLogined();
}

QString KZelvaWorkAreaManager::loggedInUserId() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->getAccountSDK() ? app->getAccountSDK()->userId() : QString();
}

void KZelvaWorkAreaManager::handleGuideLogin()
{
    const QString name = QStringLiteral("handleGuideLogin");
    writeLog(0, QStringLiteral("%1: begin").arg(name));
    KZelvaApplication *app = KZelvaApplication::instance();
    kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr;
    if (!account)
        return;
    m_pendingConfirmId = account->generateConfirmId();
    account->login({{QStringLiteral("src"), QStringLiteral("kzelvaworkarea_switch")},
                    {QStringLiteral("confirmId"), m_pendingConfirmId},
                    {QStringLiteral("bizSrc"), QStringLiteral("pc_account_loginhonor")}});
}

void KZelvaWorkAreaManager::notifyProcessStartupGuideLogin()
{
    writeLog(0, QStringLiteral("%1: begin").arg(QStringLiteral("notifyProcessStartupGuideLogin")));
    handleGuideLogin();
}

void KZelvaWorkAreaManager::onSdkUserInfoChange()
{
    m_loginConfirmed = false;
    KZelvaApplication *app = KZelvaApplication::instance();
    kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr;
    if (!account || m_pendingConfirmId.isEmpty())
        return;
    if (account->value(QStringLiteral("login.params.confirmId")).toString() == m_pendingConfirmId) {
        m_loginConfirmed = true;
        account->confirmLoginSuccess(m_pendingConfirmId);
    }
    m_pendingConfirmId.clear();
}

void KZelvaWorkAreaManager::notifyCommandLineChanged()
{
    const QString name = QStringLiteral("notifyCommandLineChanged");
    writeLog(0, QStringLiteral("%1: begin").arg(name));
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app || !app->getAccountSDK())
        return;
    if (!isAccountLoggedIn()) {
        m_pendingGuideLogin = !m_deviceOnline;
        handleGuideLogin();
        return;
    }
    if (m_deviceOnline) {
        handleCommandLine(app->startupInfo()->commandLine());
        return;
    }
    writeLog(0, QStringLiteral("%1: softbusHandleCommandLine = true").arg(name));
    m_pendingCommandLine = true;
    SoftBus::Business::KCommunicatorProxy::instance()->isDeviceOnline(SoftBus::Business::callbackToThreadOf(
        this, [this](int code, bool online) { onCurrentDeviceOnlineChange(code, online); }));
}

SoftBus::Export::CobLifeState KZelvaWorkAreaManager::onCurrentDeviceOnlineChange(Error::Code error, bool online)
{
    const QString name = QStringLiteral("onCurrentDeviceOnlineChange");
    m_deviceOnline = online;
    writeLog(0, QStringLiteral("%1: error:%2 online:%3 softbusGuideLogin:%4, softbusHandleCommandLine:%5")
                    .arg(name)
                    .arg(error)
                    .arg(online)
                    .arg(m_pendingGuideLogin)
                    .arg(m_pendingCommandLine));
    if (!online)
        return SoftBus::Export::Alive;
    if (m_pendingGuideLogin) {
        m_pendingGuideLogin = false;
        handleGuideLogin();
    }
    if (m_pendingCommandLine) {
        m_pendingCommandLine = false;
        writeLog(0, QStringLiteral("%1: softbusHandleCommandLine begin").arg(name));
        writeLog(0, QStringLiteral("%1: handleCommandLine begin").arg(name));
        if (KZelvaApplication *app = KZelvaApplication::instance())
            handleCommandLine(app->startupInfo()->commandLine());
    }
    return SoftBus::Export::Alive;
}

void KZelvaWorkAreaManager::handleCommandLine(const QString &commandLine)
{
    const QString name = QStringLiteral("handleCommandLine");
    if (commandLine.isEmpty())
        return;
    writeLog(0, QStringLiteral("%1: cmd:%2").arg(name, commandLine));
    const QStringList fields = commandLine.split(QLatin1Char('&'));
    if (fields.size() > 3 && !fields.at(3).isEmpty()) {
        if (fields.at(3) == m_previousCommandToken) {
            writeLog(0, QStringLiteral("%1: prev command line same").arg(name));
            return;
        }
        m_previousCommandToken = fields.at(3);
    }
    const QString action = fields.value(1);
    const QString payload = fields.value(2);
    if (action == QLatin1String("show_crossterminal_other_device")) {
        KZelvaApplication *app = KZelvaApplication::instance();
        QObject *panel = KPluginManager::instance()->pluginInstanceObject(
            QStringLiteral("__KZelvaCrossTerminalPanelManager__"));
        KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
        if (!panel || !window || !window->tabBar())
            return;
        if (!payload.isEmpty() && payload == loggedInUserId()) {
            getDcInfo()->postGeneralEvent(QStringLiteral("honorhandoff"));
            QWidget *target = window->tabBar();
            const QRect rect(target->mapToGlobal(QPoint(0, 0)), target->size());
            QMetaObject::invokeMethod(panel, "popupCrossTerminalPanel", Qt::DirectConnection, Q_ARG(QWidget *, target),
                                      Q_ARG(QRect, rect), Q_ARG(QString, QStringLiteral("honorhandoff")),
                                      Q_ARG(QVariantMap, QVariantMap()));
        } else {
            showRelayFailBox();
        }
    } else if (action == QLatin1String("relay_file")) {
        const QByteArray json = QByteArray::fromBase64(payload.toLatin1());
        QJsonParseError error;
        const QJsonObject record = QJsonDocument::fromJson(json, &error).object();
        const auto field = [&record](const char *key) { return record.value(QLatin1String(key)).toString(); };
        writeLog(0, QStringLiteral("%1: userId:%2 deviceId:%3 uuid:%4 fileId:%5 fileType:%6 fileName:%7")
                        .arg(name, field("userId"), field("deviceId"), field("uuid"), field("fileId"),
                             field("fileType"), field("fileName")));
        if (error.error != QJsonParseError::NoError || record.isEmpty()) {
            writeLog(1, QStringLiteral("%1: relay_file payload is not a JSON object").arg(name));
            return;
        }
        if (!field("userId").isEmpty() && field("userId") == loggedInUserId()) {
            // Source "dazed_relay": the label sync service looks the device up when it is not cached.
            writeLog(0, QStringLiteral("%1: relay source:dazed_relay").arg(name));
            if (m_labelSync)
                m_labelSync->relayDeviceTag(field("deviceId"), field("uuid"), field("fileId"), field("fileType"),
                                            field("fileName"));
        } else {
            showRelayFailBox();
        }
    }
}

void KZelvaWorkAreaManager::showRelayFailBox()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    writeLog(2, QStringLiteral("showRelayFailBox : accounts differ, relay refused"));
    if (!app || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QMessageBox box(QMessageBox::Warning, tr("document relay fail"),
                    tr("QOZ accounts logged in on the two devices are inconsistent,and the document cannot be continued"),
                    QMessageBox::NoButton, app->currentMainWindow());
    box.addButton(tr("ok"), QMessageBox::AcceptRole);
    box.exec();
}

void KZelvaWorkAreaManager::onMainWindowSplashFinished()
{
    const QString name = QStringLiteral("onMainWindowSplashFinished");
    writeLog(0, QStringLiteral("%1: begin").arg(name));
    KZelvaApplication *app = KZelvaApplication::instance();
    const QString action = app ? app->startupInfo()->getSoftbusAction() : QString();
    if (action.startsWith(QLatin1String("labelsync")))
        handleCommandLine(action);
}

void KZelvaWorkAreaManager::onSocketConnected()
{
    // SoftBus: the device-online listener (once per manager), then one query, so that a pending command line
    // runs on this connection's answer instead of waiting for another device's status notice.
    SoftBus::Business::KCommunicatorProxy *softbus = SoftBus::Business::KCommunicatorProxy::instance();
    const auto onOnline = [this](int code, bool online) { return onCurrentDeviceOnlineChange(code, online); };
    if (!m_softbusOnlineListening)
        m_softbusOnlineListening =
            softbus->listenCurrentDeviceOnlineChange(SoftBus::Business::callbackToThreadOf(this, onOnline)) == 0;
    softbus->isDeviceOnline(
        SoftBus::Business::callbackToThreadOf(this, [onOnline](int code, bool online) { onOnline(code, online); }));
}

// ---- other invokables and slots ---------------------------------------------------

void KZelvaWorkAreaManager::notifySettingsFileOverSize(const QString &fileName)
{
    m_overSize = true;
    if (!fileName.isEmpty() && isResidualItemDeleteEnabled())
        getDcInfo()->postGeneralEvent(QStringLiteral("heels_residual_oversize"),
                                      {{QStringLiteral("fileName"), fileName}});
    writeLog(0, QStringLiteral("%1, fileName: %2 overlimit 2M")
                    .arg(QStringLiteral("notifySettingsFileOverSize"), fileName));
}

bool KZelvaWorkAreaManager::queryDocumentStatus(const QVariantMap &, QObject *, const QString &)
{
    return true;
}

bool KZelvaWorkAreaManager::relayDocumentStatus(const QString &, const QVariantMap &, QObject *,
                                                const QString &, const QJsonObject &)
{
    return true;
}

void KZelvaWorkAreaManager::onWorkAreaDoCloseFinished()
{
    auto *workArea = qobject_cast<KZelvaWorkArea *>(sender());
    if (workArea)
        removeWorkArea(workArea);
    savePass();
    for (const QPointer<QObject> &popup : qAsConst(m_popups)) {
        if (popup && m_hooks)
            m_hooks->refreshPopup(popup);
    }
    if (!isTabManagerPanelEnabled() && krt::product::isFeatureSupported(QStringLiteral("ZelvaWorkAreaCrossTerminal"))) {
        if (QObject *panel = KPluginManager::instance()->pluginInstanceObject(
                QStringLiteral("__KZelvaCrossTerminalPanelManager__")))
            QMetaObject::invokeMethod(panel, "refreshWorkareaData", Qt::DirectConnection);
    }
}

void KZelvaWorkAreaManager::onPopupWidgetDestory(QObject *popup)
{
    // Forget the window's popup; beyond that this slot has no effect.
    for (auto it = m_popups.begin(); it != m_popups.end();) {
        if (!it.value() || it.value() == popup)
            it = m_popups.erase(it);
        else
            ++it;
    }
}

void KZelvaWorkAreaManager::onUserSettingChanged()
{
}

void KZelvaWorkAreaManager::onSettingsVersionChanged()
{
    if (isIndependentMode())
        return;
    // Another process of the user saved the work areas: pick up new ones,
    // take the stored state of those not shown here, drop those closed there.
    const int before = m_workAreas.size();
    loadStoredWorkAreas(true);
    logWorkArea(0, QStringLiteral("onSettingsVersionChanged : %1 work areas, %2 before")
                       .arg(m_workAreas.size())
                       .arg(before));
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

void KZelvaWorkAreaManager::onNotifyActionsMapDefault(const QMap<QString, QString> &)
{
}

void KZelvaWorkAreaManager::onNotifyOpenCloudLocation(NotifyOpenCloudLocationActionArg)
{
}

#include "moc_kzelvaworkareamanager.cpp"
