// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "leftcrosspanelversionadapter.h"

#include <klitestyle.h>

#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

QRect LeftCrossPanelVersionAdapter::leftPlacement(const QSize &size, const QRect &btnRect, const QRect &available)
{
    QRect rect(QPoint(btnRect.left(), btnRect.bottom() + 6), size);
    if (rect.bottom() > available.bottom())
        rect.moveBottom(available.bottom());
    if (rect.right() > available.right())
        rect.moveRight(available.right());
    if (rect.left() < available.left())
        rect.moveLeft(available.left());
    if (rect.top() < available.top())
        rect.moveTop(available.top());
    return rect;
}

int LeftCrossPanelVersionAdapter::shadowOffset()
{
    return CrossPanelVersionAdapter::shadowOffset();
}

void LeftCrossPanelVersionAdapter::adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect)
{
    if (!panel || !targetWidget)
        return;
    panel->setFixedSize(firstGenerationSize(targetWidget));
    QScreen *screen = QGuiApplication::screenAt(btnRect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 20, 1 << 20));
    panel->setGeometry(leftPlacement(panel->size(), btnRect, available));
}

void LeftCrossPanelVersionAdapter::adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect,
                                                            int)
{
    // Anchored to the button: the same size and place as on popup.
    adjustOnPopup(panel, targetWidget, btnRect);
}

QString LeftCrossPanelVersionAdapter::url()
{
    return QStringLiteral("/mui/default/html/crossterminal/index.html");
}

void LeftCrossPanelVersionAdapter::paintSkeleton(QPainterPath *path)
{
    static const QRect shapes[] = {
        {16, 16, 160, 24}, {16, 60, 368, 60},  {16, 140, 32, 32}, {60, 146, 324, 20},
        {16, 188, 32, 32}, {60, 194, 324, 20}, {16, 236, 32, 32}, {60, 242, 324, 20},
    };
    addShapes(path, shapes, 6);
}
