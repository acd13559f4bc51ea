// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QVariant>

namespace krt {

/*
 * Settings of the shell's plug-ins: an INI file (KZelvaPaths::pluginSettingsFile())
 * with one group per plug-in. Values written are synced at once so that
 * other processes see them. GUI thread.
 */
class KZELVASHELL_EXPORT KPluginsSettings
{
public:
    static QVariant value(const QString &group, const QString &key,
                          const QVariant &defaultValue = QVariant());
    static bool boolValue(const QString &group, const QString &key, bool defaultValue);
    static void setValue(const QString &group, const QString &key, const QVariant &value);
};

/*
 * The shell's common settings ("Application Settings"/"autorecoverpage",
 * ...), kept in common.ini next to the plug-in settings.
 */
class KZELVASHELL_EXPORT KCommonSettings
{
public:
    static QVariant value(const QString &group, const QString &key,
                          const QVariant &defaultValue = QVariant());
    static void setValue(const QString &group, const QString &key, const QVariant &value);
};

} // namespace krt
