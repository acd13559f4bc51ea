// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareausageevent.h"

#include "kzelvasettingskeys.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareahelper.h"

#include <kdcinfo.h>
#include <kpluginssettings.h>

#include <QCoreApplication>

QString KZelvaWorkAreaUsageEvent::eventName(Kind kind)
{
    switch (kind) {
    case Kind::Click: return QStringLiteral("workspace_click");
    case Kind::PanelShow: return QStringLiteral("workspace_panelshow");
    case Kind::CloseWorkSpace: return QStringLiteral("workspace_closeworkspace");
    case Kind::OperationResult: return QStringLiteral("workspace_operationresult");
    case Kind::RightMenuClick: return QStringLiteral("workspace_rightmenuclick");
    case Kind::CloseAllWindows: return QStringLiteral("workspace_closeallwindows");
    }
    return QString();
}

bool KZelvaWorkAreaUsageEvent::isEnabled()
{
    static const bool enabled = krt::KPluginsSettings::boolValue(
        QLatin1String(KZelvaSettingsKeys::PluginGroup), QLatin1String(KZelvaWorkAreaKeys::TelvoSwitch), true);
    return enabled;
}

bool KZelvaWorkAreaUsageEvent::post(Kind kind, const QMap<QString, QString> &fields)
{
    const QString name = eventName(kind);
    if (name.isEmpty()) {
        writeLog(1, QStringLiteral("KZelvaWorkAreaUsageEvent::post : unknown kind %1").arg(int(kind)));
        return false;
    }
    if (!isEnabled())
        return false;
    QMap<QString, QString> args = fields;
    args.insert(QStringLiteral("component"), QCoreApplication::applicationName());
    getDcInfo()->postGeneralEvent(name, args);
    return true;
}
