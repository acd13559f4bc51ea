// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class KxWebViewAsynJSObject;
class KxWebChannelEndpoint;
class QWebEngineView;

/*
 * A web view with the page-API bridge: a QtWebEngine view whose pages reach
 * the page object (jsObject()) over QWebChannel, through the script
 * resources/js/kzbridge.js. The page object is also offered to the
 * process's network transport (KxWebBridgeServer::sessionServer()) under
 * pageName, so the same page can be driven from an outside browser.
 *
 * With KZELVA_WEB_ENGINE=0 no QtWebEngine view is made (for offscreen runs):
 * loads only record the URL and report success, and pages are reachable over
 * the network transport only.
 *
 * Owner: its Qt parent. GUI thread. The page API object handed to setApi()
 * is not owned.
 */
class KZELVASHELL_EXPORT KxWebViewContainer : public QWidget
{
    Q_OBJECT
public:
    explicit KxWebViewContainer(const QString &pageName, QWidget *parent = nullptr);
    ~KxWebViewContainer() override;

    QString pageName() const { return objectName(); }
    KxWebViewAsynJSObject *jsObject() const { return m_jsObject; }

    // The page API of this view. A KZelvaCommonJSAPI gets initHandlers()
    // once. Only the first API is kept; false for later ones.
    bool setApi(QObject *api);
    QObject *api() const { return m_api.data(); }

    void load(const QUrl &url);
    void reload();
    QUrl url() const;
    // Runs script in the page of the view and in network-attached pages.
    void runJavaScript(const QString &script);

    // Lets the view's pages load pictures of the current skin as
    // "zelvaimg://<package>/<path>" (KSkinImageSchemeHandler). False
    // without a web engine view.
    bool installSkinImageScheme();

    void setDragEnabled(bool enabled);
    void setTransparentBackground(bool transparent);

    bool hasWebEngine() const { return m_view != nullptr; }
    QWebEngineView *webEngineView() const { return m_view; }
    static bool isWebEngineEnabled();

Q_SIGNALS:
    void loadStarted();
    void loadFinished(bool ok);
    void renderProcessTerminated(int status, int exitCode);

private:
    KxWebViewAsynJSObject *m_jsObject;
    KxWebChannelEndpoint *m_endpoint = nullptr;
    QWebEngineView *m_view = nullptr;
    QPointer<QObject> m_api;
    QUrl m_url;
};
