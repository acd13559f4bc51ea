// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The settings keys the bubbles read, besides the shared ones of
 * kzelvasettingskeys.h.
 */
namespace KZelvaBubblesSettingsKeys {
// plug-in group
inline constexpr char IsRelayBubbleVisible[] = "isRelayBubbleVisible";
} // namespace KZelvaBubblesSettingsKeys
