// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kliteshadowborder.h"

#include "klitestyle.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

KLiteShadowBorder::KLiteShadowBorder(int shadowWidth, int radius, QWidget *parent)
    : QWidget(parent)
    , m_width(qMax(0, shadowWidth))
    , m_radius(qMax(0, radius))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(borderMargins());
}

void KLiteShadowBorder::setWidget(QWidget *child)
{
    if (m_child == child)
        return;
    if (m_child)
        layout()->removeWidget(m_child);
    m_child = child;
    if (child)
        layout()->addWidget(child);
}

void KLiteShadowBorder::setColors(const QColor &shadow, const QColor &line)
{
    m_shadow = shadow;
    m_line = line;
    update();
}

bool KLiteShadowBorder::translucent() const
{
    return window()->testAttribute(Qt::WA_TranslucentBackground);
}

QMargins KLiteShadowBorder::borderMargins() const
{
    const int m = translucent() ? KLiteStyle::dpiScaled(m_width) : 1;
    return QMargins(m, m, m, m);
}

bool KLiteShadowBorder::event(QEvent *event)
{
    // The window may turn translucent after the border was made.
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange)
        layout()->setContentsMargins(borderMargins());
    return QWidget::event(event);
}

void KLiteShadowBorder::paintShadow(QPainter *painter, const QRectF &inner, int width, qreal radius,
                                    const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    for (int i = width; i > 0; --i) {
        QColor c = color;
        c.setAlphaF(color.alphaF() * (1.0 - qreal(i) / (width + 1)));
        QPainterPath ring;
        ring.addRoundedRect(inner.adjusted(-i, -i, i, i), radius + i, radius + i);
        painter->fillPath(ring, c);
    }
    painter->restore();
}

void KLiteShadowBorder::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner = rect().marginsRemoved(borderMargins());
    const QColor background = palette().color(QPalette::Window);
    if (!translucent()) {
        painter.fillRect(rect(), m_line);
        painter.fillRect(inner, background);
        return;
    }
    const qreal r = KLiteStyle::dpiScaled(m_radius);
    paintShadow(&painter, inner, KLiteStyle::dpiScaled(m_width), r, m_shadow);
    QPainterPath path;
    path.addRoundedRect(QRectF(inner), r, r);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, background);
}
