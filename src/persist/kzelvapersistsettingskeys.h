// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings groups and keys the records layer reads, besides the shared
 * ones of kzelvasettingskeys.h.
 */
namespace KZelvaPersistSettingsKeys {
// sub-group of the plug-in group
inline constexpr char PerfGroup[] = "perf";
inline constexpr char EnablePerf[] = "enablePerf";
} // namespace KZelvaPersistSettingsKeys
