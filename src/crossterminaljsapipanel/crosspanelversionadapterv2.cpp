// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "crosspanelversionadapterv2.h"

#include "crosspanelversionadapterv1.h"
#include "kzelvacrossterminalpanelbackwidget.h"

#include <klitestyle.h>
#include <kzelvamainwindow.h>

#include <QPainterPath>
#include <QWidget>

#include <cmath>

int CrossPanelVersionAdapterV2::heightOnResize(int mainWindowHeight, int givenHeight)
{
    return qMax(qMin(int(std::trunc(mainWindowHeight * 0.8)), givenHeight - 12), Height);
}

int CrossPanelVersionAdapterV2::mainWindowHeight(QWidget *targetWidget)
{
    auto *window = targetWidget ? qobject_cast<KZelvaMainWindow *>(targetWidget->window()) : nullptr;
    return window ? qRound(window->height() / KLiteStyle::dpiFactor()) : 0;
}

QSize CrossPanelVersionAdapterV2::firstGenerationSize(QWidget *targetWidget)
{
    using V1 = CrossPanelVersionAdapterV1;
    const int height = mainWindowHeight(targetWidget);
    return KLiteStyle::dpiScaledSize(QSize(V1::Width, height ? V1::heightFor(height) : V1::Height));
}

int CrossPanelVersionAdapterV2::shadowOffset()
{
    return 6;
}

void CrossPanelVersionAdapterV2::adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect)
{
    if (!panel || !targetWidget)
        return;
    panel->setFixedSize(KLiteStyle::dpiScaledSize(QSize(Width, Height)));
    placePanel(panel, btnRect, true);
}

void CrossPanelVersionAdapterV2::adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect,
                                                          int height)
{
    if (!panel || !targetWidget)
        return;
    panel->setFixedHeight(KLiteStyle::dpiScaled(heightOnResize(mainWindowHeight(targetWidget), height)));
    placePanel(panel, btnRect, true);
}

QString CrossPanelVersionAdapterV2::url()
{
    return QStringLiteral("/mui/default/html/crossterminal/indexv2.html");
}

QWidget *CrossPanelVersionAdapterV2::createTopBackground(QWidget *panel)
{
    auto *widget = new KZelvaCrossTerminalPanelBackWidget(panel);
    widget->hide();
    m_topBackground = widget;
    return widget;
}

void CrossPanelVersionAdapterV2::setTopBackgroundVisible(bool visible)
{
    if (m_topBackground)
        m_topBackground->setVisible(visible);
}

void CrossPanelVersionAdapterV2::paintSkeleton(QPainterPath *path)
{
    // A header, the device strip, then rows of documents.
    static const QRect shapes[] = {
        {16, 16, 120, 24}, {352, 16, 32, 24},  {16, 60, 368, 72}, {16, 152, 160, 20},
        {16, 188, 32, 32}, {60, 194, 324, 20}, {16, 236, 32, 32}, {60, 242, 324, 20},
        {16, 284, 32, 32}, {60, 290, 324, 20}, {16, 332, 32, 32}, {60, 338, 324, 20},
    };
    addShapes(path, shapes, 8);
}
