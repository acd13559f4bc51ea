// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelbackwidget.h"

#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QLinearGradient>
#include <QPainter>

KZelvaCrossTerminalPanelBackWidget::KZelvaCrossTerminalPanelBackWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("KZelvaCrossTerminalPanel_TopBackGroundV2"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KZelvaCrossTerminalPanelBackWidget::paintEvent(QPaintEvent *)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    const bool dark = app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0, dark ? QColor(0x27, 0x33, 0x4d) : QColor(0xe3, 0xec, 0xff));
    band.setColorAt(1, dark ? QColor(0x21, 0x21, 0x21) : QColor(0xff, 0xff, 0xff));
    QPainter(this).fillRect(rect(), band);
}
