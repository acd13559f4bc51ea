// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkareastorestate.h"

#include <functional>

class ISyncSettingsData;

/*
 * The stored form of work areas and their items in a settings node: one
 * group per work area (named by its settings id), one sub-group per item,
 * every value text ("1"/"0" for booleans, decimal numbers, seconds for
 * times, "extend_<key>" for extension values, home-relative "filePath",
 * the host's text form of "pageType").
 *
 * Stateless apart from the work-area number counter that UnSerialize raises
 * (KZelvaWorkAreaDefaultName). GUI thread.
 */
class KZelvaWorkAreaSerializer
{
public:
    struct Options
    {
        // Panel configuration "residualSettingSaveEnabled".
        bool residualSettingSaveEnabled = false;
        // Panel configuration "residualItemDeleteEnabled".
        bool residualItemDeleteEnabled = false;
    };

    // Writes the work area into the group state->settingsId() below the
    // current group of `node` and updates state (lastRunDateTime, id lists).
    // `flush` (may be empty) is the settings object's flush, called at the end.
    // Returns false when nothing was written (residual work area while residual
    // saving is off, null arguments, no settings id).
    static bool Serialize(ISyncSettingsData *node, KZelvaWorkAreaStoreState *state,
                          const Options &options, const std::function<void()> &flush = {});

    // Reads the work-area keys of the current group of `node` (the group named
    // by the work-area id; the id itself is not read). "pid" goes to lastPid.
    static void UnSerialize(ISyncSettingsData *node, KZelvaWorkAreaData *data);

    // Reads the items of the work-area group `node` is in, skipping entries
    // without id or page type (unless itemType is 1). Reads nothing in
    // independent mode.
    static QVector<KZelvaWorkAreaRecoverItem> readItems(ISyncSettingsData *node, bool independentMode);
};
