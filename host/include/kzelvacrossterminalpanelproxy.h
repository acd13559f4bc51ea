// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QVariant>

/*
 * The shell's own tab-manager panel, as far as plug-ins see it: whether it
 * is enabled and its configuration values. Read from tabmanagerpanel.ini in
 * the config directory (group "panel": "enabled", "residualMMapEnabled";
 * group "config": the values), re-read on every call. GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaCrossTerminalPanelProxy
{
public:
    static KZelvaCrossTerminalPanelProxy *instance();

    bool isOpenTabManagerPanelEnabled() const;
    bool isResidualMMapEnabled() const;
    QVariant getCrossTerminalPanelConfigValue(const QString &key, const QVariant &defaultValue) const;
};
