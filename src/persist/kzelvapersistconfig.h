// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The persistence tuning values in one place: the configuration-centre
 * keys under "qozoffice/plugins/kzelvaworkarea/" and the panel
 * configuration values, which all read false or 0 while the host's
 * tab-manager panel is disabled; a panel value in a form that is not a flag
 * or a whole number >= 0 is logged and read as its default. Stateless apart
 * from the cached "maxMMapFileSize". GUI thread.
 */
class KZelvaPersistConfig
{
public:
    static int maxMMapFileSize();          // cached once per process, default 2 MiB
    static int defaultOptimizeFileSize();  // default 65536
    static QString lastResidualOptimizeTime();
    static void setLastResidualOptimizeTime(const QString &text);

    static bool isTabManagerPanelEnabled();
    static bool isResidualMMapEnabled();
    static bool residualSettingSaveEnabled();
    static bool newJsonParamFormat();
    static bool residualItemDeleteEnabled();
    static bool residualItemOptimizeEnabled();
    static bool residualDeleteShelllessModeEnabled();
    static int maxResidualDateTimeRange();
    static int maxResidualVisibilityNum();
    static int maxWindowResidualVisibilityNum();

    // A panel value by key; an unknown key is logged and reads false or 0.
    static bool panelFlag(const QString &key);
    static int panelNumber(const QString &key);
    // Whether the host runs without its shell window (false: the host has no
    // query for it yet).
    static bool hostRunsShellless();
};
