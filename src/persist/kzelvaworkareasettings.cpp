// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareasettings.h"

KZelvaWorkAreaSettings::KZelvaWorkAreaSettings()
{
    beginGroup(QStringLiteral("kzelvaworkarea"));
}

bool KZelvaWorkAreaSettings::isPerfEnabled()
{
    beginGroup(QStringLiteral("perf"));
    const bool on = boolValue(QStringLiteral("enablePerf"), false);
    endGroup();
    return on;
}
