// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewcontainer.h"

#include "kskinimageschemehandler.h"
#include "kxwebchannelendpoint.h"
#include "kxwebenginesandbox.h"
#include "kxweblog.h"

#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>
#include <kzelvacommonjsapi.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace {

// One profile for every view of the process, kept in memory only: pages
// keep nothing on disk between runs.
QWebEngineProfile *bridgeProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    profile = new QWebEngineProfile(QCoreApplication::instance());
    // The page script finds QWebChannel ready when it runs; the library
    // ships the client script as a resource.
    QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (client.open(QIODevice::ReadOnly)) {
        QWebEngineScript script;
        script.setName(QStringLiteral("qwebchannel"));
        script.setSourceCode(QString::fromUtf8(client.readAll()));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::MainWorld);
        script.setRunsOnSubFrames(false);
        profile->scripts()->insert(script);
    } else {
        qCWarning(lcWeb, "qwebchannel.js not found in the resources; pages cannot reach the bridge");
    }
    return profile;
}

} // namespace

KxWebViewContainer::KxWebViewContainer(const QString &pageName, QWidget *parent)
    : QWidget(parent)
    , m_jsObject(new KxWebViewAsynJSObject(this))
{
    setObjectName(pageName);
    m_jsObject->setObjectName(pageName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (isWebEngineEnabled()) {
        // Decided before the web engine starts its helper processes.
        KxWebEngineSandbox::prepare();
        m_view = new QWebEngineView(this);
        auto *page = new QWebEnginePage(bridgeProfile(), m_view);
        m_view->setPage(page);
        m_endpoint = new KxWebChannelEndpoint(m_jsObject, this);
        auto *channel = new QWebChannel(page);
        channel->registerObject(QStringLiteral("kzbridge"), m_endpoint);
        page->setWebChannel(channel);
        layout->addWidget(m_view);
        connect(m_view, &QWebEngineView::loadStarted, m_endpoint, &KxWebChannelEndpoint::pageReloaded);
        connect(m_view, &QWebEngineView::loadStarted, this, &KxWebViewContainer::loadStarted);
        connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
            qCInfo(lcWeb, "page %s: loaded %s: %s", qUtf8Printable(this->pageName()), qUtf8Printable(url().toString()),
                   ok ? "ok" : "failed");
            Q_EMIT loadFinished(ok);
        });
        connect(page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                    qCWarning(lcWeb, "page %s: render process ended (status %d, code %d)", qUtf8Printable(this->pageName()),
                              int(status), exitCode);
                    Q_EMIT renderProcessTerminated(int(status), exitCode);
                });
    }
    if (KxWebBridgeServer *server = KxWebBridgeServer::sessionServer())
        server->addPage(pageName, m_jsObject);
}

KxWebViewContainer::~KxWebViewContainer()
{
    // The page (and with it the channel) goes before the endpoint it publishes.
    delete m_view;
    m_view = nullptr;
}

bool KxWebViewContainer::isWebEngineEnabled()
{
    if (qgetenv("KZELVA_WEB_ENGINE") == "0")
        return false;
    // The web engine ends the whole process when it gets no OpenGL context
    // (the offscreen and minimal platforms): asked once, before its first view.
    static const bool canDraw = [] {
        QOpenGLContext context;
        if (context.create())
            return true;
        qCWarning(lcWeb,
                  "web pages are not shown in windows: the platform \"%s\" gives the web engine no OpenGL "
                  "context; they stay reachable through the web bridge",
                  qUtf8Printable(QGuiApplication::platformName()));
        return false;
    }();
    return canDraw;
}

bool KxWebViewContainer::setApi(QObject *api)
{
    if (!api || m_api)
        return false;
    m_api = api;
    if (auto *common = qobject_cast<KZelvaCommonJSAPI *>(api)) {
        if (!common->initHandlers())
            qCWarning(lcWeb, "page %s: the page API did not set up its handlers", qUtf8Printable(this->pageName()));
    }
    return true;
}

void KxWebViewContainer::load(const QUrl &url)
{
    m_url = url;
    if (m_view) {
        m_view->load(url);
        return;
    }
    QTimer::singleShot(0, this, [this] {
        Q_EMIT loadStarted();
        Q_EMIT loadFinished(true);
    });
}

void KxWebViewContainer::reload()
{
    if (m_view)
        m_view->reload();
    else
        load(m_url);
}

QUrl KxWebViewContainer::url() const
{
    return m_view ? m_view->url() : m_url;
}

void KxWebViewContainer::runJavaScript(const QString &script)
{
    if (m_view)
        m_view->page()->runJavaScript(script);
    m_jsObject->runScriptInRemotePages(script);
}

bool KxWebViewContainer::installSkinImageScheme()
{
    if (!m_view)
        return false;
    // One profile serves every view: the handler goes on it once.
    QWebEngineProfile *profile = m_view->page()->profile();
    if (!profile->urlSchemeHandler(KSkinImageSchemeHandler::Scheme)) {
        profile->installUrlSchemeHandler(KSkinImageSchemeHandler::Scheme, KSkinImageSchemeHandler::instance());
        qCInfo(lcWeb, "page %s: skin pictures served as %s://", qUtf8Printable(pageName()),
               KSkinImageSchemeHandler::Scheme.constData());
    }
    return true;
}

void KxWebViewContainer::setDragEnabled(bool enabled)
{
    setAcceptDrops(enabled);
    if (m_view)
        m_view->setAcceptDrops(enabled);
}

void KxWebViewContainer::setTransparentBackground(bool transparent)
{
    setAttribute(Qt::WA_TranslucentBackground, transparent);
    if (m_view)
        m_view->page()->setBackgroundColor(transparent ? Qt::transparent : Qt::white);
}
