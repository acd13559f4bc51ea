// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <kzelvaworkareadata.h>

#include <QHash>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class ISyncSettingsData;
class KSyncSettingsData;
class KWorkAreaLabelSync;
class KZelvaWorkAreaSettingsChangedHandler;
class KZelvaWorkAreaSettingsWrapper;
class KZelvaCloseHandler;
class KZelvaResidualRecords;
class KZelvaMainWindow;
class KZelvaMenu;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWorkArea;
class KZelvaWorkAreaItem;
class KZelvaWorkAreas;
class KZelvaWorkAreaShellHooks;
namespace qoz { namespace cirra { class NotifyOpenCloudLocationActionArg; } }
using NotifyOpenCloudLocationActionArg = qoz::cirra::NotifyOpenCloudLocationActionArg;

/*
 * The one process-wide object the host drives the plug-in through.
 *
 * Created by CreateManagerImpl with the application as parent and published
 * as the application property "__KZelvaWorkAreaManager__"; the host calls the
 * invokable methods below by name. The constructor only sets defaults: the
 * first notification that needs the model initialises it (once), and
 * DeleteManagerImpl tears it down before deleting it. GUI thread only.
 */
class KZelvaWorkAreaManager : public QObject
{
    Q_OBJECT
public:
    enum class State { Created, Initialised, TornDown };
    Q_ENUM(State)

    explicit KZelvaWorkAreaManager(QObject *parent = nullptr);
    ~KZelvaWorkAreaManager() override;

    // The live manager, or null before CreateManagerImpl and after deletion.
    static KZelvaWorkAreaManager *instance();

    State state() const { return m_state; }
    bool isInitialised() const { return m_state == State::Initialised; }
    // Installs the window and tab integration; the manager takes ownership.
    void setShellHooks(KZelvaWorkAreaShellHooks *hooks);
    KZelvaWorkAreaShellHooks *shellHooks() const { return m_hooks.get(); }
    QObject *menuActionManager() const { return m_menuActionManager; }
    QObject *thumbnailManager() const { return m_thumbnailManager; }
    QObject *popupOf(const KZelvaMainWindow *window) const;

    // Runs the lazy initialisation once; later calls do nothing.
    void ensureInitialised();
    // Runs the teardown when initialised; DeleteManagerImpl calls it.
    void teardown();

    int crossTerminalLoadTimeout() const { return m_crossTerminalLoadTimeout; }

    // The model's view of the manager (used by work areas and items).
    bool isCrashMode() const { return m_crashMode; }
    bool isIndependentMode() const;
    bool autoRecoverDefaultWorkAreaFlag() const { return m_autoRecoverDefaultWorkArea; }
    bool readSaveActivedWorkArea();
    bool isSettingsChangeRunning() const;
    bool isTabManagerPanelEnabled() const;
    bool isResidualSettingSaveEnabled() const;
    bool isResidualItemDeleteEnabled() const;
    bool isOverSize() const { return m_overSize; }
    KZelvaWorkAreaSettingsWrapper *settingsWrapper() const { return m_settingsWrapper; }
    // The residual records of closed windows (created on first use).
    KZelvaResidualRecords *residualRecords();
    // Settings node the work areas are written below (the "workarea" record,
    // inside the independent group in independent mode), or null.
    ISyncSettingsData *workAreaSettings();
    void flushWorkAreaSettings();
    QString lastActiveWorkAreaId();

    KZelvaWorkAreas *workAreasOf(const KZelvaMainWindow *window) const;
    KZelvaWorkAreas *createWorkAreasFor(KZelvaMainWindow *window);
    KZelvaWorkArea *createWorkArea(bool isDefault);
    void removeWorkArea(KZelvaWorkArea *workArea);
    KZelvaWorkArea *workArea(const QString &id) const;
    QList<KZelvaWorkArea *> workAreas() const;
    KZelvaWorkArea *defaultWorkArea() const;
    // The work area holding the item of `page`, or null.
    KZelvaWorkArea *workAreaOfPage(const KZelvaSubPage *page) const;
    // Creates the stored work areas this process does not have; with
    // `refreshKnown`, known ones not shown here take their stored state and
    // go when no longer stored.
    void loadStoredWorkAreas(bool refreshKnown = false);
    // Gives `window` the work area `id` (empty: the device's default one).
    bool addWindow(KZelvaMainWindow *window, const QString &id, bool recover);
    // Writes every work area that is not closed (or must be saved) and
    // forgets the stored groups of removed work areas.
    void savePass();

    void keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item);
    void keepLockedItem(const QString &id, KZelvaWorkAreaItem *item);
    void dropLockedItem(const QString &id);
    KZelvaWorkAreaItem *lockedItem(const QString &id) const;
    // Hand-overs to the residual records of closed windows.
    void offerResidualItem(KZelvaWorkAreaItem *item);
    void removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id);
    void keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page);

    // Splits and carries out one cross-device command line.
    void handleCommandLine(const QString &commandLine);
    QString pendingConfirmId() const { return m_pendingConfirmId; }
    bool isLoginConfirmed() const { return m_loginConfirmed; }

    Q_INVOKABLE bool isAutoRecoverDefaultWorkArea();
    Q_INVOKABLE void setAutoRecoverDefaultWorkArea(bool on);
    Q_INVOKABLE void notifyMainWindowAdd(KZelvaMainWindow *window);
    Q_INVOKABLE bool notifyMainWindowRecover(KZelvaMainWindow *window);
    Q_INVOKABLE void notifyOnMainWindowAboutQueryClose(KZelvaMainWindow *window);
    Q_INVOKABLE void notifyOnMainWindowAboutToClose(KZelvaMainWindow *window);
    Q_INVOKABLE void notifyOnCrash();
    Q_INVOKABLE QObject *notifyPopup(KZelvaMainWindow *window, QRect rect);
    Q_INVOKABLE void notifyPopoff(KZelvaMainWindow *window);
    Q_INVOKABLE KZelvaCloseHandler *createMainWindowCloseHandler(KZelvaMainWindow *window);
    Q_INVOKABLE void notifySubPageAboutActive(KZelvaSubPage *page);
    Q_INVOKABLE void addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab,
                                              const QVariantMap &map = QVariantMap());
    Q_INVOKABLE int getAllRecoverFileCount(int *current);
    Q_INVOKABLE QStringList getAllRecoverFileList(int pageType);
    Q_INVOKABLE KZelvaWorkAreaData getWorkAreaData(KZelvaMainWindow *window);
    Q_INVOKABLE bool isDefaultWorkAreaWindow(KZelvaMainWindow *window);
    Q_INVOKABLE void notifyNewDefaultWorkAreaWindow(bool flag);
    Q_INVOKABLE void notifyUpdateWorkArea(KZelvaMainWindow *window, const QString &id);
    Q_INVOKABLE void notifyReCreateWorkArea(KZelvaMainWindow *window);
    Q_INVOKABLE bool checkSettingDataGroupId(const QString &group);
    Q_INVOKABLE void notifyCommandLineChanged();
    Q_INVOKABLE void notifyProcessStartupGuideLogin();
    Q_INVOKABLE void notifySettingsFileOverSize(const QString &key = QString());
    Q_INVOKABLE bool queryDocumentStatus(const QVariantMap &args, QObject *receiver,
                                         const QString &slot);
    Q_INVOKABLE bool relayDocumentStatus(const QString &id, const QVariantMap &args,
                                         QObject *receiver, const QString &slot,
                                         const QJsonObject &extra);
    Q_INVOKABLE void addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab,
                                        const QVariantMap &map = QVariantMap());

Q_SIGNALS:
    void sigWorkAreaDataChanged(KZelvaWorkArea *workArea);
    void sigFileLabelMessageNotice(const QString &message);

public Q_SLOTS:
    void onWorkAreaDoCloseFinished();
    SoftBus::Export::CobLifeState onCurrentDeviceOnlineChange(Error::Code error, bool online);

private Q_SLOTS:
    void onPopupWidgetDestory(QObject *popup);
    void onUserSettingChanged();
    void onSettingsVersionChanged();
    void onCurrentMainWindowChanged(KZelvaMainWindow *window);
    void onWorkAreaDataChanged();
    void onSdkUserInfoChange();
    void onMainWindowSplashFinished();
    void onSocketConnected();
    void onNotifyActionsMapDefault(const QMap<QString, QString> &actions);
    void onNotifyOpenCloudLocation(NotifyOpenCloudLocationActionArg arg);

private:
    // The "workarea" record (or its in-memory stand-in) at its root.
    ISyncSettingsData *workAreaSettingsRoot();
    // False for a work area shown here or with changes of its own to write.
    static bool takesStoredState(const KZelvaWorkArea *workArea);
    void notBuiltYet(const char *method) const;
    void sendStartRequest();
    void startStep();
    void handleGuideLogin();
    void showRelayFailBox();
    void addFirstWindow(KZelvaMainWindow *window);
    void connectThumbnails(KZelvaMainWindow *window);
    void recoverCrashedWorkAreas(KZelvaMainWindow *window);
    void storeLastActive(KZelvaMainWindow *window);
    void createSettings();
    void clearWindowWorkAreas();
    bool isAccountLoggedIn() const;
    QString loggedInUserId() const;
    bool decideRecoveryId();
    // A reopened document takes back the stored item that still names it.
    bool rejoinStoredItem(KZelvaMainWindow *window, const QString &itemId);

    State m_state = State::Created;
    bool m_translationInstalled = false;
    bool m_crashMode = false;
    bool m_autoRecoverDefaultWorkArea = false;
    bool m_saveActivedWorkArea = true;
    bool m_suppressCurrentWindowChange = false;
    bool m_createWorkAreaForNewWindow = true;
    bool m_overSize = false;
    KZelvaWorkAreaSettingsWrapper *m_settingsWrapper = nullptr;
    KZelvaWorkAreaSettingsChangedHandler *m_settingsHandler = nullptr;
    bool m_loginConfirmed = false;
    bool m_deviceOnline = false;
    bool m_softbusOnlineListening = false;
    bool m_pendingGuideLogin = false;
    bool m_pendingCommandLine = false;
    int m_crossTerminalLoadTimeout = 6000;
    QString m_pendingConfirmId;
    QString m_previousCommandToken;
    QString m_recoveryId;
    QHash<QString, QPointer<KZelvaWorkArea>> m_workAreas;
    QHash<QString, QPointer<KZelvaWorkArea>> m_residualWorkAreas;
    QStringList m_removedIds;
    QHash<QString, QPointer<KZelvaWorkAreaItem>> m_removedItems;
    QHash<QString, QPointer<KZelvaWorkAreaItem>> m_lockedItems;
    // Where a removed item's tab was closed, until its page is gone.
    struct RemovedItemOrigin
    {
        QPointer<KZelvaWorkAreaItem> item;
        QPointer<KZelvaMainWindow> window;
        QString workAreaId;
        int closeMode = 0;
    };
    QList<RemovedItemOrigin> m_removedOrigins;
    QPointer<KZelvaResidualRecords> m_residualRecords;
    QPointer<KWorkAreaLabelSync> m_labelSync;
    QHash<QString, bool> m_storedLastVisible;
    // Stands in for the "workarea" record when the user's one cannot be opened.
    std::unique_ptr<KSyncSettingsData> m_workAreaSettings;
    std::unique_ptr<KZelvaWorkAreaShellHooks> m_hooks;
    QPointer<QObject> m_menuActionManager;
    QPointer<QObject> m_thumbnailManager;
    QHash<const KZelvaMainWindow *, QPointer<QObject>> m_popups;
};
