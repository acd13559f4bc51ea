// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The panel configuration values as the listings use them: one snapshot of
 * what KZelvaPersistConfig reads through the host's panel proxy (nothing is
 * cached). Plain value; GUI thread.
 */
class KZelvaCrossTerminalPanelConfig
{
public:
    bool tabManagerPanelEnabled = false;
    bool residualSettingSaveEnabled = false;
    bool newJsonParamFormat = false;
    bool residualItemDeleteEnabled = false;
    bool residualItemOptimizeEnabled = false;
    bool residualDeleteShelllessModeEnabled = false;
    int maxResidualDateTimeRange = 0;
    int maxResidualVisibilityNum = 0;
    int maxWindowResidualVisibilityNum = 0;

    static KZelvaCrossTerminalPanelConfig read();
};
