// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelshadowwidget.h"

#include <kliteshadowborder.h>
#include <klitestyle.h>
#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>

#ifdef KZ_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

bool KZelvaCrossTerminalPanelShadowWidget::compositorRunning()
{
#ifdef KZ_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    // A compositing manager owns the selection "_NET_WM_CM_S<screen>".
    const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S") + QByteArray::number(screen);
    bool running = false;
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr);
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t *owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        running = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    xcb_disconnect(connection);
    return running;
#else
    return false;
#endif
}

KZelvaCrossTerminalPanelShadowWidget::KZelvaCrossTerminalPanelShadowWidget(QWidget *panel, const QString &themeClass,
                                                                           int shadowOffset)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                           | (panel && (panel->windowFlags() & Qt::WindowStaysOnTopHint) ? Qt::WindowStaysOnTopHint
                                                                                         : Qt::WindowFlags()))
    , m_panel(panel)
    , m_composited(compositorRunning())
    , m_offset(shadowOffset)
{
    setObjectName(themeClass);
    if (m_composited)
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (panel) {
        panel->installEventFilter(this);
        connect(panel, &QObject::destroyed, this, &QObject::deleteLater);
    }
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        if (app->zelvaSkin())
            connect(app->zelvaSkin(), &KZelvaSkin::skinChanged, this,
                    &KZelvaCrossTerminalPanelShadowWidget::onSkinChanged);
    }
    onSkinChanged();
}

QRect KZelvaCrossTerminalPanelShadowWidget::shadowGeometry(const QRect &panelFrame, int blur, int offset)
{
    const int b = blur + 2;
    const int v = blur + offset + 2;
    return QRect(panelFrame.x() - b, panelFrame.y() - v, panelFrame.width() + 2 * b, panelFrame.height() + 2 * v);
}

void KZelvaCrossTerminalPanelShadowWidget::updateGeometryFromPanel()
{
    if (m_panel && !m_composited)
        setGeometry(m_panel->frameGeometry().adjusted(-1, -1, 1, 1));
    else if (m_panel)
        setGeometry(
            shadowGeometry(m_panel->frameGeometry(), KLiteStyle::dpiScaled(m_blur), KLiteStyle::dpiScaled(m_offset)));
}

void KZelvaCrossTerminalPanelShadowWidget::onSkinChanged()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    const bool dark = app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
    // A darker skin needs a stronger shadow to be seen at all.
    m_shadow = dark ? QColor(0, 0, 0, 64) : QColor(0, 0, 0, 16);
    m_border = dark ? QColor(0x4a, 0x4d, 0x54) : QColor(0xc4, 0xc8, 0xce);
    update();
}

bool KZelvaCrossTerminalPanelShadowWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel) {
        switch (event->type()) {
        case QEvent::Show:
            updateGeometryFromPanel();
            show();
            m_panel->raise();
            m_panel->activateWindow();
            break;
        case QEvent::Hide: hide(); break;
        case QEvent::Move:
        case QEvent::Resize: updateGeometryFromPanel(); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool KZelvaCrossTerminalPanelShadowWidget::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_panel && m_panel->isVisible())
        m_panel->activateWindow();
    return QWidget::event(event);
}

void KZelvaCrossTerminalPanelShadowWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_composited) {
        painter.fillRect(rect(), m_border);
        return;
    }
    painter.fillRect(rect(), m_background);
    const int blur = KLiteStyle::dpiScaled(m_blur);
    const int b = blur + 2;
    const int v = blur + KLiteStyle::dpiScaled(m_offset) + 2;
    // Rings of falling alpha from the panel's edge outwards.
    KLiteShadowBorder::paintShadow(&painter, QRectF(rect()).adjusted(b, v, -b, -v), blur, 4, m_shadow);
}
