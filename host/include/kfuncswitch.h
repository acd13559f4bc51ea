// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

namespace krt {
namespace product {

/*
 * The shell's product feature switches and supported features, read from
 * features.ini in the config directory (group "switches" and "features",
 * values true/false). Unlisted names take the shell's defaults: the feature
 * "ZelvaWorkAreaCrossTerminal" is supported, every switch is off.
 */
KZELVASHELL_EXPORT bool getFuncSwitchState(const QString &name);
// A value of features.ini: `group`/`name` as a bool, `defaultValue` when absent or not a bool.
KZELVASHELL_EXPORT bool featureFlag(const QString &group, const QString &name, bool defaultValue);
KZELVASHELL_EXPORT bool isFeatureSupported(const QString &name);
// The account login source version of this build (features.ini "account"/"loginSourceVersion", empty when absent).
KZELVASHELL_EXPORT QString loginSourceVersion();

} // namespace product
} // namespace krt
