// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapersistconfig.h"

#include "kzelvaworkareahelper.h"

#include <kconfigcenter.h>
#include <kzelvaapplication.h>
#include <kzelvacrossterminalpanelproxy.h>

namespace {

constexpr char kCentrePrefix[] = "qozoffice/plugins/kzelvaworkarea/";

QString centreKey(const char *key)
{
    return QLatin1String(kCentrePrefix) + QLatin1String(key);
}

struct PanelKey
{
    const char *name;
    bool isFlag;
    int defaultValue;
};

constexpr PanelKey kPanelKeys[] = {
    {"residualSettingSaveEnabled", true, 0},
    {"newJsonParamFormat", true, 1},
    {"residualItemDeleteEnabled", true, 0},
    {"residualItemOptimizeEnabled", true, 0},
    {"residualDeleteShelllessModeEnabled", true, 0},
    {"maxResidualDateTimeRange", false, 30},
    {"maxResidualVisibilityNum", false, 20},
    {"maxWindowResidualVisibilityNum", false, 50},
};

const PanelKey *findPanelKey(const QString &key, bool isFlag)
{
    for (const PanelKey &entry : kPanelKeys) {
        if (entry.isFlag == isFlag && key == QLatin1String(entry.name))
            return &entry;
    }
    writeLog(1, QStringLiteral("%1 : unknown panel configuration key \"%2\"")
                    .arg(QLatin1String(isFlag ? "flag" : "number"), key.left(64)));
    return nullptr;
}

// 0 while the tab-manager panel is off; a value in a form that is not a flag
// or a whole number >= 0 is logged and read as the key's default.
int readPanelValue(const PanelKey &key)
{
    if (!KZelvaPersistConfig::isTabManagerPanelEnabled())
        return 0;
    const QVariant defaultValue = key.isFlag ? QVariant(key.defaultValue != 0) : QVariant(key.defaultValue);
    const QVariant value = KZelvaCrossTerminalPanelProxy::instance()->getCrossTerminalPanelConfigValue(
        QLatin1String(key.name), defaultValue);
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
    writeLog(2, QStringLiteral("%1 : panel configuration value %2 = \"%3\" is not usable, taking %4")
                    .arg(QLatin1String("readPanelConfig"), QLatin1String(key.name), value.toString().left(64))
                    .arg(key.defaultValue));
    return key.defaultValue;
}

} // namespace

int KZelvaPersistConfig::maxMMapFileSize()
{
    static const int size = [] {
        bool ok = false;
        const int value = krt::kcc::flushRead(centreKey("maxMMapFileSize"), 0x200000).toInt(&ok);
        return ok && value > 0 ? value : 0x200000;
    }();
    return size;
}

int KZelvaPersistConfig::defaultOptimizeFileSize()
{
    bool ok = false;
    const int value = krt::kcc::flushRead(centreKey("defaultOptimizeFileSize"), 0x10000).toInt(&ok);
    return ok && value > 0 ? value : 0x10000;
}

QString KZelvaPersistConfig::lastResidualOptimizeTime()
{
    return krt::kcc::flushRead(centreKey("lastResidualOptimizeTime"), QString()).toString();
}

void KZelvaPersistConfig::setLastResidualOptimizeTime(const QString &text)
{
    krt::kcc::flushWrite(centreKey("lastResidualOptimizeTime"), text);
}

bool KZelvaPersistConfig::isTabManagerPanelEnabled()
{
    KZelvaCrossTerminalPanelProxy *proxy = KZelvaCrossTerminalPanelProxy::instance();
    return proxy && proxy->isOpenTabManagerPanelEnabled();
}

bool KZelvaPersistConfig::isResidualMMapEnabled()
{
    KZelvaCrossTerminalPanelProxy *proxy = KZelvaCrossTerminalPanelProxy::instance();
    return proxy && proxy->isOpenTabManagerPanelEnabled() && proxy->isResidualMMapEnabled();
}

bool KZelvaPersistConfig::panelFlag(const QString &key)
{
    const PanelKey *entry = findPanelKey(key, true);
    if (!entry)
        return false;
    // Asked for only where it can matter: deleting is allowed and there is no shell window.
    if (key == QLatin1String("residualDeleteShelllessModeEnabled")
        && !(hostRunsShellless() && panelFlag(QStringLiteral("residualItemDeleteEnabled"))))
        return false;
    return readPanelValue(*entry) != 0;
}

int KZelvaPersistConfig::panelNumber(const QString &key)
{
    const PanelKey *entry = findPanelKey(key, false);
    return entry ? readPanelValue(*entry) : 0;
}

bool KZelvaPersistConfig::hostRunsShellless()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->startupInfo()->isShelllessMode();
}

bool KZelvaPersistConfig::residualSettingSaveEnabled() { return panelFlag(QStringLiteral("residualSettingSaveEnabled")); }
bool KZelvaPersistConfig::newJsonParamFormat() { return panelFlag(QStringLiteral("newJsonParamFormat")); }
bool KZelvaPersistConfig::residualItemDeleteEnabled() { return panelFlag(QStringLiteral("residualItemDeleteEnabled")); }
bool KZelvaPersistConfig::residualItemOptimizeEnabled() { return panelFlag(QStringLiteral("residualItemOptimizeEnabled")); }
bool KZelvaPersistConfig::residualDeleteShelllessModeEnabled() { return panelFlag(QStringLiteral("residualDeleteShelllessModeEnabled")); }
int KZelvaPersistConfig::maxResidualDateTimeRange() { return panelNumber(QStringLiteral("maxResidualDateTimeRange")); }
int KZelvaPersistConfig::maxResidualVisibilityNum() { return panelNumber(QStringLiteral("maxResidualVisibilityNum")); }
int KZelvaPersistConfig::maxWindowResidualVisibilityNum() { return panelNumber(QStringLiteral("maxWindowResidualVisibilityNum")); }
