// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvacrossterminalpanel.h"
#include "ikzelvadeviceonlinelistener.h"
#include "ikzelvadocumentrelay.h"
#include "ikzelvalabelsync.h"
#include "ikzelvawindowclosehandlers.h"
#include "ikzelvaworkareamenus.h"
#include "ikzelvaworkareaowner.h"
#include "ikzelvaworkareapopups.h"
#include "ikzelvaworkareathumbnails.h"
#include "kzelvacommandlines.h"
#include "kzelvapersistconfig.h"
#include "kzelvaworkareastore.h"
#include "kzelvawindowregistry.h"
#include "kzelvaworkareaitemkeeper.h"
#include "kzelvaworkareapart.h"
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

class IKZelvaWorkAreaAssembly;
class ISyncSettingsData;
class KZelvaWorkAreaSettingsChangedHandler;
class KZelvaWorkAreaSettingsWrapper;
class KZelvaCloseHandler;
class KZelvaMainWindow;
class KZelvaMenu;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWindowLifecycle;
class KZelvaWorkArea;
class KZelvaWorkAreaItem;
class KZelvaWorkAreaRecovery;
class KZelvaResidualRecords;
class KZelvaResidualWorkAreas;
class KZelvaWorkAreas;
namespace qoz { namespace cirra { class NotifyOpenCloudLocationActionArg; } }
using NotifyOpenCloudLocationActionArg = qoz::cirra::NotifyOpenCloudLocationActionArg;

/*
 * The one process-wide object the host drives the plug-in through: a façade
 * whose invokable methods, signals and slots keep the names and order the
 * host calls them by. It runs the lazy initialisation and the teardown and
 * hands the work to its collaborators: the window registry (work areas and
 * window sets), the window lifecycle (windows added, recovered, closed),
 * recovery (crashed sessions, recoverable documents), the item keeper
 * (items that left their work area) and the command lines and login guide.
 * The parts it drives but cannot link (menus, thumbnails, popups, close
 * handlers, label sync, panel, relay, device-online listener) are handed
 * over through typed setters; an absent part means that step is skipped
 * and logged.
 *
 * Created by CreateManagerImpl with the application as parent and published
 * as the application property "__KZelvaWorkAreaManager__". GUI thread.
 */
class KZelvaWorkAreaManager : public QObject, public IKZelvaWorkAreaOwner
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
    // Runs the lazy initialisation once; later calls do nothing.
    void ensureInitialised();
    // Runs the teardown when initialised; DeleteManagerImpl calls it.
    void teardown();

    // The parts (each may be absent). The manager takes the assembly.
    void setAssembly(IKZelvaWorkAreaAssembly *assembly);
    template<class T>
    void setMenus(T *part)
    {
        m_menus.set(part);
    }
    template<class T>
    void setThumbnails(T *part)
    {
        m_thumbnails.set(part);
    }
    template<class T>
    void setPopups(T *part)
    {
        m_popups.set(part);
    }
    template<class T>
    void setCloseHandlers(T *part)
    {
        m_closeHandlers.set(part);
    }
    template<class T>
    void setLabelSync(T *part)
    {
        m_labelSync.set(part);
    }
    template<class T>
    void setCrossTerminalPanel(T *part)
    {
        m_panel.set(part);
    }
    template<class T>
    void setDocumentRelay(T *part)
    {
        m_relay.set(part);
    }
    template<class T>
    void setDeviceOnlineListener(T *part)
    {
        m_deviceOnline.set(part);
    }
    IKZelvaWorkAreaThumbnails *thumbnails() const { return m_thumbnails.get(); }
    IKZelvaCrossTerminalPanel *crossTerminalPanel() const { return m_panel.get(); }
    IKZelvaDocumentRelay *documentRelay() const { return m_relay.get(); }
    QObject *popupOf(const KZelvaMainWindow *window) const { return m_popupOf.value(window); }

    // The collaborators.
    KZelvaWindowRegistry *registry() const { return m_registry; }
    KZelvaWorkAreaStore *store() const { return m_store; }
    KZelvaWindowLifecycle *lifecycle() const { return m_lifecycle; }
    KZelvaWorkAreaRecovery *recovery() const { return m_recovery; }
    KZelvaWorkAreaItemKeeper *itemKeeper() const { return m_itemKeeper; }
    KZelvaCommandLines *commandLines() const { return m_commandLines; }

    int crossTerminalLoadTimeout() const { return m_crossTerminalLoadTimeout; }
    bool saveActivedWorkArea() const { return m_saveActivedWorkArea; }
    bool createsWorkAreaForNewWindow() const { return m_createWorkAreaForNewWindow; }
    bool isOverSize() const { return m_overSize; }
    void clearOverSize() { m_overSize = false; }
    bool isResidualSettingSaveEnabled() const { return KZelvaPersistConfig::residualSettingSaveEnabled(); }
    bool isResidualItemDeleteEnabled() const { return KZelvaPersistConfig::residualItemDeleteEnabled(); }
    KZelvaWorkAreaSettingsWrapper *settingsWrapper() const;
    // The residual records of closed windows (created on first use).
    KZelvaResidualRecords *residualRecords();
    // The residual work areas of closed windows (null before the initialisation).
    KZelvaResidualWorkAreas *residualWorkAreas() const { return m_residualWorkAreas; }
    KZelvaResidualRecords *existingResidualRecords() const;
    ISyncSettingsData *workAreaSettings() { return m_store->workAreaSettings(); }
    void flushWorkAreaSettings() { m_store->flush(); }
    QString lastActiveWorkAreaId() { return m_store->lastActiveWorkAreaId(); }

    // IKZelvaWorkAreaOwner
    QObject *itemParent() override { return this; }
    bool isCrashMode() const override { return m_crashMode; }
    bool isIndependentMode() const override;
    bool isSettingsChangeRunning() const override;
    bool isTabManagerPanelEnabled() const override;
    bool autoRecoverDefaultWorkAreaFlag() const override { return m_autoRecoverDefaultWorkArea; }
    bool readSaveActivedWorkArea() override;
    KZelvaWorkAreas *workAreasOf(const KZelvaMainWindow *window) const override
    {
        return m_registry->workAreasOf(window);
    }
    void keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item) override
    {
        m_itemKeeper->keepRemovedItem(id, item);
    }
    void keepLockedItem(const QString &id, KZelvaWorkAreaItem *item) override
    {
        m_itemKeeper->keepLockedItem(id, item);
    }
    void dropLockedItem(const QString &id) override { m_itemKeeper->dropLockedItem(id); }
    void offerResidualItem(KZelvaWorkAreaItem *item) override { m_itemKeeper->offerResidualItem(item); }
    void keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page) override
    {
        m_itemKeeper->keepFixedItem(window, page);
    }
    void removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id) override
    {
        m_itemKeeper->removeFromWindowResidualList(window, id);
    }

    // The window registry's, for the other subsystems.
    KZelvaWorkAreas *createWorkAreasFor(KZelvaMainWindow *window) { return m_registry->createWorkAreasFor(window); }
    KZelvaWorkArea *createWorkArea(bool isDefault) { return m_registry->createWorkArea(isDefault); }
    void removeWorkArea(KZelvaWorkArea *workArea) { m_registry->removeWorkArea(workArea); }
    KZelvaWorkArea *workArea(const QString &id) const { return m_registry->workArea(id); }
    QList<KZelvaWorkArea *> workAreas() const { return m_registry->workAreas(); }
    KZelvaWorkArea *defaultWorkArea() const { return m_registry->defaultWorkArea(); }
    KZelvaWorkArea *workAreaOfPage(const KZelvaSubPage *page) const { return m_registry->workAreaOfPage(page); }
    // Writes every work area that is not closed (or must be saved) and
    // forgets the stored groups of removed work areas.
    void savePass();
    void handleCommandLine(const QString &commandLine) { m_commandLines->handleCommandLine(commandLine); }

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
    // The host's cloud-menu notices: nothing of the work areas depends on them.
    void onNotifyActionsMapDefault(const QMap<QString, QString> &) {}
    void onNotifyOpenCloudLocation(NotifyOpenCloudLocationActionArg arg);

private:
    void connectHost();
    void createSettings();
    void createParts();
    void sendStartRequest();
    void startStep();

    State m_state = State::Created;
    bool m_translationInstalled = false;
    bool m_crashMode = false;
    bool m_autoRecoverDefaultWorkArea = false;
    bool m_saveActivedWorkArea = true;
    bool m_createWorkAreaForNewWindow = true;
    bool m_overSize = false;
    int m_crossTerminalLoadTimeout = 6000;
    KZelvaWorkAreaSettingsWrapper *m_settingsWrapper = nullptr;
    KZelvaWorkAreaSettingsChangedHandler *m_settingsHandler = nullptr;
    KZelvaWorkAreaStore *m_store;
    KZelvaWindowRegistry *m_registry;
    KZelvaResidualWorkAreas *m_residualWorkAreas = nullptr;
    KZelvaWindowLifecycle *m_lifecycle;
    KZelvaWorkAreaRecovery *m_recovery;
    KZelvaWorkAreaItemKeeper *m_itemKeeper;
    KZelvaCommandLines *m_commandLines;
    std::unique_ptr<IKZelvaWorkAreaAssembly> m_assembly;
    KZelvaWorkAreaPart<IKZelvaWorkAreaMenus> m_menus;
    KZelvaWorkAreaPart<IKZelvaWorkAreaThumbnails> m_thumbnails;
    KZelvaWorkAreaPart<IKZelvaWorkAreaPopups> m_popups;
    KZelvaWorkAreaPart<IKZelvaWindowCloseHandlers> m_closeHandlers;
    KZelvaWorkAreaPart<IKZelvaLabelSync> m_labelSync;
    KZelvaWorkAreaPart<IKZelvaCrossTerminalPanel> m_panel;
    KZelvaWorkAreaPart<IKZelvaDocumentRelay> m_relay;
    KZelvaWorkAreaPart<IKZelvaDeviceOnlineListener> m_deviceOnline;
    QHash<const KZelvaMainWindow *, QPointer<QObject>> m_popupOf;
};
