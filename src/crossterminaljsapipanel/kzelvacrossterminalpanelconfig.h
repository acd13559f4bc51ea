// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The panel configuration values as the listings use them: one snapshot,
 * read through the host's panel proxy at each call (nothing is cached).
 * Without proxy, or while the host's tab-manager panel is disabled, every
 * flag is false and every number 0. A value the proxy holds in a form that
 * is not a flag or a whole number >= 0 is logged and read as its default.
 * Plain value; GUI thread (the proxy reads its file on each call).
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

    // One flag or number by key (the keys of the snapshot above); an unknown
    // key is logged and reads false or 0.
    static bool flag(const QString &key);
    static int number(const QString &key);

    // Whether the host runs without its shell window. The host proxy has no
    // query for it yet, so this is false until it does.
    static bool hostRunsShellless();
};
