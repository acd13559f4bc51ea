// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kliteskeletonloadwidget.h"

#include <QDateTime>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

KLiteSkeletonLoadWidget::KLiteSkeletonLoadWidget(QWidget *parent)
    : QWidget(parent)
    , m_timer(new QTimer(this))
{
    // About 30 frames a second while the band moves.
    m_timer->setInterval(33);
    connect(m_timer, &QTimer::timeout, this, QOverload<>::of(&QWidget::update));
}

KLiteSkeletonLoadWidget::~KLiteSkeletonLoadWidget() = default;

void KLiteSkeletonLoadWidget::setInterval(int msec)
{
    m_interval = qMax(100, msec);
}

void KLiteSkeletonLoadWidget::setColors(const QColor &background, const QColor &gradient, qreal stop)
{
    m_background = background;
    m_gradient = gradient;
    m_stop = qBound<qreal>(0, stop, 1);
    update();
}

void KLiteSkeletonLoadWidget::startAnimation()
{
    m_startedMs = QDateTime::currentMSecsSinceEpoch();
    m_timer->start();
}

void KLiteSkeletonLoadWidget::stopAnimation()
{
    m_timer->stop();
}

bool KLiteSkeletonLoadWidget::isAnimating() const
{
    return m_timer->isActive();
}

void KLiteSkeletonLoadWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = skeletonPath();
    painter.fillPath(path, m_background);
    if (!isAnimating())
        return;
    const qreal phase = qreal((QDateTime::currentMSecsSinceEpoch() - m_startedMs) % m_interval) / m_interval;
    const qreal band = width() / 2.0;
    const qreal x = -band + phase * (width() + band);
    QLinearGradient gradient(x, 0, x + band, 0);
    QColor clear = m_gradient;
    clear.setAlpha(0);
    gradient.setColorAt(0, clear);
    gradient.setColorAt(m_stop, m_gradient);
    gradient.setColorAt(1, clear);
    painter.fillPath(path, gradient);
}
