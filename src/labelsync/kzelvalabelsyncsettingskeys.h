// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings keys label sync reads, besides the shared ones of
 * kzelvasettingskeys.h.
 */
namespace KZelvaLabelSyncSettingsKeys {
// plug-in group
inline constexpr char NorvaHttpsServer[] = "norvaHttpsServer";
inline constexpr char ObtainLabelTimeout[] = "obtain_label_timeout";
inline constexpr char LabelSyncPage[] = "label_sync_page";
// whether the first-relay hint is still to be shown (default true)
inline constexpr char IsFirstRelayLabel[] = "isFirstRelayLabel";
// cloud devices group
inline constexpr char SoftbussFileLabel[] = "softbuss_file_label";
} // namespace KZelvaLabelSyncSettingsKeys
