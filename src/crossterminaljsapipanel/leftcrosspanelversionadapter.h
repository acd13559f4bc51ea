// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "crosspanelversionadapterv2.h"

/*
 * The panel opened from a button on the main window's left: 400 wide and
 * as tall as the first generation, its left edge on the button's left edge,
 * 6 pixels below it, kept on the screen; it follows the main window's
 * resizes. The page index.html, the second generation's top background.
 * The panel does not use it.
 */
class LeftCrossPanelVersionAdapter : public CrossPanelVersionAdapterV2
{
    Q_OBJECT
public:
    using CrossPanelVersionAdapterV2::CrossPanelVersionAdapterV2;

    // `size` anchored under the left side of `btnRect` inside `available`.
    static QRect leftPlacement(const QSize &size, const QRect &btnRect, const QRect &available);

    int shadowOffset() override;
    void adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect) override;
    void adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect, int height) override;
    QString url() override;
    void paintSkeleton(QPainterPath *path) override;
};
