// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

/*
 * Every directory the shell and its plug-ins write to. All of them come from
 * the environment so that tests and ./run.sh use a private profile:
 *  - KZELVA_PROFILE_DIR, when set, holds everything (config/, cache/, runtime/);
 *  - otherwise XDG_CONFIG_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR with their
 *    usual fallbacks, each with a "zelva" sub directory.
 * XDG_* variables win over the profile for their own directory, so a test
 * can keep the runtime directory short. Directories are created on demand
 * (runtime with mode 0700).
 */
class KZELVASHELL_EXPORT KZelvaPaths
{
public:
    static QString configDir();
    static QString cacheDir();
    static QString runtimeDir();
    static QString pluginSettingsFile();
    static QString logFile();
};
