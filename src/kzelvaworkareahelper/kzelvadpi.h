// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

/*
 * Logical pixel lengths of the plug-in's widgets scaled for the DPI of the
 * screen they show on (96 DPI is 1:1). Pure functions, GUI thread.
 */
inline qreal kzDpiScale(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

inline int kzDpiScaled(int pixels, const QWidget *widget)
{
    return qRound(pixels * kzDpiScale(widget));
}
