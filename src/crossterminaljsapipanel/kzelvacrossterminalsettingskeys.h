// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings keys the cross-device panel reads and writes, besides the
 * shared ones of kzelvasettingskeys.h.
 */
namespace KZelvaCrossTerminalSettingsKeys {
// plug-in group
inline constexpr char LoadTimeoutMSec[] = "loadTimeoutMSec";
inline constexpr char FirstEnableDiscoverService[] = "firstEnableDiscoverService";
// cloud devices group
inline constexpr char SoftbussTransferHelper[] = "softbuss_transfer_helper";
inline constexpr char SoftbusEnableDiscoverService[] = "softbus_enable_discover_service";
} // namespace KZelvaCrossTerminalSettingsKeys
