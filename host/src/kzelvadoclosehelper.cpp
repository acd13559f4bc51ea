// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvadoclosehelper.h"

#include "kxloggerlite.h"

#include <QObject>

namespace {
void closeLog(const char *step, const QObject *target)
{
    KxLoggerLite::write(KxLoggerLite::Debug, QStringLiteral("closelog"),
                        QStringLiteral("%1 %2(%3)")
                            .arg(QLatin1String(step),
                                 QLatin1String(target ? target->metaObject()->className() : "null"))
                            .arg(quintptr(target), 0, 16));
}
} // namespace

void KZelvaDoCloseLogHelper::beforeQueryCloseEvent(const QObject *target) { closeLog("beforeQueryClose", target); }
void KZelvaDoCloseLogHelper::afterQueryCloseEvent(const QObject *target) { closeLog("afterQueryClose", target); }
void KZelvaDoCloseLogHelper::beforeDoCloseEvent(const QObject *target) { closeLog("beforeDoClose", target); }
void KZelvaDoCloseLogHelper::afterDoCloseEvent(const QObject *target) { closeLog("afterDoClose", target); }
void KZelvaDoCloseLogHelper::beforePostDoCloseEvent(const QObject *target) { closeLog("beforePostDoClose", target); }
