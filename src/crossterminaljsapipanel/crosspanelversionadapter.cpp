// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "crosspanelversionadapter.h"

#include <klitestyle.h>

#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

CrossPanelVersionAdapter::CrossPanelVersionAdapter(QObject *parent)
    : QObject(parent)
{
}

int CrossPanelVersionAdapter::shadowOffset()
{
    return 4;
}

void CrossPanelVersionAdapter::adjustOnPopup(QWidget *, QWidget *, const QRect &) {}

void CrossPanelVersionAdapter::adjustOnMainWindowResize(QWidget *, QWidget *, const QRect &, int) {}

QRect CrossPanelVersionAdapter::placement(const QSize &size, const QRect &btnRect, const QRect &available, bool fit,
                                          int shadowOffset)
{
    QRect rect(QPoint(0, 0), size);
    rect.moveTop(btnRect.bottom() + 6);
    rect.moveRight(btnRect.right());
    if (rect.bottom() > available.bottom()) {
        if (fit && rect.height() > available.height())
            rect.moveTop(available.top() + shadowOffset);
        else
            rect.moveBottom(available.bottom());
        if (rect.intersects(btnRect))
            rect.moveRight(btnRect.left());
    }
    if (rect.left() < available.left()) {
        rect.moveLeft(available.left());
        if (rect.intersects(btnRect))
            rect.moveLeft(btnRect.right());
    }
    return rect;
}

void CrossPanelVersionAdapter::placePanel(QWidget *panel, const QRect &btnRect, bool fit)
{
    QScreen *screen = QGuiApplication::screenAt(btnRect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 20, 1 << 20));
    panel->setGeometry(placement(panel->size(), btnRect, available, fit, KLiteStyle::dpiScaled(shadowOffset())));
}

void CrossPanelVersionAdapter::addShapes(QPainterPath *path, const QRect *shapes, size_t count, int radius)
{
    const qreal scaled = KLiteStyle::dpiScaled(radius);
    for (size_t i = 0; i < count; ++i)
        path->addRoundedRect(KLiteStyle::dpiScaledRect(shapes[i]), scaled, scaled);
}
