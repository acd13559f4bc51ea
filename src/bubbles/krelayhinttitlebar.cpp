// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "krelayhinttitlebar.h"

#include "kzelvadpi.h"
#include "kzelvarelayhintwidget.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

KRelayHintTitleBar::KRelayHintTitleBar(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(tr("work with QOZ"), this))
    , m_close(new QPushButton(this))
{
    setFixedHeight(kzDpiScaled(44, this));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(kzDpiScaled(15, this), kzDpiScaled(11, this), kzDpiScaled(12, this),
                               kzDpiScaled(11, this));
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setFixedHeight(kzDpiScaled(22, this));
    m_title->setFont(KZelvaRelayHintWidget::hintFont(12, this));
    m_title->setProperty("themeClass", QStringLiteral("KZelvaRelayHintWidget_titleLabel"));
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setFixedSize(kzDpiScaled(16, this), kzDpiScaled(16, this));
    m_close->setIcon(QIcon(QStringLiteral(":/icons_svg/other/relay_bubble_hint_close.svg")));
    m_close->setIconSize(m_close->size());
    m_close->setFlat(true);
    m_close->setAccessibleName(tr("close"));
    layout->addWidget(m_title);
    layout->addStretch();
    layout->addWidget(m_close);
    connect(m_close, &QPushButton::clicked, this, &KRelayHintTitleBar::sigExit);
}

void KRelayHintTitleBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_grab = event->globalPos() - window()->frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void KRelayHintTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        QWidget *w = window();
        QPoint target = event->globalPos() - m_grab;
        const QScreen *screen = w->screen();
        if (screen) {
            // The whole dialog stays on the screen it is on.
            const QRect area = screen->availableGeometry();
            target.setX(qBound(area.left(), target.x(), qMax(area.left(), area.right() - w->width() + 1)));
            target.setY(qBound(area.top(), target.y(), qMax(area.top(), area.bottom() - w->height() + 1)));
        }
        w->move(target);
    }
    QWidget::mouseMoveEvent(event);
}

void KRelayHintTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
