// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <kzelvaworkareadata.h>

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QVariantMap>

class KZelvaCloseHandler;
class KZelvaMainWindow;
class KZelvaMenu;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWorkArea;
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
    // Runs the lazy initialisation once; later calls do nothing.
    void ensureInitialised();
    // Runs the teardown when initialised; DeleteManagerImpl calls it.
    void teardown();

    int crossTerminalLoadTimeout() const { return m_crossTerminalLoadTimeout; }
    qint32 nextWorkAreaNumber() const { return m_nextWorkAreaNumber; }

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
    void notBuiltYet(const char *method) const;
    void sendStartRequest();

    State m_state = State::Created;
    bool m_translationInstalled = false;
    bool m_crashMode = false;
    bool m_autoRecoverDefaultWorkArea = false;
    bool m_saveActivedWorkArea = true;
    bool m_suppressCurrentWindowChange = false;
    qint32 m_nextWorkAreaNumber = 1;
    int m_crossTerminalLoadTimeout = 6000;
};
