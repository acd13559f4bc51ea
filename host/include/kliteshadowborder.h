// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

/*
 * The UI kit's shadow border: holds one child widget and draws a soft
 * shadow (rings of falling alpha, rounded by the radius) in the margins
 * around it, the inside filled with the border's window colour. The shadow
 * shows only through a translucent window, so it is drawn when the window
 * has Qt::WA_TranslucentBackground; otherwise the margins are 1 px and hold
 * a plain line in the line colour. Widths are logical (DPI scaled here).
 * Owner: its Qt parent. GUI thread.
 */
class KZELVASHELL_EXPORT KLiteShadowBorder : public QWidget
{
    Q_OBJECT
public:
    KLiteShadowBorder(int shadowWidth, int radius, QWidget *parent = nullptr);

    // Takes `child` (reparented) as the widget inside the border.
    void setWidget(QWidget *child);
    QWidget *widget() const { return m_child; }
    int shadowWidth() const { return m_width; }
    int radius() const { return m_radius; }
    void setColors(const QColor &shadow, const QColor &line);
    QColor shadowColor() const { return m_shadow; }
    // Room around the child: the scaled shadow width through a translucent
    // window, 1 px otherwise.
    QMargins borderMargins() const;

    // Rings of falling alpha outwards from `inner` over `width` pixels.
    static void paintShadow(QPainter *painter, const QRectF &inner, int width, qreal radius, const QColor &color);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool translucent() const;

    QPointer<QWidget> m_child;
    int m_width;
    int m_radius;
    QColor m_shadow{0, 0, 0, 16};
    QColor m_line{0xc4, 0xc8, 0xce};
};
