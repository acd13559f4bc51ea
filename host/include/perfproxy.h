// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

/*
 * The shell's performance tool: named stubs whose durations are written to
 * the log under the module "perf". Off unless KZELVA_PERF=1 or a plug-in
 * switches it on from its own settings.
 */
class KZELVASHELL_EXPORT PerfProxy
{
public:
    static bool isEnabled();
    static void setEnabled(bool enabled);
    static void beginStub(const QString &name);
    static void endStub(const QString &name);
    // A single marker without duration.
    static void mark(const QString &name);
};
