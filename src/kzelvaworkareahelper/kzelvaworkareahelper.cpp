// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareahelper.h"

#include <kxloggerlite.h>

void writeModuleLog(const char *module, int level, const QString &message)
{
    KxLoggerLite::Level hostLevel;
    switch (level) {
    case 0: hostLevel = KxLoggerLite::Info; break;
    case 1: hostLevel = KxLoggerLite::Error; break;
    case 2: hostLevel = KxLoggerLite::Warning; break;
    default: return;
    }
    KxLoggerLite::write(hostLevel, QLatin1String(module), message);
}

void writeLog(int level, const QString &message)
{
    writeModuleLog(KzLogModule::kCrossTerminalPanel, level, message);
}
