// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kfuncswitch.h"

#include "kzelvahostutils.h"
#include "kzelvapaths.h"

#include <QSettings>

namespace {
bool readFlag(const QString &group, const QString &name, bool defaultValue)
{
    QSettings settings(KZelvaPaths::configDir() + QStringLiteral("/features.ini"), QSettings::IniFormat);
    return settingsTextToBool(settings.value(group + QLatin1Char('/') + name), defaultValue);
}
} // namespace

namespace krt {
namespace product {

bool getFuncSwitchState(const QString &name)
{
    return readFlag(QStringLiteral("switches"), name, false);
}

bool isFeatureSupported(const QString &name)
{
    return readFlag(QStringLiteral("features"), name, name == QLatin1String("ZelvaWorkAreaCrossTerminal"));
}

} // namespace product
} // namespace krt
