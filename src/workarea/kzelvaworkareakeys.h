// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings keys, groups and object properties the manager and the
 * work-area model read and write, in one place.
 */
namespace KZelvaWorkAreaKeys {
// plug-in settings, group KZelvaSettingsKeys::PluginGroup (kzelvasettingskeys.h)
inline constexpr char SaveActivedWorkArea[] = "saveActivedWorkArea";
inline constexpr char CheckOverSize[] = "checkoversize";
// usage events on or off
inline constexpr char TelvoSwitch[] = "telvoswitch";
// the host's common settings
inline constexpr char CommonGroup[] = "Application Settings";
inline constexpr char AutoRecoverPage[] = "autorecoverpage";
// the "workarea" and "active" records
inline constexpr char LastActiveWorkAreaId[] = "lastActiveWorkAreaId";
inline constexpr char LastVisible[] = "lastVisible";
// the plug-in translation and skin sub-package
inline constexpr char Translation[] = "kzelvaworkarea";
// the account switch of the login guide and the cross-device command lines
inline constexpr char AccountSwitch[] = "kzelvaworkarea_switch";
// host feature
inline constexpr char CrossTerminalFeature[] = "ZelvaWorkAreaCrossTerminal";
// dynamic properties of a main window
inline constexpr char WorkAreasProperty[] = "WorkAreasPointer";
inline constexpr char ResidualIdProperty[] = "residualUuid";
// objects registered with the host's plug-in manager
inline constexpr char OperationsName[] = "__KZelvaWorkAreaOperations__";
inline constexpr char ResidualRecordsName[] = "__KZelvaResidualRecords__";
} // namespace KZelvaWorkAreaKeys
