// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kfuncswitch.h"

#include "kzelvapaths.h"

#include <QSettings>

namespace {
bool readFlag(const QString &group, const QString &name, bool defaultValue)
{
    QSettings settings(KZelvaPaths::configDir() + QStringLiteral("/features.ini"), QSettings::IniFormat);
    const QString text = settings.value(group + QLatin1Char('/') + name).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return defaultValue;
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
