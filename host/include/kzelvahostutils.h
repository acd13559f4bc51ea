// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QVariant>

/*
 * Small host helpers shared by the shell and its plug-ins. Pure functions,
 * any thread.
 */

// Home-relative form of a path: a path under $HOME becomes "~/<rest>" and
// $HOME itself "~"; anything else (other absolute paths, relative paths,
// URLs, an unset or "/" home) is returned unchanged.
KZELVASHELL_EXPORT QString toHomeRelativePath(const QString &path);
// Inverse of toHomeRelativePath: "~" and "~/<rest>" are put under $HOME,
// anything else is returned unchanged.
KZELVASHELL_EXPORT QString fromHomeRelativePath(const QString &path);

// Name of an independent application type (the host started as a single
// application): 0 "IndependentQoz", 1 "IndependentSheet", 2 "IndependentSlide",
// 3 "IndependentPdf", 4 "IndependentDiagram", 5 "IndependentFlowchart",
// 6 "IndependentMindMap", 7 "IndependentOfd"; empty for any other value.
KZELVASHELL_EXPORT QString independentAppTypeToString(int type);

// A flag as INI files hold it ("true"/"false", "1"/"0", any case); anything
// else is `defaultValue`.
KZELVASHELL_EXPORT bool settingsTextToBool(const QVariant &value, bool defaultValue);
