// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelproxy.h"

#include "kzelvahostutils.h"
#include "kzelvapaths.h"

#include <QSettings>

namespace {
QVariant panelValue(const QString &key, const QVariant &defaultValue)
{
    QSettings settings(KZelvaPaths::configDir() + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat);
    return settings.value(key, defaultValue);
}

bool panelFlag(const QString &key)
{
    return settingsTextToBool(panelValue(key, false), false);
}
} // namespace

KZelvaCrossTerminalPanelProxy *KZelvaCrossTerminalPanelProxy::instance()
{
    static KZelvaCrossTerminalPanelProxy proxy;
    return &proxy;
}

bool KZelvaCrossTerminalPanelProxy::isOpenTabManagerPanelEnabled() const
{
    return panelFlag(QStringLiteral("panel/enabled"));
}

bool KZelvaCrossTerminalPanelProxy::isResidualMMapEnabled() const
{
    return panelFlag(QStringLiteral("panel/residualMMapEnabled"));
}

QVariant KZelvaCrossTerminalPanelProxy::getCrossTerminalPanelConfigValue(const QString &key,
                                                                         const QVariant &defaultValue) const
{
    return panelValue(QStringLiteral("config/") + key, defaultValue);
}
