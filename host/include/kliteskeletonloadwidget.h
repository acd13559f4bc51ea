// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QColor>
#include <QPainterPath>
#include <QWidget>

class QTimer;

/*
 * The UI kit's loading placeholder: grey shapes (a painter path) with a
 * lighter band sweeping over them, one round per interval, while started.
 * Subclasses give the shapes (skeletonPath) and may change the colours.
 * Owner: its Qt parent. GUI thread.
 */
class KZELVASHELL_EXPORT KLiteSkeletonLoadWidget : public QWidget
{
    Q_OBJECT
public:
    explicit KLiteSkeletonLoadWidget(QWidget *parent = nullptr);
    ~KLiteSkeletonLoadWidget() override;

    void setInterval(int msec);
    int interval() const { return m_interval; }
    void setColors(const QColor &background, const QColor &gradient, qreal stop);
    QColor backgroundColor() const { return m_background; }
    QColor gradientColor() const { return m_gradient; }

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;

protected:
    virtual QPainterPath skeletonPath() const = 0;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer *m_timer;
    int m_interval = 800;
    qint64 m_startedMs = 0;
    QColor m_background{0xee, 0xee, 0xee};
    QColor m_gradient{0xf8, 0xf8, 0xf8};
    qreal m_stop = 0.5;
};
