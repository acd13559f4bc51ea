// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapersistsettingskeys.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkareasettings.h"

KZelvaWorkAreaSettings::KZelvaWorkAreaSettings()
{
    beginGroup(QLatin1String(KZelvaSettingsKeys::PluginGroup));
}

bool KZelvaWorkAreaSettings::isPerfEnabled()
{
    beginGroup(QLatin1String(KZelvaPersistSettingsKeys::PerfGroup));
    const bool on = boolValue(QLatin1String(KZelvaPersistSettingsKeys::EnablePerf), false);
    endGroup();
    return on;
}
