// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "crosspanelversionadapter.h"

#include <QPointer>

/*
 * The panel's adapter: 400 x 600 under the button, as tall as 80 % of the
 * main window within 600 to 1200; the page index.html; a plain top
 * background; 15 placeholder shapes.
 */
class CrossPanelVersionAdapterV1 : public CrossPanelVersionAdapter
{
    Q_OBJECT
public:
    using CrossPanelVersionAdapter::CrossPanelVersionAdapter;

    static constexpr int Width = 400;
    static constexpr int Height = 600;
    static constexpr int MaxHeight = 1200;

    // The fixed height for a main window `mainWindowHeight` high.
    static int heightFor(int mainWindowHeight);

    void adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect) override;
    QString url() override;
    QWidget *createTopBackground(QWidget *panel) override;
    void setTopBackgroundVisible(bool visible) override;
    void paintSkeleton(QPainterPath *path) override;

private:
    QPointer<QWidget> m_topBackground;
};
