// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

/*
 * The host's light logger. Every line carries a level and a module text
 * ("kzelvaworkarea", "crossterminalpanel", ...) and goes to stderr and to the
 * process's log file in the runtime directory (KZelvaPaths::logFile()).
 * Thread-safe; usable before and after the application object exists.
 */
class KZELVASHELL_EXPORT KxLoggerLite
{
public:
    enum Level { Info = 0, Error = 1, Warning = 2, Debug = 3 };

    static void write(Level level, const QString &module, const QString &message);
    static void info(const QString &module, const QString &message) { write(Info, module, message); }
    static void error(const QString &module, const QString &message) { write(Error, module, message); }
    static void warning(const QString &module, const QString &message) { write(Warning, module, message); }

    // Lines below this level are not written to stderr (the file gets all).
    // Default: Warning and Error only on stderr, unless KZELVA_LOG_STDERR=all.
    static void setStderrEcho(bool all);
    // Path of the file lines are appended to; empty before the first line.
    static QString filePath();
};
