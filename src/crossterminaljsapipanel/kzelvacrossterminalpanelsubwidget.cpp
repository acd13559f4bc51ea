// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelsubwidget.h"

#include "kzelvacrossterminalpanelshadowwidget.h"
#include "kzelvacrossterminalpanelsubjsapi.h"
#include "kzelvacrossterminalskinpictures.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareahelper.h"

#include <kliteshadowborder.h>
#include <klitestyle.h>
#include <kwebskeletonloadwidget.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainterPath>
#include <QScreen>
#include <QStackedLayout>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr char kErrorPage[] = "/mui/zh_CN/res/web/error-link/index.html";
constexpr char kViewName[] = "kzelva_crossterminalpanel_subwidget";
// Room between the panel and the sub-widget, clear of the panel's shadow.
constexpr int kGap = 16;

bool isDark()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
}

// A page's size value: a finite number, clamped to [low, high]; text and
// anything else are refused.
bool sideOf(const QVariant &value, int low, int high, int *side)
{
    bool ok = false;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: ok = true; break;
    default: return false;
    }
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *side = int(qBound(double(low), v, double(high)));
    return true;
}

void addSkeleton(QPainterPath *path)
{
    path->addRoundedRect(QRectF(16, 16, 160, 20), 6, 6);
    for (int row = 0; row < 5; ++row) {
        path->addRoundedRect(QRectF(16, 56 + row * 40, 24, 24), 6, 6);
        path->addRoundedRect(QRectF(52, 60 + row * 40, 220, 16), 6, 6);
    }
}

} // namespace

const QLatin1String KZelvaCrossTerminalPanelSubWidget::PagePath("/mui/default/html/crossterminal/childContainer.html");
const QLatin1String KZelvaCrossTerminalPanelSubWidget::ApiName("crossterminalpanelsubwidget");

KZelvaCrossTerminalPanelSubWidget::KZelvaCrossTerminalPanelSubWidget(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_border(new KLiteShadowBorder(ShadowWidth, ShadowRadius))
    , m_layout(new QStackedLayout)
    , m_skeleton(new KWebSkeletonLoadWidget(addSkeleton))
    , m_waitReady(new QTimer(this))
{
    setObjectName(QStringLiteral("KZelvaCrossTerminalPanelSubWidget"));
    setWindowTitle(tr("documents"));
    setAttribute(Qt::WA_StyledBackground);
    // The shadow shows only where a compositing manager blends the window.
    if (KZelvaCrossTerminalPanelShadowWidget::compositorRunning())
        setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(KLiteStyle::dpiScaled(FixedWidth));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_border);
    auto *inside = new QWidget;
    inside->setLayout(m_layout);
    m_border->setWidget(inside);
    m_layout->addWidget(m_skeleton);
    m_waitReady->setSingleShot(true);
    m_waitReady->setInterval(WaitReadyMSec);
    connect(m_waitReady, &QTimer::timeout, this, &KZelvaCrossTerminalPanelSubWidget::onWaitReadyTimeout);

    m_container = new KxWebViewContainer(QLatin1String(kViewName), this);
    m_api = new KZelvaCrossTerminalPanelSubJsApi(m_container, this);
    m_container->setApi(m_api);
    initSchemeHandler();
    connect(m_container, &KxWebViewContainer::loadFinished, this, &KZelvaCrossTerminalPanelSubWidget::onLoadFinished);
    connect(m_container, &KxWebViewContainer::renderProcessTerminated, this,
            &KZelvaCrossTerminalPanelSubWidget::onRenderProcAbnormalTerminate);
    if (KZelvaApplication *app = KZelvaApplication::instance(); app && app->zelvaSkin())
        connect(app->zelvaSkin(), &KZelvaSkin::skinChanged, this, &KZelvaCrossTerminalPanelSubWidget::onSkinChange);
    onSkinChange();
    onBrowserCreated();
    loadWebView();
}

KZelvaCrossTerminalPanelSubWidget::~KZelvaCrossTerminalPanelSubWidget() = default;

QString KZelvaCrossTerminalPanelSubWidget::pageUrl() const
{
    return QUrl::fromLocalFile(QDir(KZelvaWorkAreaBrowser::resourceDir()).absolutePath() + PagePath).toString()
           + (isDark() ? QStringLiteral("?skin=dark") : QStringLiteral("?skin=light"));
}

QString KZelvaCrossTerminalPanelSubWidget::currentUrl() const
{
    return m_container ? m_container->url().toString() : QString();
}

bool KZelvaCrossTerminalPanelSubWidget::isWaitingForReady() const
{
    return m_waitReady->isActive();
}

QColor KZelvaCrossTerminalPanelSubWidget::backgroundColor() const
{
    return palette().color(QPalette::Window);
}

void KZelvaCrossTerminalPanelSubWidget::initSchemeHandler()
{
    KZelvaCrossTerminalSkinPictures::serveTo(m_container, "initSchemeHandler");
}

void KZelvaCrossTerminalPanelSubWidget::onBrowserCreated()
{
    if (!m_container) {
        writeLog(1, QStringLiteral("%1: failed! container is nullptr").arg(QStringLiteral("onBrowserCreated")));
        return;
    }
    m_layout->addWidget(m_container);
    m_layout->setCurrentWidget(m_skeleton);
    m_skeleton->startAnimation();
}

void KZelvaCrossTerminalPanelSubWidget::loadWebView()
{
    if (!m_container) {
        writeLog(1, QStringLiteral("%1: failed! container is nullptr").arg(QStringLiteral("loadWebView")));
        return;
    }
    m_pageReady = false;
    m_layout->setCurrentWidget(m_skeleton);
    m_container->load(QUrl(pageUrl()));
}

void KZelvaCrossTerminalPanelSubWidget::reloadUrl()
{
    writeLog(0, QStringLiteral("%1: %2").arg(QStringLiteral("reloadUrl"), pageUrl()));
    m_waitReady->stop();
    loadWebView();
}

void KZelvaCrossTerminalPanelSubWidget::loadErrorPage()
{
    if (!m_container)
        return;
    const QString error =
        QUrl::fromLocalFile(QDir(KZelvaWorkAreaBrowser::resourceDir()).absolutePath() + QLatin1String(kErrorPage))
            .toString();
    writeLog(2, QStringLiteral("%1: error page %2").arg(QStringLiteral("loadErrorPage"), error));
    m_layout->setCurrentWidget(m_container);
    m_skeleton->stopAnimation();
    m_container->load(QUrl(error));
}

void KZelvaCrossTerminalPanelSubWidget::onLoadFinished(bool ok)
{
    writeLog(0,
             QStringLiteral("%1: ok = %2, ready = %3").arg(QStringLiteral("onLoadFinished")).arg(ok).arg(m_pageReady));
    if (m_pageReady)
        return;
    if (!ok)
        loadErrorPage();
    m_waitReady->start();
}

void KZelvaCrossTerminalPanelSubWidget::setPageReady()
{
    if (m_pageReady)
        return;
    m_pageReady = true;
    m_waitReady->stop();
    m_skeleton->stopAnimation();
    if (m_container)
        m_layout->setCurrentWidget(m_container);
}

void KZelvaCrossTerminalPanelSubWidget::onWaitReadyTimeout()
{
    if (m_pageReady)
        return;
    writeLog(
        2,
        QStringLiteral("%1: page not ready after %2 ms").arg(QStringLiteral("onWaitReadyTimeout")).arg(WaitReadyMSec));
    loadErrorPage();
}

void KZelvaCrossTerminalPanelSubWidget::onRenderProcAbnormalTerminate(int status, int exitCode)
{
    writeLog(2, QStringLiteral("%1: status = %2, exitCode = %3")
                    .arg(QStringLiteral("onRenderProcAbnormalTerminate"))
                    .arg(status)
                    .arg(exitCode));
    if (!m_container) {
        closeSubWidget();
        return;
    }
    reloadUrl();
}

void KZelvaCrossTerminalPanelSubWidget::closeSubWidget()
{
    m_waitReady->stop();
    close();
    Q_EMIT signalCloseWidget();
}

void KZelvaCrossTerminalPanelSubWidget::executeJavaScript(const QString &script)
{
    if (!m_container) {
        writeLog(1, QStringLiteral("%1: failed! container is nullptr").arg(QStringLiteral("executeJavaScript")));
        return;
    }
    writeLog(0, QStringLiteral("%1: %2").arg(QStringLiteral("executeJavaScript"), script.left(512)));
    m_container->runJavaScript(script);
}

void KZelvaCrossTerminalPanelSubWidget::onSkinChange()
{
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(isDark() ? QStringLiteral("#212121") : QStringLiteral("#FFFFFF")));
    setPalette(p);
    // A translucent window leaves its background to the border.
    setAutoFillBackground(!testAttribute(Qt::WA_TranslucentBackground));
    m_border->setColors(isDark() ? QColor(0, 0, 0, 64) : QColor(0, 0, 0, 16),
                        QColor(isDark() ? QStringLiteral("#4a4d52") : QStringLiteral("#c9cdd3")));
    m_skeleton->onSkinChanged();
    // A loaded page follows the skin without a reload.
    if (m_pageReady)
        executeJavaScript(QStringLiteral("document.documentElement.dataset.skin='%1';")
                              .arg(isDark() ? QStringLiteral("dark") : QStringLiteral("light")));
}

bool KZelvaCrossTerminalPanelSubWidget::resizeFromPage(const QVariant &width, const QVariant &height)
{
    int w = 0;
    int h = 0;
    if (!sideOf(width, MinSide, MaxWidth, &w) || !sideOf(height, MinSide, MaxHeight, &h))
        return false;
    setFixedSize(KLiteStyle::dpiScaled(w), KLiteStyle::dpiScaled(h));
    if (QWidget *anchor = parentWidget(); anchor && isVisible())
        placeBeside(anchor);
    return true;
}

bool KZelvaCrossTerminalPanelSubWidget::showBeside(QWidget *anchor, const QVariantMap &data)
{
    int h = 0;
    if (!sideOf(data.value(QStringLiteral("height")), MinSide, MaxHeight, &h)) {
        writeLog(2, QStringLiteral("%1 : failed! height is not a number").arg(QStringLiteral("showSubWidget")));
        return false;
    }
    m_data = data;
    setFixedHeight(KLiteStyle::dpiScaled(h));
    placeBeside(anchor);
    if (isVisible())
        m_api->notifyShow(); // the page shows the new data
    show();
    raise();
    return true;
}

void KZelvaCrossTerminalPanelSubWidget::placeBeside(QWidget *anchor)
{
    if (!anchor)
        return;
    const QRect panel = anchor->frameGeometry();
    QScreen *screen = QGuiApplication::screenAt(panel.topLeft());
    const QRect avail = screen ? screen->availableGeometry() : QRect(panel.topLeft(), QSize(4096, 4096));
    const int gap = KLiteStyle::dpiScaled(kGap);
    // Left of the panel (it opens under a button at the right); right of it
    // when the screen has no room there.
    int x = panel.left() - gap - width();
    if (x < avail.left())
        x = panel.right() + 1 + gap;
    x = qBound(avail.left(), x, qMax(avail.left(), avail.right() + 1 - width()));
    const int y = qBound(avail.top(), panel.top(), qMax(avail.top(), avail.bottom() + 1 - height()));
    move(x, y);
}

void KZelvaCrossTerminalPanelSubWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_api->notifyShow();
    Q_EMIT signalNotifyAll();
}

void KZelvaCrossTerminalPanelSubWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        closeSubWidget();
        return;
    }
    QWidget::keyPressEvent(event);
}
