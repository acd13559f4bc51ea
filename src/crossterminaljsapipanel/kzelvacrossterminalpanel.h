// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvacrossterminaljswrapper.h"
#include "kzelvacrossterminalpanelshadowwidget.h"

#include <kzelvamainwindow.h>

#include <QPointer>
#include <QRect>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class CrossPanelVersionAdapter;
class KWebSkeletonLoadWidget;
class KxWebViewContainer;
class KZelvaBrowserCreator;
class KZelvaBrowserWidgetBase;
class KZelvaCrossTerminalJsApi;
class KZelvaCrossTerminalJsWrapper;
class KZelvaCrossTerminalPanelShadowWidget;
class KZelvaCrossTerminalPanelSubWidget;
class KZelvaMainWindow;
class QStackedLayout;
class QTimer;

/*
 * The cross-terminal panel: a frameless tool window under the button it was
 * popped up for, showing the panel page. Its set-up runs at the first show:
 * the placeholder while the browser is made (asynchronously) and the page
 * loads, the load timer ("loadTimeoutMSec", default 6000 ms) that puts the
 * local error page up when the page never reports ready, the shadow window.
 * It closes (hides) when its main window moves, resizes, changes state or
 * loses activation to something else, on Escape, and when the page asks.
 *
 * Made by KZelvaCrossTerminalPanelMgr at the first popup, without parent,
 * and kept for the process. GUI thread.
 */
class KZelvaCrossTerminalPanel : public QWidget
{
    Q_OBJECT
    // Read by the shell's automation interface.
    Q_PROPERTY(QString lifecycle READ lifecycle)
    Q_PROPERTY(QString currentUrl READ currentUrl)
    Q_PROPERTY(bool shadowVisible READ shadowVisible)
    Q_PROPERTY(QRect shadowGeometry READ shadowGeometry)
public:
    static const QLatin1String BrowserName; // "kzelva_crossterminal_widget"

    explicit KZelvaCrossTerminalPanel(QWidget *parent = nullptr);
    ~KZelvaCrossTerminalPanel() override;

    void showAt(QWidget *targetWidget, const QRect &btnRect);
    void refreshDevices(const QString &deviceJson);
    void refreshWorkareaData();

    KZelvaCrossTerminalJsApi *jsApi() const;
    KZelvaBrowserWidgetBase *browser() const { return m_browser; }
    CrossPanelVersionAdapter *adapter() const { return m_adapter.get(); }
    KZelvaCrossTerminalPanelShadowWidget *shadow() const { return m_shadow; }
    KWebSkeletonLoadWidget *skeleton() const { return m_skeleton; }
    QWidget *targetWidget() const { return m_target; }
    QRect buttonRect() const { return m_btnRect; }
    KZelvaMainWindow *relatedMainWindow() const;
    bool isLoaded() const { return m_loaded; }
    bool isLoadTimerActive() const;
    // "not-created", "loading", "loaded" or "timed-out".
    QString lifecycle() const;
    QString currentUrl() const;
    bool shadowVisible() const;
    QRect shadowGeometry() const;
    // Runs `script` in the panel's page (view and network-attached pages).
    Q_INVOKABLE bool runPageScript(const QString &script);

    // The page URL (resource folder + the adapter's page, with "?lang=" and
    // "&skin="), and the local error page.
    QString pageUrl() const;
    static QString errorPageUrl();
    // "loadTimeoutMSec" of the plug-in settings, read once per process.
    static int loadTimeoutMSec();

    // The page's sub-widget beside the panel.
    bool showSubWidget(const QVariantMap &data);
    bool closeSubWidget();
    KZelvaCrossTerminalPanelSubWidget *subWidget() const;

Q_SIGNALS:
    void sigAboutToHide();
    void sigAboutToShow();

public Q_SLOTS:
    void onCreatingApi(KxWebViewContainer *container, QObject **api);
    void onCreateSucceeded(KZelvaBrowserWidgetBase *browser);
    void onBrowserQueryClose();
    void onWorkAreaDataChanged();
    void onBrowserLoadFinsihed();
    void onJsApiHandlerInited();
    void onLoadOutTime();
    void onReloadUrl();
    void onMainWindowChanged();
    void onAppActivated();
    void onSkinChange();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void init();
    void closeUnlessActiveHere();
    void onDiscoverServiceStatus(int status);

    KZelvaBrowserCreator *m_creator;
    QPointer<KZelvaCrossTerminalJsWrapper> m_wrapper;
    KZelvaBrowserWidgetBase *m_browser = nullptr;
    QPointer<QWidget> m_target;
    QRect m_btnRect;
    QPointer<KZelvaMainWindow> m_filteredWindow;
    QStackedLayout *m_mainLayout = nullptr;
    KWebSkeletonLoadWidget *m_skeleton = nullptr;
    QPointer<KZelvaCrossTerminalPanelShadowWidget> m_shadow;
    QPointer<KZelvaCrossTerminalPanelSubWidget> m_subWidget;
    QTimer *m_loadTimer;
    bool m_refreshPendingOnApi = false;
    bool m_loaded = false;
    bool m_inited = false;
    bool m_timedOut = false;
    std::shared_ptr<CrossPanelVersionAdapter> m_adapter;
};
