// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "klitestyle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

qreal KLiteStyle::dpiFactor()
{
    bool ok = false;
    const qreal forced = qEnvironmentVariable("KZELVA_DPI_SCALE").toDouble(&ok);
    if (ok && forced >= 0.5 && forced <= 4)
        return forced;
    const QScreen *screen =
        qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

int KLiteStyle::dpiScaled(int value)
{
    return qRound(value * dpiFactor());
}

QSize KLiteStyle::dpiScaledSize(const QSize &size)
{
    return QSize(dpiScaled(size.width()), dpiScaled(size.height()));
}

QRect KLiteStyle::dpiScaledRect(const QRect &rect)
{
    return QRect(dpiScaled(rect.x()), dpiScaled(rect.y()), dpiScaled(rect.width()), dpiScaled(rect.height()));
}
