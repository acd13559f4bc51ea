// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace krt {

/*
 * Settings of the shell's plug-ins: an INI file (KZelvaPaths::pluginSettingsFile())
 * with one group per plug-in. An object reads and writes through groups
 * like QSettings; the static helpers read or write one value at once.
 * Values written are synced at once so that other processes see them.
 * GUI thread.
 */
class KZELVASHELL_EXPORT KPluginsSettings
{
public:
    // The plug-in settings file (the default scope).
    KPluginsSettings();
    virtual ~KPluginsSettings();
    KPluginsSettings(const KPluginsSettings &) = delete;
    KPluginsSettings &operator=(const KPluginsSettings &) = delete;

    void beginGroup(const QString &group);
    void endGroup();
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    bool boolValue(const QString &key, bool defaultValue) const;
    void setValue(const QString &key, const QVariant &value);

    static QVariant value(const QString &group, const QString &key,
                          const QVariant &defaultValue = QVariant());
    static bool boolValue(const QString &group, const QString &key, bool defaultValue);
    static void setValue(const QString &group, const QString &key, const QVariant &value);

private:
    std::unique_ptr<QSettings> m_settings;
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

/*
 * The user's cloud settings (group "usercenter/devices" and the like), kept
 * in cloud.ini next to the plug-in settings.
 */
class KZELVASHELL_EXPORT KQOZCloudSettings
{
public:
    static QVariant value(const QString &group, const QString &key,
                          const QVariant &defaultValue = QVariant());
    static bool boolValue(const QString &group, const QString &key, bool defaultValue);
    static void setValue(const QString &group, const QString &key, const QVariant &value);
};

} // namespace krt
