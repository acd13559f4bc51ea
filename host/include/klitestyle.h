// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QRect>
#include <QSize>

/*
 * The UI kit's DPI scaling: logical lengths (96 DPI) to device-independent
 * pixels of the primary screen. $KZELVA_DPI_SCALE (a factor, 0.5 to 4)
 * overrides the screen; 1 without a screen. Any thread after the
 * application exists.
 */
class KZELVASHELL_EXPORT KLiteStyle
{
public:
    static qreal dpiFactor();
    static int dpiScaled(int value);
    static QSize dpiScaledSize(const QSize &size);
    static QRect dpiScaledRect(const QRect &rect);
};
