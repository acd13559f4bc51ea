// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The plug-in's shared log helper and its module texts. writeLog() writes
 * through the host logger under "crossterminalpanel"; level 0 is info,
 * 1 error, 2 warning, and any other level drops the line. Callable from any
 * thread.
 */
namespace KzLogModule {
inline constexpr char kCrossTerminalPanel[] = "crossterminalpanel";
inline constexpr char kWorkArea[] = "kzelvaworkarea";
inline constexpr char kShell[] = "kzelvashell";
inline constexpr char kAtomixBubble[] = "atomixbubble";
inline constexpr char kSoftBusBusiness[] = "ksoftbusbusiness";
} // namespace KzLogModule

void writeLog(int level, const QString &message);

// Writes under an explicit module text, same levels as writeLog().
void writeModuleLog(const char *module, int level, const QString &message);

// Writes under "kzelvaworkarea", same levels as writeLog().
inline void logWorkArea(int level, const QString &message)
{
    writeModuleLog(KzLogModule::kWorkArea, level, message);
}
