// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings groups and keys the shell integration reads, besides the
 * shared ones of kzelvasettingskeys.h.
 */
namespace KZelvaShellSettingsKeys {
// the work-area page's own group and its page address
inline constexpr char BrowserGroup[] = "ZelvaWorkArea";
inline constexpr char RelativeUrl[] = "relativeUrl";
} // namespace KZelvaShellSettingsKeys
