// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsnode.h"

/*
 * Reads the text form of a KSyncSettingsNode straight from its UTF-8 bytes,
 * without building a JSON document first. It takes the common form only
 * (the one toText writes, in any key order and spacing); everything else,
 * errors included, it declines, and KSyncSettingsNode::fromText falls back
 * to the full JSON parser, which defines the accepted text and its error
 * messages.
 *
 * Pure function, any thread. Used by KSyncSettingsNode::fromText only.
 */
class KSyncSettingsJsonReader
{
public:
    // Fills `out` (empty on entry) and returns true when `data` is node text
    // of the common form; returns false otherwise, leaving `out` in an
    // unspecified state.
    static bool read(const char *data, qint64 size, KSyncSettingsNode *out);
};
