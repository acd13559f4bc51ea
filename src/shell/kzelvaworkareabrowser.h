// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QPointer>
#include <QWidget>

class KxWebViewContainer;
class KZelvaBrowserCreator;
class KZelvaBrowserWidgetBase;
class KZelvaMainWindow;
class KZelvaWorkAreaBrowserJsApi;

/*
 * The browser of the work-area popup: asks the host for a browser widget
 * named "kzelva_work_area_browser" (created asynchronously), lays it out
 * without margins, answers its request for a page API with a
 * KZelvaWorkAreaBrowserJsApi for `window`, and loads the work-area page.
 * Passes the API's queryClose()/querySetVisible(bool) on.
 *
 * Child of the popup (KZelvaWorkAreaWidget); owns the host browser and the
 * API. GUI thread.
 */
class KZelvaWorkAreaBrowser : public QWidget
{
    Q_OBJECT
public:
    static QString browserId();

    KZelvaWorkAreaBrowser(KZelvaMainWindow *window, QWidget *parent);
    ~KZelvaWorkAreaBrowser() override;

    bool isCreated() const { return m_browser != nullptr; }
    KZelvaBrowserWidgetBase *browserWidget() const { return m_browser; }
    KxWebViewContainer *container() const;
    KZelvaWorkAreaBrowserJsApi *api() const { return m_api; }

    // Runs `script` in the page (web view and network-attached pages alike).
    void runJavaScript(const QString &script);

    // The page URL, computed once per process (pageUrlFor with this
    // process's resource directory, configuration, language and product).
    static QString pageUrl();
    // "index.html" of the work-area page below `resourceDir`, or, when it
    // is missing, `configuredRelativeUrl` in the same directory; then
    // "?lang=" and "&disableGlobalInfoCollect=". Empty when neither exists.
    static QString pageUrlFor(const QString &resourceDir, const QString &configuredRelativeUrl,
                              const QString &language, bool disableGlobalInfoCollect);
    // The plug-in's resource directory: $KZELVA_PLUGIN_RESOURCE_DIR when set,
    // else share/kzelvaworkarea beside the folder of the module.
    static QString resourceDir();

Q_SIGNALS:
    void created();
    void loadFinished(bool ok);
    void queryClose();
    void querySetVisible(bool visible);

private Q_SLOTS:
    void onCreateSucceeded(KZelvaBrowserWidgetBase *browser);
    void onCreateFailed(const QString &name);
    void onCreatingApi(KxWebViewContainer *container, QObject **api);

private:
    QPointer<KZelvaMainWindow> m_window;
    KZelvaBrowserCreator *m_creator;
    KZelvaBrowserWidgetBase *m_browser = nullptr;
    KZelvaWorkAreaBrowserJsApi *m_api = nullptr;
};
