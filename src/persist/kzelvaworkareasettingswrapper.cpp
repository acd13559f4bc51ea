// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareasettingswrapper.h"

#include "kzelvapersistconfig.h"
#include "kzelvaworkareahelper.h"
#include "ktoast.h"

#include <isyncsettingsdata.h>
#include <kaccountsdkproxy.h>
#include <kcloudsvrproxy.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>
#include <kzelvaapplication.h>
#include <kzelvahostutils.h>
#include <kzelvamainwindow.h>

#include <QDir>
#include <QFileInfo>

namespace {
constexpr char kWorkAreaAppId[] = "workarea";
constexpr char kActiveAppId[] = "active";
constexpr char kResidualAppId[] = "residual";
constexpr char kLocalUser[] = "local";

void logPersist(int level, const QString &message)
{
    writeModuleLog(KzLogModule::kWorkArea, level, message);
}
} // namespace

KZelvaWorkAreaSettingsWrapper::KZelvaWorkAreaSettingsWrapper(QObject *parent, KSyncSettingsManager *manager)
    : QObject(parent)
    , m_manager(manager)
    , m_explicitManager(manager != nullptr)
{
    m_userId = currentCloudUser();
    m_residualUserId = m_userId;
    if (KSyncSettingsManager *settings = settingsManager())
        connect(settings, &KSyncSettingsManager::saveFailed, this, &KZelvaWorkAreaSettingsWrapper::onSaveFailed);
}

void KZelvaWorkAreaSettingsWrapper::onSaveFailed(const QString &fileName, const QString &error)
{
    logPersist(2, QStringLiteral("work areas cannot be saved to %1: %2").arg(fileName, error));
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    if (m_saveFailureShown || !window)
        return;
    m_saveFailureShown = true;
    KToast::showToast(window,
                      tr("Work areas cannot be saved to %1 (%2). Changes are kept while the program runs.")
                          .arg(QDir::toNativeSeparators(QFileInfo(fileName).path()), error),
                      10000);
}

KZelvaWorkAreaSettingsWrapper::~KZelvaWorkAreaSettingsWrapper() = default;

KSyncSettingsManager *KZelvaWorkAreaSettingsWrapper::settingsManager() const
{
    return m_explicitManager ? m_manager.data() : KSyncSettingsManager::instance();
}

QString KZelvaWorkAreaSettingsWrapper::storageUser(const QString &userId)
{
    return userId.isEmpty() ? QLatin1String(kLocalUser) : userId;
}

QString KZelvaWorkAreaSettingsWrapper::currentCloudUser()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud)
        return QString();
    if (cloud->isConnected())
        return cloud->isLogined() ? cloud->userId() : QString();
    // Not connected yet (the start): the user this shell logs in as, so the
    // connection that follows does not look like a user switch.
    const QString configured = cloud->clientInfo().userId;
    return configured.isEmpty() ? app->property("zelvaUserId").toString() : configured;
}

QString KZelvaWorkAreaSettingsWrapper::userFor(bool useCurrentUser) const
{
    return storageUser(useCurrentUser ? m_userId : m_residualUserId);
}

void KZelvaWorkAreaSettingsWrapper::refreshUser()
{
    m_userId = currentCloudUser();
    openForCurrentUser();
}

void KZelvaWorkAreaSettingsWrapper::openForCurrentUser()
{
    KSyncSettingsManager *manager = settingsManager();
    if (!manager) {
        logPersist(2, QStringLiteral("openForCurrentUser : no settings manager"));
        return;
    }
    const QString user = storageUser(m_userId);
    m_active = manager->getUserSettings(user, QLatin1String(kActiveAppId), {});
    KSyncSettings *workArea = manager->getUserSettings(user, QLatin1String(kWorkAreaAppId), {});
    if (workArea != m_workArea) {
        m_workArea = workArea;
        m_workAreaGroup.reset();
        if (workArea) {
            workArea->setChangeCallback([this](int kind, int) {
                if (kind != KSyncSettings::VersionChanged)
                    return true;
                if (m_notificationHolds > 0)
                    m_versionChangedWhileHeld = true;
                else
                    Q_EMIT settingsVersionChanged();
                return true;
            });
            m_workAreaGroup = workArea->groupAccessor();
        }
    }
    m_group = workAreaGroupName();
}

QString KZelvaWorkAreaSettingsWrapper::workAreaGroupName()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (app && app->startupInfo()->isIndependentMode()) {
        const QString type = independentAppTypeToString(app->startupInfo()->independentAppType());
        if (!type.isEmpty())
            return type;
    }
    return QStringLiteral("IndependentDefault");
}

ISyncSettingsData *KZelvaWorkAreaSettingsWrapper::rewound(ISyncSettingsData *node)
{
    while (node && !node->groupPath().isEmpty())
        node->endGroup();
    return node;
}

KSyncSettings *KZelvaWorkAreaSettingsWrapper::activeSettings() const
{
    return m_active;
}

KSyncSettings *KZelvaWorkAreaSettingsWrapper::workAreaSettings() const
{
    return m_workArea;
}

ISyncSettingsData *KZelvaWorkAreaSettingsWrapper::workAreaRoot()
{
    if (!m_workArea)
        openForCurrentUser();
    if (!m_workAreaGroup)
        return nullptr;
    return rewound(m_workAreaGroup.data());
}

ISyncSettingsData *KZelvaWorkAreaSettingsWrapper::workAreaGroup()
{
    ISyncSettingsData *node = workAreaRoot();
    if (node)
        node->beginGroup(m_group);
    return node;
}

bool KZelvaWorkAreaSettingsWrapper::flushWorkArea()
{
    if (!m_workArea)
        return false;
    const KSyncSettings::Result result = m_workArea->flush();
    if (result != KSyncSettings::Ok)
        logPersist(1, QStringLiteral("flushWorkArea : %1").arg(m_workArea->lastError()));
    return result == KSyncSettings::Ok;
}

bool KZelvaWorkAreaSettingsWrapper::flushActive()
{
    return m_active && m_active->flush() == KSyncSettings::Ok;
}

QString KZelvaWorkAreaSettingsWrapper::initResidualSetting(const QString &key, bool useCurrentUser)
{
    KSyncSettingsManager *manager = settingsManager();
    if (!manager)
        return QString();
    const QString appId = key.isEmpty() ? QLatin1String(kResidualAppId) : key;
    const QString user = userFor(useCurrentUser);
    const QString settingsKey = manager->getSettingsKey(user, appId);
    if (settingsKey.isEmpty())
        return QString();
    if (m_residual.value(settingsKey))
        return settingsKey;
    const bool mmap = KZelvaPersistConfig::isResidualMMapEnabled();
    const QVariantMap options{{QStringLiteral("isUseMMap"), mmap},
                              {QStringLiteral("defaultMMapFileSize"), KZelvaPersistConfig::maxMMapFileSize()}};
    m_residual.insert(settingsKey, manager->getUserSettings(user, appId, options));
    writeLog(0, QStringLiteral("%1 settingsKey: %2 bUseMMap: %3...")
                    .arg(QStringLiteral("initResidualSetting"), settingsKey)
                    .arg(mmap));
    return settingsKey;
}

KSyncSettings *KZelvaWorkAreaSettingsWrapper::residualSettings(const QString &key, bool useCurrentUser)
{
    const QString settingsKey = initResidualSetting(key, useCurrentUser);
    return settingsKey.isEmpty() ? nullptr : m_residual.value(settingsKey).data();
}

void KZelvaWorkAreaSettingsWrapper::removeResidualSettings(bool useCurrentUser, const QString &key)
{
    KSyncSettingsManager *manager = settingsManager();
    if (!manager || key.isEmpty())
        return;
    const QString settingsKey = manager->getSettingsKey(userFor(useCurrentUser), key);
    m_residual.remove(settingsKey);
    writeLog(0, QStringLiteral("%1 settingsKey: %2 strResidualCfgFile: %3...")
                    .arg(QStringLiteral("removeResidualSettings"), settingsKey,
                         getResidualCfgFilePath(key, userFor(useCurrentUser))));
}

QString KZelvaWorkAreaSettingsWrapper::getResidualCfgFilePath(const QString &key, const QString &userId) const
{
    KSyncSettingsManager *manager = settingsManager();
    if (key.isEmpty() || !manager)
        return QString();
    return manager->getDefaultSyncCfgFilePath(userId.isEmpty() ? storageUser(m_residualUserId) : userId, key);
}

void KZelvaWorkAreaSettingsWrapper::syncFlushWindowResidualSettings()
{
    KSyncSettingsManager *manager = settingsManager();
    if (!manager)
        return;
    const QStringList appIds = QStringLiteral("residual;workarea;active").split(QLatin1Char(';'));
    const QList<KSyncSettings *> pending = manager->getPendingSettings();
    for (KSyncSettings *settings : pending) {
        if (!appIds.contains(settings->getSettingAppId()))
            continue;
        const int result = settings->flush();
        writeLog(0, QStringLiteral("%1, appId: %2 call settings sync, nRet: %3")
                        .arg(QStringLiteral("syncFlushWindowResidualSettings"), settings->getSettingAppId())
                        .arg(result));
    }
}

void KZelvaWorkAreaSettingsWrapper::pull()
{
    if (!m_workArea)
        openForCurrentUser();
    if (m_workArea)
        m_workArea->reload();
}

void KZelvaWorkAreaSettingsWrapper::push()
{
    if (!m_workArea)
        openForCurrentUser();
    flushWorkArea();
}

void KZelvaWorkAreaSettingsWrapper::resolveUseMe()
{
    // Keeping the local version means writing it over what is stored.
    push();
}

void KZelvaWorkAreaSettingsWrapper::onUserChanged()
{
    if (currentCloudUser() != m_userId)
        Q_EMIT settingsAboutChange();
}

void KZelvaWorkAreaSettingsWrapper::releaseNotifications()
{
    if (m_notificationHolds <= 0 || --m_notificationHolds > 0 || !m_versionChangedWhileHeld)
        return;
    m_versionChangedWhileHeld = false;
    Q_EMIT settingsVersionChanged();
}

void KZelvaWorkAreaSettingsWrapper::onLoginStatusChanged()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app || !KZelvaPersistConfig::isTabManagerPanelEnabled())
        return;
    kacctoutsdk::KAccountSdkProxy *account = app->getAccountSDK();
    if (!account)
        return;
    if (account->isSwitching() && !account->isLogined())
        return;
    if (account->isLogined()) {
        if (account->userId() == m_residualUserId)
            return;
        m_residualUserId = account->userId();
    } else {
        if (account->isSwitching() || m_residualUserId.isEmpty())
            return;
        m_residualUserId.clear();
    }
    initResidualSetting(QString(), false);
    writeLog(0, QStringLiteral("%1 residualUserId: %2 accountSwitched...")
                    .arg(QStringLiteral("onLoginStatusChanged"), m_residualUserId));
}
