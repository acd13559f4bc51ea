// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QRect>

#include <cstddef>

class QPainterPath;
class QWidget;

/*
 * What differs between the panel's generations: its size and placement,
 * its page, the themed top background and the loading placeholder's
 * shapes. The panel (its parent) asks its adapter; lengths are logical
 * pixels, scaled by the UI kit. GUI thread.
 */
class CrossPanelVersionAdapter : public QObject
{
    Q_OBJECT
public:
    explicit CrossPanelVersionAdapter(QObject *parent = nullptr);

    virtual int shadowOffset();
    virtual void adjustOnPopup(QWidget *panel, QWidget *targetWidget, const QRect &btnRect);
    virtual void adjustOnMainWindowResize(QWidget *panel, QWidget *targetWidget, const QRect &btnRect, int height);
    virtual QString url() = 0;
    virtual QWidget *createTopBackground(QWidget *panel) = 0;
    virtual void setTopBackgroundVisible(bool visible) = 0;
    virtual void paintSkeleton(QPainterPath *path) = 0;

    // `panel` of size `size` placed under `btnRect` (global) inside
    // `available`: right edges aligned 6 pixels below the button, moved up
    // (or to `available`'s top with `fit` when taller) and off the button.
    static QRect placement(const QSize &size, const QRect &btnRect, const QRect &available, bool fit, int shadowOffset);
    // Places `panel` with placement() on the screen of the button.
    void placePanel(QWidget *panel, const QRect &btnRect, bool fit);

protected:
    // Adds the placeholder's rounded shapes (logical pixels) to `path`, scaled.
    template<size_t N>
    static void addShapes(QPainterPath *path, const QRect (&shapes)[N], int radius)
    {
        addShapes(path, shapes, N, radius);
    }
    static void addShapes(QPainterPath *path, const QRect *shapes, size_t count, int radius);
};
