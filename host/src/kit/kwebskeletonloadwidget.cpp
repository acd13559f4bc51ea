// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kwebskeletonloadwidget.h"

#include "kzelvaapplication.h"
#include "kzelvaskin.h"

KWebSkeletonLoadWidget::KWebSkeletonLoadWidget(const PathFunction &paintSkeleton, QWidget *parent)
    : KLiteSkeletonLoadWidget(parent)
    , m_paintSkeleton(paintSkeleton)
{
    setInterval(800);
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        if (KZelvaSkin *skin = app->zelvaSkin())
            connect(skin, &KZelvaSkin::skinChanged, this, &KWebSkeletonLoadWidget::onSkinChanged);
    }
    onSkinChanged();
}

void KWebSkeletonLoadWidget::onSkinChanged()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    const bool dark = app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
    // The skin's "skeleton-background" and "skeleton-gradient".
    if (dark)
        setColors(QColor(0x33, 0x33, 0x36), QColor(0x44, 0x44, 0x48), 0.5);
    else
        setColors(QColor(0xee, 0xee, 0xf0), QColor(0xfa, 0xfa, 0xfb), 0.5);
    QPalette p = palette();
    p.setColor(QPalette::Window, dark ? QColor(0x21, 0x21, 0x21) : QColor(Qt::white));
    setPalette(p);
    setAutoFillBackground(true);
}

QPainterPath KWebSkeletonLoadWidget::skeletonPath() const
{
    QPainterPath path;
    if (m_paintSkeleton)
        m_paintSkeleton(&path);
    return path;
}
