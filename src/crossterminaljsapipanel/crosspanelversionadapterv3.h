// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "crosspanelversionadapterv2.h"

/*
 * The third panel generation: the second one's page and top background,
 * sized as the first (400 x 600, then 80 % of the main window within 600 to
 * 1200), with a shorter placeholder. The panel does not use it.
 */
class CrossPanelVersionAdapterV3 : public CrossPanelVersionAdapterV2
{
    Q_OBJECT
public:
    using CrossPanelVersionAdapterV2::CrossPanelVersionAdapterV2;

    int shadowOffset() override;
    void adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect) override;
    void adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect, int height) override;
    void paintSkeleton(QPainterPath *path) override;
};
