// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapersistconfig.h"

#include <kconfigcenter.h>
#include <kzelvacrossterminalpanelproxy.h>

namespace {

constexpr char kCentrePrefix[] = "qozoffice/plugins/kzelvaworkarea/";

QString centreKey(const char *key)
{
    return QLatin1String(kCentrePrefix) + QLatin1String(key);
}

QVariant panelValue(const char *key, const QVariant &defaultValue)
{
    KZelvaCrossTerminalPanelProxy *proxy = KZelvaCrossTerminalPanelProxy::instance();
    if (!proxy || !proxy->isOpenTabManagerPanelEnabled())
        return QVariant();
    return proxy->getCrossTerminalPanelConfigValue(QLatin1String(key), defaultValue);
}

bool panelBool(const char *key, bool defaultValue)
{
    const QVariant v = panelValue(key, defaultValue);
    if (!v.isValid())
        return false;
    const QString text = v.toString().trimmed().toLower();
    return text == QLatin1String("true") || text == QLatin1String("1");
}

int panelInt(const char *key, int defaultValue)
{
    const QVariant v = panelValue(key, defaultValue);
    bool ok = false;
    const int value = v.toInt(&ok);
    return v.isValid() && ok ? value : 0;
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

bool KZelvaPersistConfig::residualSettingSaveEnabled() { return panelBool("residualSettingSaveEnabled", false); }
bool KZelvaPersistConfig::newJsonParamFormat() { return panelBool("newJsonParamFormat", true); }
bool KZelvaPersistConfig::residualItemDeleteEnabled() { return panelBool("residualItemDeleteEnabled", false); }
bool KZelvaPersistConfig::residualItemOptimizeEnabled() { return panelBool("residualItemOptimizeEnabled", false); }
bool KZelvaPersistConfig::residualDeleteShelllessModeEnabled() { return panelBool("residualDeleteShelllessModeEnabled", false); }
int KZelvaPersistConfig::maxResidualDateTimeRange() { return panelInt("maxResidualDateTimeRange", 30); }
int KZelvaPersistConfig::maxResidualVisibilityNum() { return panelInt("maxResidualVisibilityNum", 20); }
int KZelvaPersistConfig::maxWindowResidualVisibilityNum() { return panelInt("maxWindowResidualVisibilityNum", 50); }
