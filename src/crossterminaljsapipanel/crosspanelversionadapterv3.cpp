// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "crosspanelversionadapterv3.h"

#include "crosspanelversionadapterv1.h"

#include <klitestyle.h>

#include <QPainterPath>
#include <QWidget>

int CrossPanelVersionAdapterV3::shadowOffset()
{
    return CrossPanelVersionAdapter::shadowOffset();
}

void CrossPanelVersionAdapterV3::adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect)
{
    if (!panel || !targetWidget)
        return;
    // Placed at the first generation's 600 high, then given the main window's height.
    using V1 = CrossPanelVersionAdapterV1;
    panel->setFixedSize(KLiteStyle::dpiScaledSize(QSize(V1::Width, V1::Height)));
    placePanel(panel, btnRect, false);
    panel->setFixedSize(firstGenerationSize(targetWidget));
}

void CrossPanelVersionAdapterV3::adjustOnMainWindowResize(QWidget *, QWidget *, const QRect &, int) {}

void CrossPanelVersionAdapterV3::paintSkeleton(QPainterPath *path)
{
    static const QRect shapes[] = {
        {16, 16, 120, 24},  {352, 16, 32, 24}, {16, 60, 368, 96},  {16, 176, 32, 32},
        {60, 182, 324, 20}, {16, 224, 32, 32}, {60, 230, 324, 20},
    };
    addShapes(path, shapes, 8);
}
