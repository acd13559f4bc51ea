// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelconfig.h"

#include "kzelvaworkareahelper.h"

#include <kzelvacrossterminalpanelproxy.h>

namespace {

struct Key
{
    const char *name;
    bool isFlag;
    int defaultValue;
};

constexpr Key kKeys[] = {
    {"residualSettingSaveEnabled", true, 0},
    {"newJsonParamFormat", true, 1},
    {"residualItemDeleteEnabled", true, 0},
    {"residualItemOptimizeEnabled", true, 0},
    {"residualDeleteShelllessModeEnabled", true, 0},
    {"maxResidualDateTimeRange", false, 30},
    {"maxResidualVisibilityNum", false, 20},
    {"maxWindowResidualVisibilityNum", false, 50},
};

const Key *findKey(const QString &key, bool isFlag)
{
    for (const Key &entry : kKeys) {
        if (entry.isFlag == isFlag && key == QLatin1String(entry.name))
            return &entry;
    }
    writeLog(1, QStringLiteral("%1 : unknown panel configuration key \"%2\"")
                    .arg(QLatin1String(isFlag ? "flag" : "number"), key.left(64)));
    return nullptr;
}

KZelvaCrossTerminalPanelProxy *enabledProxy()
{
    KZelvaCrossTerminalPanelProxy *proxy = KZelvaCrossTerminalPanelProxy::instance();
    return proxy && proxy->isOpenTabManagerPanelEnabled() ? proxy : nullptr;
}

void logOdd(const Key &key, const QVariant &value)
{
    writeLog(2, QStringLiteral("%1 : panel configuration value %2 = \"%3\" is not usable, taking %4")
                    .arg(QLatin1String("readPanelConfig"), QLatin1String(key.name),
                         value.toString().left(64))
                    .arg(key.defaultValue));
}

int readValue(const Key &key)
{
    KZelvaCrossTerminalPanelProxy *proxy = enabledProxy();
    if (!proxy)
        return 0;
    const QVariant defaultValue = key.isFlag ? QVariant(key.defaultValue != 0) : QVariant(key.defaultValue);
    const QVariant value = proxy->getCrossTerminalPanelConfigValue(QLatin1String(key.name), defaultValue);
    if (value.type() == QVariant::Bool && key.isFlag)
        return value.toBool() ? 1 : 0;
    const QString text = value.toString().trimmed().toLower();
    if (key.isFlag) {
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return 1;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return 0;
    } else {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (ok && number >= 0)
            return number;
    }
    logOdd(key, value);
    return key.defaultValue;
}

} // namespace

bool KZelvaCrossTerminalPanelConfig::flag(const QString &key)
{
    const Key *entry = findKey(key, true);
    if (!entry)
        return false;
    // Asked for only where it can matter: deleting is allowed and there is no shell window.
    if (key == QLatin1String("residualDeleteShelllessModeEnabled")
        && !(hostRunsShellless() && flag(QStringLiteral("residualItemDeleteEnabled"))))
        return false;
    return readValue(*entry) != 0;
}

int KZelvaCrossTerminalPanelConfig::number(const QString &key)
{
    const Key *entry = findKey(key, false);
    return entry ? readValue(*entry) : 0;
}

bool KZelvaCrossTerminalPanelConfig::hostRunsShellless()
{
    return false;
}

KZelvaCrossTerminalPanelConfig KZelvaCrossTerminalPanelConfig::read()
{
    KZelvaCrossTerminalPanelConfig config;
    if (!enabledProxy())
        return config;
    config.tabManagerPanelEnabled = true;
    config.residualSettingSaveEnabled = flag(QStringLiteral("residualSettingSaveEnabled"));
    config.newJsonParamFormat = flag(QStringLiteral("newJsonParamFormat"));
    config.residualItemDeleteEnabled = flag(QStringLiteral("residualItemDeleteEnabled"));
    config.residualItemOptimizeEnabled = flag(QStringLiteral("residualItemOptimizeEnabled"));
    config.residualDeleteShelllessModeEnabled = flag(QStringLiteral("residualDeleteShelllessModeEnabled"));
    config.maxResidualDateTimeRange = number(QStringLiteral("maxResidualDateTimeRange"));
    config.maxResidualVisibilityNum = number(QStringLiteral("maxResidualVisibilityNum"));
    config.maxWindowResidualVisibilityNum = number(QStringLiteral("maxWindowResidualVisibilityNum"));
    return config;
}
