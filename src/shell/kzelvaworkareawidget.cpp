// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareawidget.h"

#include "kzelvadpi.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareasettingswrapper.h"
#include "kzelvaworkareausageevent.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvaskin.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kBorder = 1;
// A page that never asks to be shown (a script error) is shown anyway.
constexpr int kShowPageFallbackMs = 3000;
const char kRefreshScript[] = "typeof onRefreshCallback === 'function' && onRefreshCallback(%1)";

int pageReadyType()
{
    static const int type = KZelvaMultiControlBool::registerControlType(QStringLiteral("workAreaPopupPageReady"));
    return type;
}

// The sync controls act on the user's "workarea" settings through the manager's wrapper.
KZelvaWorkAreaSettingsWrapper *settingsWrapper()
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    return manager ? manager->settingsWrapper() : nullptr;
}

} // namespace

KZelvaWorkAreaWidget::KZelvaWorkAreaWidget(KZelvaMainWindow *window, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_window(window)
    , m_browser(new KZelvaWorkAreaBrowser(window, this))
{
    setObjectName(QStringLiteral("KZelvaWorkAreaWidget"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    layout->setSpacing(0);
    layout->addWidget(m_browser);
    resize(kzDpiScaled(DefaultWidth, this), kzDpiScaled(DefaultHeight, this));

    setPageSource(pageReadyType(), false);
    connect(m_browser, &KZelvaWorkAreaBrowser::queryClose, this, &KZelvaWorkAreaWidget::onBrowserQueryClose);
    connect(m_browser, &KZelvaWorkAreaBrowser::querySetVisible, this, &KZelvaWorkAreaWidget::onBrowserQuerySetVisible);
    connect(m_browser, &KZelvaWorkAreaBrowser::loadFinished, this, [this](bool ok) {
        if (!ok)
            writeLog(1, QStringLiteral("KZelvaWorkAreaWidget : failed! the work-area page did not load"));
        QTimer::singleShot(ok ? kShowPageFallbackMs : 0, this, [this] {
            if (!m_pageVisibility.value()) {
                writeLog(2, QStringLiteral("KZelvaWorkAreaWidget : the page did not ask to be shown, showing it"));
                setPageSource(pageReadyType(), true);
            }
        });
    });
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        connect(app, &KZelvaApplication::currentMainWindowChanged, this,
                &KZelvaWorkAreaWidget::onCurrentMainWindowChanged);
        if (app->zelvaSkin())
            connect(app->zelvaSkin(), &KZelvaSkin::skinChanged, this, &KZelvaWorkAreaWidget::onSkinChanged);
    }
    if (m_window)
        m_window->installEventFilter(this);
}

KZelvaWorkAreaWidget::~KZelvaWorkAreaWidget()
{
    qApp->removeEventFilter(this);
}

KZelvaMainWindow *KZelvaWorkAreaWidget::mainWindow() const
{
    return qobject_cast<KZelvaMainWindow *>(m_window.data());
}

void KZelvaWorkAreaWidget::setPageSource(int type, bool visible)
{
    m_pageVisibility.set(type, visible);
    m_browser->setVisible(m_pageVisibility.value());
}

bool KZelvaWorkAreaWidget::isDarkSkin() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
}

void KZelvaWorkAreaWidget::popup(const QRect &anchor)
{
    setProperty("anchor", anchor);
    m_browser->setProperty("anchor", anchor);
    QScreen *screen = nullptr;
    if (anchor.isValid())
        screen = QGuiApplication::screenAt(anchor.center());
    if (!screen && m_window)
        screen = m_window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), size());
    QSize wanted = size().boundedTo(available.size());
    QRect placed;
    if (anchor.isValid()) {
        placed = KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor(QRect(QPoint(), wanted), anchor, available);
    } else {
        const QRect over = m_window ? m_window->frameGeometry() : available;
        placed = QRect(QPoint(), wanted);
        placed.moveCenter(over.center());
    }
    // Whatever side it went to, it stays on the screen.
    placed.moveLeft(qBound(available.left(), placed.left(), available.right() + 1 - placed.width()));
    placed.moveTop(qBound(available.top(), placed.top(), available.bottom() + 1 - placed.height()));
    setGeometry(placed);
    show();
    raise();
    activateWindow();
}

void KZelvaWorkAreaWidget::beforeShow()
{
    if (property("isBlockHook").toBool())
        return;
    setProperty("isOperationDuring", false);
    m_elapsed.start();
    KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::PanelShow);
}

void KZelvaWorkAreaWidget::showEvent(QShowEvent *event)
{
    beforeShow();
    qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void KZelvaWorkAreaWidget::refreshPage(const QJsonObject &detail)
{
    // Compact JSON is a JavaScript object literal.
    m_browser->runJavaScript(QString::fromLatin1(kRefreshScript)
                                 .arg(QString::fromUtf8(QJsonDocument(detail).toJson(QJsonDocument::Compact))));
}

void KZelvaWorkAreaWidget::closeWidget()
{
    if (m_closing)
        return;
    m_closing = true;
    const bool operated = property("isOperationDuring").toBool();
    KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::OperationResult,
                                   {{QStringLiteral("result"), operated ? QStringLiteral("operation")
                                                                        : QStringLiteral("no_operation")}});
    if (m_elapsed.isValid()) {
        KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::CloseWorkSpace,
                                       {{QStringLiteral("usedtime"), QString::number(m_elapsed.elapsed() / 1000)}});
        m_elapsed.invalidate();
    }
    qApp->removeEventFilter(this);
    if (m_window)
        m_window->removeEventFilter(this);
    Q_EMIT aboutToHide();
    close();
    deleteLater();
}

void KZelvaWorkAreaWidget::onWorkAreaDataChanged(KZelvaWorkArea *workArea)
{
    QJsonArray ids;
    if (workArea)
        ids.append(workArea->id());
    refreshPage({{QStringLiteral("workAreaIds"), ids}});
}

void KZelvaWorkAreaWidget::onPullClicked()
{
    if (KZelvaWorkAreaSettingsWrapper *wrapper = settingsWrapper())
        wrapper->pull();
}

void KZelvaWorkAreaWidget::onPushClicked()
{
    if (KZelvaWorkAreaSettingsWrapper *wrapper = settingsWrapper())
        wrapper->push();
}

void KZelvaWorkAreaWidget::onResloveUseMeClicked()
{
    if (KZelvaWorkAreaSettingsWrapper *wrapper = settingsWrapper())
        wrapper->resolveUseMe();
}

void KZelvaWorkAreaWidget::onBrowserQueryClose()
{
    closeWidget();
}

void KZelvaWorkAreaWidget::onBrowserQuerySetVisible(bool visible)
{
    setPageSource(pageReadyType(), visible);
    if (!visible || !isActiveWindow())
        return;
    // The keyboard goes to the page (the web view or its render widget).
    const QList<QWidget *> children = m_browser->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->focusPolicy() != Qt::NoFocus) {
            child->setFocus(Qt::PopupFocusReason);
            break;
        }
    }
}

void KZelvaWorkAreaWidget::onCurrentMainWindowChanged(KZelvaMainWindow *window)
{
    if (window && static_cast<QWidget *>(window) != m_window.data())
        closeWidget();
}

void KZelvaWorkAreaWidget::onThumbnailChanged()
{
    refreshPage({{QStringLiteral("previews"), true}});
}

void KZelvaWorkAreaWidget::onSkinChanged()
{
    m_browser->runJavaScript(QStringLiteral("typeof onSkinChanged === 'function' && onSkinChanged('%1')")
                                 .arg(isDarkSkin() ? QStringLiteral("dark") : QStringLiteral("light")));
    update();
}

bool KZelvaWorkAreaWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (m_closing)
        return false;
    if (watched == m_window) {
        if (!isVisible())
            return false;
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Hide:
        case QEvent::Close:
        case QEvent::WindowStateChange:
            closeWidget();
            break;
        default:
            break;
        }
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress || !isVisible())
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() == this || widget->window()->windowType() == Qt::Popup
        || QApplication::activePopupWidget())
        return false;
    const QPoint global = static_cast<QMouseEvent *>(event)->globalPos();
    if (frameGeometry().contains(global))
        return false;
    // A press on the corner button that opened the popup only closes it;
    // otherwise the button's click would open it again at once.
    const bool onAnchor = property("anchor").toRect().contains(global);
    closeWidget();
    return onAnchor;
}

void KZelvaWorkAreaWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        closeWidget();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KZelvaWorkAreaWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    const bool dark = isDarkSkin();
    painter.fillRect(rect(), dark ? QColor(0x1e, 0x20, 0x24) : QColor(0xf6, 0xf7, 0xf9));
    painter.setPen(dark ? QColor(0x3b, 0x3f, 0x46) : QColor(0xc9, 0xce, 0xd6));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
