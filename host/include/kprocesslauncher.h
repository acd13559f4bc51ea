// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QStringList>

/*
 * Starts programs for the shell and its plug-ins: detached, with the
 * arguments handed over as they are (no shell ever parses them).
 * $KZELVA_LAUNCH_LOG, when set, names a file each launch is appended to as
 * one JSON line {"program","arguments","ok"} (tests read it). Any thread.
 */
class KZELVASHELL_EXPORT KProcessLauncher
{
public:
    static bool startDetached(const QString &program, const QStringList &arguments, qint64 *pid = nullptr);
};
