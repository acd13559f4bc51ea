// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kwebintegratedpanel.h"

#include "kwebintegratedpaneljsapi.h"

#include <kxwebviewcontainer.h>
#include <kzelvaskin.h>
#include <kzelvaapplication.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 520;
} // namespace

KWebIntegratedPanel::KWebIntegratedPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_view(new KxWebViewContainer(QStringLiteral("kwebintegratedpanel"), this))
{
    setObjectName(QStringLiteral("kwebintegratedpanel"));
    setWindowTitle(tr("Tabs and recently closed"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_view);
    auto *api = new KWebIntegratedPanelJsApi(m_view, this);
    m_view->setApi(api);
    connect(api, &KWebIntegratedPanelJsApi::closeRequested, this, &QWidget::hide);
    resize(kWidth, kHeight);
}

QString KWebIntegratedPanel::pageUrl()
{
    const QString page = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                         + QStringLiteral("/../share/zelvashell/kwebintegratedpanel/index.html"));
    const bool dark = zelvaApp && zelvaApp->zelvaSkin() && zelvaApp->zelvaSkin()->isDarkSkin();
    return QUrl::fromLocalFile(page).toString() + (dark ? QStringLiteral("?skin=dark") : QStringLiteral("?skin=light"));
}

int KWebIntegratedPanel::run(const QVariantMap &params)
{
    const QRect button(params.value(QStringLiteral("btnX")).toInt(), params.value(QStringLiteral("btnY")).toInt(),
                       params.value(QStringLiteral("btnWidth")).toInt(),
                       params.value(QStringLiteral("btnHeight")).toInt());
    QScreen *screen = QGuiApplication::screenAt(button.center());
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 4096, 4096);
    // Under the button, right edges aligned, kept on the screen.
    int x = qBound(avail.left(), button.right() + 1 - width(), qMax(avail.left(), avail.right() + 1 - width()));
    int y = qBound(avail.top(), button.bottom() + 7, qMax(avail.top(), avail.bottom() + 1 - height()));
    move(x, y);
    // A fresh listing each time the panel opens.
    m_view->load(QUrl(pageUrl()));
    show();
    raise();
    activateWindow();
    return 0;
}

void KWebIntegratedPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KWebIntegratedPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // The page's script object learns the panel closed.
    m_view->runJavaScript(QStringLiteral("window.kzPanelHidden && window.kzPanelHidden();"));
}
