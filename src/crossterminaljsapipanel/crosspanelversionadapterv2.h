// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "crosspanelversionadapter.h"

#include <QPointer>

/*
 * The second panel generation: 400 x 588, placed under the button and
 * fitted to the screen; when the main window resizes, as tall as 80 % of it
 * within 588 and the given height less 12. The page indexv2.html, a themed
 * top background (KZelvaCrossTerminalPanelBackWidget), its own
 * placeholder shapes. The panel does not use it.
 */
class CrossPanelVersionAdapterV2 : public CrossPanelVersionAdapter
{
    Q_OBJECT
public:
    using CrossPanelVersionAdapter::CrossPanelVersionAdapter;

    static constexpr int Width = 400;
    static constexpr int Height = 588;

    // The height after a main-window resize (logical pixels).
    static int heightOnResize(int mainWindowHeight, int givenHeight);

    int shadowOffset() override;
    void adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect) override;
    void adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect, int height) override;
    QString url() override;
    QWidget *createTopBackground(QWidget *panel) override;
    void setTopBackgroundVisible(bool visible) override;
    void paintSkeleton(QPainterPath *path) override;

protected:
    // The main window's height in logical pixels, 0 without one.
    static int mainWindowHeight(QWidget *targetWidget);
    // The first generation's size for the main window of `targetWidget`, DPI scaled.
    static QSize firstGenerationSize(QWidget *targetWidget);

private:
    QPointer<QWidget> m_topBackground;
};
