// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kfuncswitch.h"

#include "kzelvahostutils.h"
#include "kzelvapaths.h"

#include <QSettings>

namespace krt {
namespace product {

bool featureFlag(const QString &group, const QString &name, bool defaultValue)
{
    QSettings settings(KZelvaPaths::configDir() + QStringLiteral("/features.ini"), QSettings::IniFormat);
    return settingsTextToBool(settings.value(group + QLatin1Char('/') + name), defaultValue);
}

bool getFuncSwitchState(const QString &name)
{
    return featureFlag(QStringLiteral("switches"), name, false);
}

bool isFeatureSupported(const QString &name)
{
    return featureFlag(QStringLiteral("features"), name, name == QLatin1String("ZelvaWorkAreaCrossTerminal"));
}

QString loginSourceVersion()
{
    QSettings settings(KZelvaPaths::configDir() + QStringLiteral("/features.ini"), QSettings::IniFormat);
    return settings.value(QStringLiteral("account/loginSourceVersion")).toString().trimmed();
}

} // namespace product
} // namespace krt
