// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ktoast.h"

#include "kzelvadpi.h"

#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

KToast::KToast(QWidget *relatedWindow)
    : QWidget(relatedWindow ? relatedWindow->window() : nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_related(relatedWindow ? relatedWindow->window() : nullptr)
    , m_label(new QLabel(this))
    , m_timer(new QTimer(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("KToast"));
    const int margin = kzDpiScaled(Margin, this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(margin * 3, margin * 2, margin * 3, margin * 2);
    layout->addWidget(m_label);
    m_label->setWordWrap(true);
    m_label->setMaximumWidth(kzDpiScaled(420, this));
    m_label->setStyleSheet(QStringLiteral("color: #ffffff; font-size: %1px;").arg(kzDpiScaled(13, this)));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::close);
}

KToast::~KToast() = default;

KToast *KToast::showToast(QWidget *relatedWindow, const QString &text, int msecs, int verticalOffset)
{
    auto *toast = new KToast(relatedWindow);
    toast->setText(text);
    toast->adjustSize();
    const QRect area = toast->m_related ? toast->m_related->frameGeometry() : QRect(QPoint(), toast->size());
    toast->move(position(area, toast->size(), kzDpiScaled(verticalOffset, toast)));
    toast->show();
    toast->raise();
    toast->m_timer->start(qMax(500, msecs));
    return toast;
}

QString KToast::text() const
{
    return m_label->text();
}

void KToast::setText(const QString &text)
{
    m_label->setText(text);
}

QPoint KToast::position(const QRect &windowRect, const QSize &size, int verticalOffset)
{
    return {windowRect.x() + (windowRect.width() - size.width()) / 2, windowRect.y() + verticalOffset};
}

void KToast::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int margin = kzDpiScaled(Margin, this);
    const bool dark = zelvaApp && zelvaApp->zelvaSkin() && zelvaApp->zelvaSkin()->isDarkSkin();
    painter.setPen(Qt::NoPen);
    painter.setBrush(dark ? QColor(0x3a, 0x3d, 0x44, 240) : QColor(0x24, 0x27, 0x2e, 230));
    const QRectF content = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    painter.drawRoundedRect(content, margin, margin);
}
