// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalrelayhint.h"

#include "kzelvalabelsyncsettingskeys.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkareahelper.h"

#include <kpluginssettings.h>

namespace {

KZelvaCrossTerminalRelayHint *g_hint = nullptr;
constexpr const char *kPluginGroup = KZelvaSettingsKeys::PluginGroup;
constexpr const char *kFirstRelayKey = KZelvaLabelSyncSettingsKeys::IsFirstRelayLabel;

QString text(const QVariantMap &params, const char *key)
{
    const QVariant value = params.value(QLatin1String(key));
    return value.type() == QVariant::String ? value.toString() : QString();
}

} // namespace

void KZelvaCrossTerminalRelayHint::setInstance(KZelvaCrossTerminalRelayHint *hint)
{
    g_hint = hint;
}

KZelvaCrossTerminalRelayHint *KZelvaCrossTerminalRelayHint::instance()
{
    return g_hint;
}

bool KZelvaCrossTerminalRelayHint::isFirstRelay()
{
    return krt::KPluginsSettings::boolValue(QLatin1String(kPluginGroup), QLatin1String(kFirstRelayKey), true);
}

bool KZelvaCrossTerminalRelayHint::showFirst(const QString &caller, const QVariantMap &params)
{
    if (!g_hint) {
        writeLog(1, QStringLiteral("%1 : instance is Empty").arg(caller));
        return false;
    }
    if (!g_hint->showFirstRelayHint(text(params, "deviceId"), text(params, "uuid"), text(params, "fileid"),
                                    text(params, "ftype"), text(params, "name")))
        return false;
    if (isFirstRelay())
        krt::KPluginsSettings::setValue(QLatin1String(kPluginGroup), QLatin1String(kFirstRelayKey), false);
    return true;
}
