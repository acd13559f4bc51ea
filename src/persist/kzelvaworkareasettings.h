// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kpluginssettings.h>

/*
 * The plug-in's own settings: the group "kzelvaworkarea" of the plug-in
 * settings file, entered at construction. Short-lived; create one where a
 * value is needed. GUI thread.
 */
class KZelvaWorkAreaSettings : public krt::KPluginsSettings
{
public:
    KZelvaWorkAreaSettings();

    // "perf"/"enablePerf", default false.
    bool isPerfEnabled();
};
