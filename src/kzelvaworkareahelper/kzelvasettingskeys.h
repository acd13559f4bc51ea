// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings groups and keys more than one subsystem of the plug-in reads.
 * A key one subsystem alone reads lives in that subsystem's own keys header.
 */
namespace KZelvaSettingsKeys {
// the plug-in's group of the plug-in settings (krt::KPluginsSettings)
inline constexpr char PluginGroup[] = "kzelvaworkarea";
// whether the cross-device entrance shows at all (default true)
inline constexpr char CrossTerminalEntranceVisible[] = "crossTerminalEntranceVisible";
// the device group of the cloud settings (krt::KQOZCloudSettings)
inline constexpr char CloudDevicesGroup[] = "usercenter/devices";
} // namespace KZelvaSettingsKeys
