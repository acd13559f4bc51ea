// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewjsapihandler.h>

#include <cirra/cirra_types.h>

#include <QJsonObject>
#include <QPointer>

class KxWebViewJSContext;
class KZelvaCrossTerminalJsWrapper;
class KZelvaCrossTerminalPanel;
class KZelvaCrossTerminalServiceState;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkArea;
class KZelvaWorkAreaManager;
class KZelvaWorkAreaOperations;
class KZelvaWorkAreaSettings;

// The cloud proxy names answer records by their bare class names.
using qoz::cirra::GetCloudFileInfoResult;

/*
 * The cross-terminal panel page's API ("crossterminal.common"): the panel
 * listing, tags and work areas of this device (through the work-area
 * operations the popup's page uses too), relays, received files, the
 * discover service, and the events the page listens to. Arguments come as
 * the map "params"; answers as the page expects them (see docs/panel.md).
 * Bad arguments log one line and answer failure; nothing is changed then.
 *
 * Made by KZelvaCrossTerminalJsWrapper (its parent) for the panel's web
 * view. GUI thread.
 */
class KZelvaCrossTerminalJsApi : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    KZelvaCrossTerminalJsApi(KZelvaCrossTerminalJsWrapper *wrapper, KxWebViewAsynJSObject *jsObject,
                             KZelvaCrossTerminalPanel *panel);
    ~KZelvaCrossTerminalJsApi() override;

    KZelvaCrossTerminalPanel *panel() const { return m_panel.data(); }

    // The plug-in panel's listing {"open": [...], "close": [...]}.
    static QJsonObject generateWorkareaAndTagsJson();
    // Builds the command line openUrlInQoz starts the host process with.
    static QStringList openUrlArguments(const QString &url);

    // Events to the page (each logs "<function> : <payload>").
    void notifyJsRefreshDevices(const QString &deviceJson);
    void notifyJsRefreshWorkareaData();
    void notifyJsRefreshWebContainer();
    void notifyDiscoverServiceStatus(bool on);
    void notifyServiceStatus(const QString &status);

Q_SIGNALS:
    void queryClose();
    void sigBrowserLoadFinished();
    void sigReloadUrl();

public Q_SLOTS:
    void getWorkareaAndTagsList(KxWebViewJSContext &context);
    void closeWorkArea(KxWebViewJSContext &context);
    void showTransferHelper(KxWebViewJSContext &context);
    void isTransferHelperAvailable(KxWebViewJSContext &context);
    void isFileLabelSyncAvailable(KxWebViewJSContext &context);
    void openTag(KxWebViewJSContext &context);
    void closeWorkAreaTag(KxWebViewJSContext &context);
    void pageReady(KxWebViewJSContext &context);
    void reloadUrl(KxWebViewJSContext &context);
    void openUrlInQoz(KxWebViewJSContext &context);
    void createWorkArea(KxWebViewJSContext &context);
    void removeWorkArea(KxWebViewJSContext &context);
    void renameWorkArea(KxWebViewJSContext &context);
    void switchWorkArea(KxWebViewJSContext &context);
    void forceSaveWorkArea(KxWebViewJSContext &context);
    void popupMenu(KxWebViewJSContext &context);
    void isFirstRelayLabel(KxWebViewJSContext &context);
    void showFirstRelayWidget(KxWebViewJSContext &context);
    void getCrossTerminalSource(KxWebViewJSContext &context);
    void openRoamingDeviceDir(KxWebViewJSContext &context);
    void previewTagStart(KxWebViewJSContext &context);
    void previewTagEnd(KxWebViewJSContext &context);
    void dragWorkarea(KxWebViewJSContext &context);
    void showSubWidget(KxWebViewJSContext &context);
    void closeSubWidget(KxWebViewJSContext &context);
    void multiDeviceTransferActionSwitch(KxWebViewJSContext &context);
    void getDiscoverServiceSwitch(KxWebViewJSContext &context);
    void enableDiscoverService(KxWebViewJSContext &context);
    void lookReceiveFile(KxWebViewJSContext &context);
    void isFirstEnableDiscoverService(KxWebViewJSContext &context);
    void showFirstEnableDiscoverServiceDlg(KxWebViewJSContext &context);
    void getFpcAddMobileDeviceEmergencySwitch(KxWebViewJSContext &context);
    void isDarkSkin(KxWebViewJSContext &context);
    void retrieveContainerSize(KxWebViewJSContext &context);
    void addEditMenu(KxWebViewJSContext &context);
    void removeEditMenu(KxWebViewJSContext &context);
    void modifyPanelHeight(KxWebViewJSContext &context);
    // The device service's state for the page, R {"status": "ok" |
    // "signedOut" | "unavailable"}; changes come as the event
    // "crossterminal.event.serviceStatus".
    void getServiceStatus(KxWebViewJSContext &context);
    // The recently closed documents, R {"close": [...], "residualConfigTipInfo"}.
    void getResidualTagsList(KxWebViewJSContext &context);
    // Opens the document of a residual entry ("residualId", "tagId") in
    // the current main window; the panel closes.
    void openResidualTag(KxWebViewJSContext &context);

    void onPanelHide();
    void onGetCloudFileInfo(bool ok, const QString &state, const GetCloudFileInfoResult &result);
    void onLiteContentDlgFinish(int result);
    void onShowDeviceCenter();

private:
    void sendEvent(const char *function, const QString &name, const QString &payload);
    KZelvaWorkAreaManager *manager() const;
    KZelvaWorkAreaOperations *operations() const;
    bool isCurrentZelvaMainWindow(const QString &workAreaId) const;
    bool showTag(const QString &workAreaId, const QString &tagId);
    KZelvaSubPage *currentSubPage(const char *function) const;
    // The start page of the panel's main window, after the log lines of
    // each missing step.
    QObject *startPage(const char *function) const;

    QPointer<KZelvaCrossTerminalJsWrapper> m_wrapper;
    QPointer<KZelvaCrossTerminalPanel> m_panel;
    KZelvaWorkAreaSettings *m_settings = nullptr;
    QPointer<KZelvaSubPage> m_previewSubPage;
    KZelvaCrossTerminalServiceState *m_service = nullptr;
};
