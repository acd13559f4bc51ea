// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelconfig.h"

#include "kzelvapersistconfig.h"

KZelvaCrossTerminalPanelConfig KZelvaCrossTerminalPanelConfig::read()
{
    KZelvaCrossTerminalPanelConfig config;
    if (!KZelvaPersistConfig::isTabManagerPanelEnabled())
        return config;
    config.tabManagerPanelEnabled = true;
    config.residualSettingSaveEnabled = KZelvaPersistConfig::residualSettingSaveEnabled();
    config.newJsonParamFormat = KZelvaPersistConfig::newJsonParamFormat();
    config.residualItemDeleteEnabled = KZelvaPersistConfig::residualItemDeleteEnabled();
    config.residualItemOptimizeEnabled = KZelvaPersistConfig::residualItemOptimizeEnabled();
    config.residualDeleteShelllessModeEnabled = KZelvaPersistConfig::residualDeleteShelllessModeEnabled();
    config.maxResidualDateTimeRange = KZelvaPersistConfig::maxResidualDateTimeRange();
    config.maxResidualVisibilityNum = KZelvaPersistConfig::maxResidualVisibilityNum();
    config.maxWindowResidualVisibilityNum = KZelvaPersistConfig::maxWindowResidualVisibilityNum();
    return config;
}
