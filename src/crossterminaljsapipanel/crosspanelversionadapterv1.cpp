// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "crosspanelversionadapterv1.h"

#include <klitestyle.h>
#include <kzelvamainwindow.h>

#include <QPainterPath>
#include <QWidget>

#include <cmath>

int CrossPanelVersionAdapterV1::heightFor(int mainWindowHeight)
{
    return qMax(qMin(MaxHeight, int(std::trunc(mainWindowHeight * 0.8))), Height);
}

void CrossPanelVersionAdapterV1::adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect)
{
    if (!panel || !targetWidget)
        return;
    panel->setFixedSize(KLiteStyle::dpiScaledSize(QSize(Width, Height)));
    placePanel(panel, btnRect, false);
    auto *window = qobject_cast<KZelvaMainWindow *>(targetWidget->window());
    if (window)
        panel->setFixedHeight(KLiteStyle::dpiScaled(heightFor(qRound(window->height() / KLiteStyle::dpiFactor()))));
}

QString CrossPanelVersionAdapterV1::url()
{
    return QStringLiteral("/mui/default/html/crossterminal/index.html");
}

QWidget *CrossPanelVersionAdapterV1::createTopBackground(QWidget *panel)
{
    auto *widget = new QWidget(panel);
    widget->setObjectName(QStringLiteral("KZelvaCrossTerminalPanel_TopBackGround"));
    widget->setMinimumHeight(KLiteStyle::dpiScaled(218));
    widget->hide();
    m_topBackground = widget;
    return widget;
}

void CrossPanelVersionAdapterV1::setTopBackgroundVisible(bool visible)
{
    if (m_topBackground)
        m_topBackground->setVisible(visible);
}

void CrossPanelVersionAdapterV1::paintSkeleton(QPainterPath *path)
{
    static const QRect shapes[] = {
        {14, 18, 88, 24},   {354, 18, 24, 24},  {14, 70, 139, 24},  {250, 60, 40, 40},  {298, 60, 40, 40},
        {346, 60, 40, 40},  {14, 116, 372, 60}, {26, 208, 348, 32}, {26, 264, 139, 24}, {26, 312, 24, 24},
        {62, 316, 312, 16}, {26, 356, 24, 24},  {62, 360, 312, 16}, {26, 400, 24, 24},  {62, 404, 312, 16},
    };
    addShapes(path, shapes, 6);
}
