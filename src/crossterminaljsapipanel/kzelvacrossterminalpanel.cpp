// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanel.h"

#include "crosspanelversionadapterv1.h"
#include "kworkarealabelsync.h"
#include "kzelvacrossterminaldiscoverservice.h"
#include "kzelvacrossterminaljsapi.h"
#include "kzelvacrossterminaljswrapper.h"
#include "kzelvacrossterminalpanelshadowwidget.h"
#include "kzelvacrossterminalpanelsubwidget.h"
#include "kzelvacrossterminalsettingskeys.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"

#include <kdcinfo.h>
#include <kpluginssettings.h>
#include <kwebskeletonloadwidget.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvabrowsercreator.h>
#include <kzelvabrowserwidgetbase.h>
#include <kzelvamainwindow.h>
#include <kzelvaskin.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QLocale>
#include <QStackedLayout>
#include <QTimer>
#include <QUrl>

namespace {

constexpr char kErrorPage[] = "/mui/zh_CN/res/web/error-link/index.html";
// The host's own "close the pop-ups of this window" event.
constexpr int kClosePopupsEvent = 253;

bool isDark()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
}

} // namespace

const QLatin1String KZelvaCrossTerminalPanel::BrowserName("kzelva_crossterminal_widget");

KZelvaCrossTerminalPanel::KZelvaCrossTerminalPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_creator(new KZelvaBrowserCreator(this))
    , m_loadTimer(new QTimer(this))
    , m_adapter(std::make_shared<CrossPanelVersionAdapterV1>())
{
    setObjectName(QStringLiteral("KZelvaCrossTerminalPanel"));
    setWindowTitle(tr("work with QOZ"));
    m_loadTimer->setSingleShot(true);
}

KZelvaCrossTerminalPanel::~KZelvaCrossTerminalPanel()
{
    if (m_filteredWindow)
        m_filteredWindow->removeEventFilter(this);
    delete m_shadow;
}

int KZelvaCrossTerminalPanel::loadTimeoutMSec()
{
    static const int timeout = [] {
        bool ok = false;
        const int value =
            krt::KPluginsSettings::value(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                         QLatin1String(KZelvaCrossTerminalSettingsKeys::LoadTimeoutMSec), 6000)
                .toInt(&ok);
        if (!ok || value <= 0 || value > 600000) {
            writeLog(2, QStringLiteral("loadTimeoutMSec : odd value, 6000 taken"));
            return 6000;
        }
        return value;
    }();
    return timeout;
}

QString KZelvaCrossTerminalPanel::pageUrl() const
{
    QString language = QLocale().name();
    if (language == QLatin1String("C"))
        language = QStringLiteral("en_US");
    return KZelvaWorkAreaBrowser::resourceDir() + m_adapter->url()
           + QStringLiteral("?lang=%1&skin=%2")
                 .arg(language, isDark() ? QStringLiteral("dark") : QStringLiteral("light"));
}

QString KZelvaCrossTerminalPanel::errorPageUrl()
{
    return QUrl::fromLocalFile(QDir(KZelvaWorkAreaBrowser::resourceDir()).absolutePath() + QLatin1String(kErrorPage))
        .toString();
}

KZelvaCrossTerminalJsApi *KZelvaCrossTerminalPanel::jsApi() const
{
    return m_wrapper ? m_wrapper->jsApi() : nullptr;
}

KZelvaMainWindow *KZelvaCrossTerminalPanel::relatedMainWindow() const
{
    return m_target ? qobject_cast<KZelvaMainWindow *>(m_target->window()) : nullptr;
}

bool KZelvaCrossTerminalPanel::isLoadTimerActive() const
{
    return m_loadTimer->isActive();
}

QString KZelvaCrossTerminalPanel::lifecycle() const
{
    if (!m_inited)
        return QStringLiteral("not-created");
    if (m_loaded)
        return QStringLiteral("loaded");
    return m_timedOut ? QStringLiteral("timed-out") : QStringLiteral("loading");
}

QString KZelvaCrossTerminalPanel::currentUrl() const
{
    return m_browser ? m_browser->url().toString() : QString();
}

bool KZelvaCrossTerminalPanel::shadowVisible() const
{
    return m_shadow && m_shadow->isVisible();
}

QRect KZelvaCrossTerminalPanel::shadowGeometry() const
{
    return m_shadow ? m_shadow->geometry() : QRect();
}

bool KZelvaCrossTerminalPanel::runPageScript(const QString &script)
{
    KxWebViewContainer *container = m_browser ? m_browser->container() : nullptr;
    if (!container)
        return false;
    container->runJavaScript(script);
    return true;
}

void KZelvaCrossTerminalPanel::init()
{
    if (m_inited)
        return;
    m_inited = true;
    m_mainLayout = new QStackedLayout(this);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    CrossPanelVersionAdapter *adapter = m_adapter.get();
    m_skeleton = new KWebSkeletonLoadWidget([adapter](QPainterPath *path) { adapter->paintSkeleton(path); }, this);
    m_mainLayout->addWidget(m_skeleton);
    m_skeleton->startAnimation();
    m_adapter->createTopBackground(this);
    connect(m_loadTimer, &QTimer::timeout, this, &KZelvaCrossTerminalPanel::onLoadOutTime);
    connect(m_creator, &KZelvaBrowserCreator::createSucceeded, this, &KZelvaCrossTerminalPanel::onCreateSucceeded);
    CreateZelvaBrowserWidget(this, m_creator, BrowserName, KZelvaBrowserDragEnabled);
    if (KWorkAreaLabelSync *labels = KWorkAreaLabelSync::instance()) {
        labels->getSoftBussDeviceList();
        labels->getCloudStorage();
    }
    writeLog(0, QStringLiteral("%1").arg(QStringLiteral("listenDiscoverService")));
    QPointer<KZelvaCrossTerminalPanel> self(this);
    KZelvaCrossTerminalDiscoverService::listen([self](int status) {
        // Heard on the SoftBus thread; widgets are touched on their own.
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [self, status] {
                    if (self)
                        self->onDiscoverServiceStatus(status);
                },
                Qt::QueuedConnection);
    });
    m_shadow = new KZelvaCrossTerminalPanelShadowWidget(this, QStringLiteral("KZelvaCrossTerminalPanel_Shadow"),
                                                        m_adapter->shadowOffset());
}

void KZelvaCrossTerminalPanel::onDiscoverServiceStatus(int status)
{
    if (status != 2 && status != 3)
        return;
    if (KZelvaCrossTerminalJsApi *api = jsApi())
        api->notifyDiscoverServiceStatus(status == 2);
}

void KZelvaCrossTerminalPanel::showAt(QWidget *targetWidget, const QRect &btnRect)
{
    m_target = targetWidget;
    m_btnRect = btnRect;
    init();
    KZelvaMainWindow *window = relatedMainWindow();
    if (m_filteredWindow && m_filteredWindow != window)
        m_filteredWindow->removeEventFilter(this);
    if (window) {
        window->installEventFilter(this);
        m_filteredWindow = window;
    }
    m_adapter->adjustOnPopup(this, targetWidget, btnRect);
    setVisible(true);
    raise();
    activateWindow();
}

void KZelvaCrossTerminalPanel::refreshDevices(const QString &deviceJson)
{
    if (KZelvaCrossTerminalJsApi *api = jsApi())
        api->notifyJsRefreshDevices(deviceJson);
    else
        writeLog(1, QStringLiteral("%1 : parameters error, jsApi is nullptr").arg(QStringLiteral("refreshDevices")));
}

void KZelvaCrossTerminalPanel::refreshWorkareaData()
{
    if (KZelvaCrossTerminalJsApi *api = jsApi())
        api->notifyJsRefreshWorkareaData();
    else
        writeLog(1,
                 QStringLiteral("%1 : parameters error, jsApi is nullptr").arg(QStringLiteral("refreshWorkareaData")));
}

void KZelvaCrossTerminalPanel::onCreatingApi(KxWebViewContainer *container, QObject **api)
{
    if (!api || m_wrapper)
        return;
    auto *wrapper = new KZelvaCrossTerminalJsWrapper(container, this);
    m_wrapper = wrapper;
    connect(wrapper, &KZelvaCrossTerminalJsWrapper::queryClose, this, &KZelvaCrossTerminalPanel::onBrowserQueryClose);
    connect(wrapper, &KZelvaCrossTerminalJsWrapper::sigJsApiHandlerInited, this,
            &KZelvaCrossTerminalPanel::onJsApiHandlerInited);
    connect(this, &KZelvaCrossTerminalPanel::sigAboutToHide, wrapper, &KZelvaCrossTerminalJsWrapper::sigPanelHide);
    if (container)
        container->setDragEnabled(true);
    *api = wrapper;
}

void KZelvaCrossTerminalPanel::onCreateSucceeded(KZelvaBrowserWidgetBase *browser)
{
    if (!browser || m_browser)
        return;
    m_browser = browser;
    if (m_mainLayout)
        m_mainLayout->addWidget(browser);
    else
        writeLog(
            1,
            QStringLiteral("%1 : browser not add layout, layout is nullptr!").arg(QStringLiteral("onCreateSucceeded")));
    connect(browser, &KZelvaBrowserWidgetBase::creatingApi, this, &KZelvaCrossTerminalPanel::onCreatingApi);
    browser->setProperty("startupUrl", pageUrl());
    if (KxWebViewContainer *container = browser->container())
        container->setTransparentBackground(true);
    browser->load();
    m_timedOut = false;
    m_loadTimer->start(loadTimeoutMSec());
}

void KZelvaCrossTerminalPanel::onBrowserQueryClose()
{
    writeLog(0, QStringLiteral("%1 : visible = %2").arg(QStringLiteral("onBrowserQueryClose")).arg(isVisible()));
    if (isVisible())
        close();
}

void KZelvaCrossTerminalPanel::onWorkAreaDataChanged()
{
    if (!isVisible())
        return;
    refreshWorkareaData();
}

void KZelvaCrossTerminalPanel::onBrowserLoadFinsihed()
{
    m_loadTimer->stop();
    if (!m_mainLayout || !m_browser) {
        writeLog(
            1,
            QStringLiteral("%1 : m_mainLayout or m_browser is nullptr").arg(QStringLiteral("onBrowserLoadFinsihed")));
        return;
    }
    m_loaded = true;
    m_timedOut = false;
    m_mainLayout->setCurrentWidget(m_browser);
    m_adapter->setTopBackgroundVisible(true);
    m_skeleton->stopAnimation();
}

void KZelvaCrossTerminalPanel::onJsApiHandlerInited()
{
    KZelvaCrossTerminalJsApi *api = jsApi();
    if (!api)
        return;
    connect(api, &KZelvaCrossTerminalJsApi::sigBrowserLoadFinished, this,
            &KZelvaCrossTerminalPanel::onBrowserLoadFinsihed, Qt::UniqueConnection);
    connect(api, &KZelvaCrossTerminalJsApi::sigReloadUrl, this, &KZelvaCrossTerminalPanel::onReloadUrl,
            Qt::UniqueConnection);
    if (m_refreshPendingOnApi) {
        m_refreshPendingOnApi = false;
        api->notifyJsRefreshWebContainer();
    }
}

void KZelvaCrossTerminalPanel::onLoadOutTime()
{
    const QString url = m_browser ? m_browser->url().toString() : QString();
    writeLog(2, QStringLiteral("%1 : page not ready after %2 ms, url: %3")
                    .arg(QStringLiteral("onLoadOutTime"))
                    .arg(loadTimeoutMSec())
                    .arg(url));
    m_timedOut = true;
    if (m_browser) {
        m_browser->load(QUrl(errorPageUrl()));
        if (m_mainLayout)
            m_mainLayout->setCurrentWidget(m_browser);
    }
    if (m_skeleton)
        m_skeleton->stopAnimation();
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    getDcInfo()->postGeneralEvent(
        QStringLiteral("browser_loadtimeout"),
        {{QStringLiteral("src"), QStringLiteral("KZelvaCrossTerminalPanel")},
         {QStringLiteral("url"), url},
         {QStringLiteral("seconds"), QString::number(manager ? manager->crossTerminalLoadTimeout() : 6000)},
         {QStringLiteral("ver"), QStringLiteral("1")}});
}

void KZelvaCrossTerminalPanel::onReloadUrl()
{
    writeLog(0, QStringLiteral("%1 : browser = %2").arg(QStringLiteral("onReloadUrl")).arg(m_browser != nullptr));
    if (!m_browser)
        return;
    if (m_mainLayout && m_skeleton) {
        m_mainLayout->setCurrentWidget(m_skeleton);
        m_skeleton->startAnimation();
    }
    m_adapter->setTopBackgroundVisible(false);
    m_loaded = false;
    m_timedOut = false;
    m_browser->setProperty("startupUrl", pageUrl());
    m_browser->load();
    m_loadTimer->start(loadTimeoutMSec());
}

void KZelvaCrossTerminalPanel::onMainWindowChanged() {}

void KZelvaCrossTerminalPanel::onAppActivated() {}

void KZelvaCrossTerminalPanel::onSkinChange() {}

bool KZelvaCrossTerminalPanel::showSubWidget(const QVariantMap &data)
{
    if (!m_subWidget) {
        m_subWidget = new KZelvaCrossTerminalPanelSubWidget(this);
        connect(this, &KZelvaCrossTerminalPanel::sigAboutToHide, m_subWidget.data(),
                &KZelvaCrossTerminalPanelSubWidget::closeSubWidget);
    }
    return m_subWidget->showBeside(this, data);
}

KZelvaCrossTerminalPanelSubWidget *KZelvaCrossTerminalPanel::subWidget() const
{
    return m_subWidget.data();
}

bool KZelvaCrossTerminalPanel::closeSubWidget()
{
    if (!m_subWidget)
        return false;
    m_subWidget->closeSubWidget();
    return true;
}

void KZelvaCrossTerminalPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    writeLog(0, QStringLiteral("%1 : panel shown").arg(QStringLiteral("showEvent")));
    if (KZelvaCrossTerminalJsApi *api = jsApi())
        api->notifyJsRefreshWebContainer();
    else
        m_refreshPendingOnApi = true;
    if (KWorkAreaLabelSync *labels = KWorkAreaLabelSync::instance())
        labels->sendPanelOpenStatus();
    Q_EMIT sigAboutToShow();
}

void KZelvaCrossTerminalPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    writeLog(0, QStringLiteral("%1 : panel hidden").arg(QStringLiteral("hideEvent")));
    if (m_filteredWindow)
        m_filteredWindow->removeEventFilter(this);
    m_filteredWindow.clear();
    if (KWorkAreaLabelSync *labels = KWorkAreaLabelSync::instance())
        labels->sendPanelCloseStatus();
    Q_EMIT sigAboutToHide();
}

void KZelvaCrossTerminalPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KZelvaCrossTerminalPanel::closeUnlessActiveHere()
{
    if (!isVisible())
        return;
    // Activation that went to the panel itself or one of its dialogs keeps it.
    QWidget *active = QApplication::activeWindow();
    for (QWidget *w = active; w; w = w->parentWidget()) {
        if (w == this)
            return;
    }
    if (frameGeometry().contains(QCursor::pos()))
        return;
    if (m_subWidget && m_subWidget->isVisible() && m_subWidget->frameGeometry().contains(QCursor::pos()))
        return;
    close();
}

bool KZelvaCrossTerminalPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filteredWindow && isVisible()) {
        switch (int(event->type())) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case kClosePopupsEvent:
            writeLog(0, QStringLiteral("%1 : main window event %2, panel closes")
                            .arg(QStringLiteral("eventFilter"))
                            .arg(int(event->type())));
            close();
            break;
        case QEvent::WindowDeactivate:
        case QEvent::FocusOut:
            // Decided once the activation has settled on its new window.
            QTimer::singleShot(0, this, &KZelvaCrossTerminalPanel::closeUnlessActiveHere);
            break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
