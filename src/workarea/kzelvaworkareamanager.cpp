// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareamanager.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaidgenerator.h"

#include <kcloudsvrproxy.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>
#include <kzelvaclosehandler.h>
#include <kzelvamainwindow.h>
#include <kzelvamenu.h>
#include <kzelvaskin.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <perfproxy.h>

#include <cirra/cirra_types.h>

#include <QPointer>

namespace {

constexpr char kPluginGroup[] = "kzelvaworkarea";
constexpr char kTranslation[] = "kzelvaworkarea";

// Set while a manager exists; the destructor clears it.
KZelvaWorkAreaManager *g_instance = nullptr;

void logWorkArea(int level, const QString &message)
{
    writeModuleLog(KzLogModule::kWorkArea, level, message);
}

} // namespace

KZelvaWorkAreaManager::KZelvaWorkAreaManager(QObject *parent)
    : QObject(parent)
{
    g_instance = this;
}

KZelvaWorkAreaManager::~KZelvaWorkAreaManager()
{
    if (g_instance == this)
        g_instance = nullptr;
}

KZelvaWorkAreaManager *KZelvaWorkAreaManager::instance()
{
    return g_instance;
}

void KZelvaWorkAreaManager::ensureInitialised()
{
    if (m_state != State::Created)
        return;
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("WorkAreaInit"));

    m_saveActivedWorkArea = krt::KPluginsSettings::boolValue(
        QLatin1String(kPluginGroup), QStringLiteral("saveActivedWorkArea"), true);

    KZelvaApplication *app = KZelvaApplication::instance();
    if (app) {
        connect(app, &KZelvaApplication::currentMainWindowChanged, this,
                &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
        if (KCloudSvrProxy *cloud = app->cloudSvrProxy())
            connect(cloud, &KCloudSvrProxy::socketConnected, this,
                    &KZelvaWorkAreaManager::onSocketConnected);
    }
    // Settings wrapper and its change handler, menus, thumbnails, the account
    // connection and the label-sync listening join here as they are built.
    logWorkArea(0, QStringLiteral("ensureInitialised : settings, menus, thumbnails, account and "
                                  "label sync are not built yet"));

    if (!m_translationInstalled) {
        // No translation catalogue ships yet; the texts are their own source.
        m_translationInstalled = true;
        logWorkArea(0, QStringLiteral("ensureInitialised : translation \"%1\" installed")
                           .arg(QLatin1String(kTranslation)));
    }
    m_state = State::Initialised;
    if (perf)
        PerfProxy::endStub(QStringLiteral("WorkAreaInit"));

    sendStartRequest();
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
        logWorkArea(0, QStringLiteral("teardown : translation \"%1\" removed")
                           .arg(QLatin1String(kTranslation)));
    }
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        if (KZelvaSkin *skin = app->zelvaSkin())
            skin->removeSubPackage(QLatin1String(kPluginGroup));
        disconnect(app, &KZelvaApplication::currentMainWindowChanged, this,
                   &KZelvaWorkAreaManager::onCurrentMainWindowChanged);
    }
    // The save pass over all work areas, the residual records and stopping
    // the label-sync listening join here as they are built.
    m_state = State::TornDown;
}

void KZelvaWorkAreaManager::notBuiltYet(const char *method) const
{
    logWorkArea(2, QStringLiteral("%1 : not built yet").arg(QLatin1String(method)));
}

bool KZelvaWorkAreaManager::isAutoRecoverDefaultWorkArea()
{
    m_autoRecoverDefaultWorkArea =
        krt::KCommonSettings::value(QStringLiteral("Application Settings"),
                                    QStringLiteral("autorecoverpage"), false)
            .toBool();
    return m_autoRecoverDefaultWorkArea;
}

void KZelvaWorkAreaManager::setAutoRecoverDefaultWorkArea(bool on)
{
    if (m_autoRecoverDefaultWorkArea == on)
        return;
    m_autoRecoverDefaultWorkArea = on;
    krt::KCommonSettings::setValue(QStringLiteral("Application Settings"),
                                   QStringLiteral("autorecoverpage"), on);
}

void KZelvaWorkAreaManager::notifyMainWindowAdd(KZelvaMainWindow *window)
{
    if (!window)
        return;
    ensureInitialised();
    notBuiltYet("notifyMainWindowAdd");
}

bool KZelvaWorkAreaManager::notifyMainWindowRecover(KZelvaMainWindow *window)
{
    if (!window)
        return false;
    ensureInitialised();
    notBuiltYet("notifyMainWindowRecover");
    return false;
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutQueryClose(KZelvaMainWindow *)
{
    notBuiltYet("notifyOnMainWindowAboutQueryClose");
}

void KZelvaWorkAreaManager::notifyOnMainWindowAboutToClose(KZelvaMainWindow *)
{
    if (!isInitialised())
        return;
    notBuiltYet("notifyOnMainWindowAboutToClose");
}

void KZelvaWorkAreaManager::notifyOnCrash()
{
    m_crashMode = true;
    notBuiltYet("notifyOnCrash");
}

QObject *KZelvaWorkAreaManager::notifyPopup(KZelvaMainWindow *, QRect)
{
    notBuiltYet("notifyPopup");
    return nullptr;
}

void KZelvaWorkAreaManager::notifyPopoff(KZelvaMainWindow *)
{
    notBuiltYet("notifyPopoff");
}

KZelvaCloseHandler *KZelvaWorkAreaManager::createMainWindowCloseHandler(KZelvaMainWindow *)
{
    notBuiltYet("createMainWindowCloseHandler");
    return nullptr;
}

void KZelvaWorkAreaManager::notifySubPageAboutActive(KZelvaSubPage *)
{
    notBuiltYet("notifySubPageAboutActive");
}

void KZelvaWorkAreaManager::addTabMenuWorkAreaAction(KZelvaMenu *, KZelvaTab *, const QVariantMap &)
{
    notBuiltYet("addTabMenuWorkAreaAction");
}

int KZelvaWorkAreaManager::getAllRecoverFileCount(int *current)
{
    ensureInitialised();
    notBuiltYet("getAllRecoverFileCount");
    if (current)
        *current = 0;
    return 0;
}

QStringList KZelvaWorkAreaManager::getAllRecoverFileList(int)
{
    ensureInitialised();
    notBuiltYet("getAllRecoverFileList");
    return QStringList();
}

KZelvaWorkAreaData KZelvaWorkAreaManager::getWorkAreaData(KZelvaMainWindow *)
{
    notBuiltYet("getWorkAreaData");
    return KZelvaWorkAreaData();
}

bool KZelvaWorkAreaManager::isDefaultWorkAreaWindow(KZelvaMainWindow *)
{
    notBuiltYet("isDefaultWorkAreaWindow");
    return false;
}

void KZelvaWorkAreaManager::notifyNewDefaultWorkAreaWindow(bool)
{
    if (!isInitialised())
        return;
    notBuiltYet("notifyNewDefaultWorkAreaWindow");
}

void KZelvaWorkAreaManager::notifyUpdateWorkArea(KZelvaMainWindow *, const QString &)
{
    notBuiltYet("notifyUpdateWorkArea");
}

void KZelvaWorkAreaManager::notifyReCreateWorkArea(KZelvaMainWindow *)
{
    notBuiltYet("notifyReCreateWorkArea");
}

bool KZelvaWorkAreaManager::checkSettingDataGroupId(const QString &group)
{
    return KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(group);
}

void KZelvaWorkAreaManager::notifyCommandLineChanged()
{
    notBuiltYet("notifyCommandLineChanged");
}

void KZelvaWorkAreaManager::notifyProcessStartupGuideLogin()
{
    notBuiltYet("notifyProcessStartupGuideLogin");
}

void KZelvaWorkAreaManager::notifySettingsFileOverSize(const QString &)
{
    notBuiltYet("notifySettingsFileOverSize");
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

void KZelvaWorkAreaManager::addTabMenuPostInfo(KZelvaMenu *, KZelvaTab *, const QVariantMap &)
{
    notBuiltYet("addTabMenuPostInfo");
}

void KZelvaWorkAreaManager::onWorkAreaDoCloseFinished()
{
    notBuiltYet("onWorkAreaDoCloseFinished");
}

SoftBus::Export::CobLifeState KZelvaWorkAreaManager::onCurrentDeviceOnlineChange(Error::Code, bool)
{
    notBuiltYet("onCurrentDeviceOnlineChange");
    return SoftBus::Export::Alive;
}

void KZelvaWorkAreaManager::onPopupWidgetDestory(QObject *)
{
}

void KZelvaWorkAreaManager::onUserSettingChanged()
{
}

void KZelvaWorkAreaManager::onSettingsVersionChanged()
{
    notBuiltYet("onSettingsVersionChanged");
}

void KZelvaWorkAreaManager::onCurrentMainWindowChanged(KZelvaMainWindow *)
{
    if (m_suppressCurrentWindowChange)
        return;
    notBuiltYet("onCurrentMainWindowChanged");
}

void KZelvaWorkAreaManager::onWorkAreaDataChanged()
{
    notBuiltYet("onWorkAreaDataChanged");
}

void KZelvaWorkAreaManager::onSdkUserInfoChange()
{
    notBuiltYet("onSdkUserInfoChange");
}

void KZelvaWorkAreaManager::onMainWindowSplashFinished()
{
    notBuiltYet("onMainWindowSplashFinished");
}

void KZelvaWorkAreaManager::onSocketConnected()
{
    notBuiltYet("onSocketConnected");
}

void KZelvaWorkAreaManager::onNotifyActionsMapDefault(const QMap<QString, QString> &)
{
}

void KZelvaWorkAreaManager::onNotifyOpenCloudLocation(NotifyOpenCloudLocationActionArg)
{
}

#include "moc_kzelvaworkareamanager.cpp"
