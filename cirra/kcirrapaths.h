// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QString>

/*
 * Where the cloud-document service keeps its socket, lock and state, shared
 * by the service and the shell's proxy so that both agree.
 *
 * The same roots as the shell's own paths:
 * - runtime: $XDG_RUNTIME_DIR, else $KZELVA_PROFILE_DIR/runtime, else
 *   /tmp/zelva-<uid>; then "zelva" (both created mode 0700, owner checked);
 * - state: $XDG_CONFIG_HOME, else $KZELVA_PROFILE_DIR/config, else
 *   ~/.config; then "zelva/cirrad";
 * - $KZELVA_CIRRA_SOCKET overrides the socket path.
 *
 * Stateless helpers; any thread.
 */
class KZCIRRA_EXPORT KCirraPaths
{
public:
    static QString runtimeDir();
    static QString socketPath();
    static QString lockPath();
    static QString stateDir();
    // A user or device id used as a file name: 1..64 of [A-Za-z0-9_.@-],
    // not starting with a dot.
    static bool isSafeId(const QString &id);
};
