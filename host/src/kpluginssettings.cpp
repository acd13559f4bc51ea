// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kpluginssettings.h"

#include "kzelvahostutils.h"
#include "kzelvapaths.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcSettings, "zelva.pluginsettings", QtInfoMsg)

namespace {

QString commonSettingsFile()
{
    return KZelvaPaths::configDir() + QStringLiteral("/common.ini");
}

QString cloudSettingsFile()
{
    return KZelvaPaths::configDir() + QStringLiteral("/cloud.ini");
}

QVariant readValue(const QString &file, const QString &group, const QString &key,
                   const QVariant &defaultValue)
{
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcSettings) << file << ": unreadable, using default for" << group << key;
        return defaultValue;
    }
    settings.beginGroup(group);
    return settings.value(key, defaultValue);
}

void writeValue(const QString &file, const QString &group, const QString &key, const QVariant &value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qCWarning(lcSettings) << file << ": cannot write" << group << key;
}

} // namespace

namespace krt {

KPluginsSettings::KPluginsSettings()
    : m_settings(std::make_unique<QSettings>(KZelvaPaths::pluginSettingsFile(), QSettings::IniFormat))
{
}

KPluginsSettings::~KPluginsSettings() = default;

void KPluginsSettings::beginGroup(const QString &group)
{
    m_settings->beginGroup(group);
}

void KPluginsSettings::endGroup()
{
    m_settings->endGroup();
}

QVariant KPluginsSettings::value(const QString &key, const QVariant &defaultValue) const
{
    return m_settings->value(key, defaultValue);
}

bool KPluginsSettings::boolValue(const QString &key, bool defaultValue) const
{
    return settingsTextToBool(m_settings->value(key, defaultValue), defaultValue);
}

void KPluginsSettings::setValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
    m_settings->sync();
}

QVariant KPluginsSettings::value(const QString &group, const QString &key, const QVariant &defaultValue)
{
    return readValue(KZelvaPaths::pluginSettingsFile(), group, key, defaultValue);
}

bool KPluginsSettings::boolValue(const QString &group, const QString &key, bool defaultValue)
{
    return settingsTextToBool(value(group, key, defaultValue), defaultValue);
}

void KPluginsSettings::setValue(const QString &group, const QString &key, const QVariant &value)
{
    writeValue(KZelvaPaths::pluginSettingsFile(), group, key, value);
}

QVariant KCommonSettings::value(const QString &group, const QString &key, const QVariant &defaultValue)
{
    return readValue(commonSettingsFile(), group, key, defaultValue);
}

void KCommonSettings::setValue(const QString &group, const QString &key, const QVariant &value)
{
    writeValue(commonSettingsFile(), group, key, value);
}

QVariant KQOZCloudSettings::value(const QString &group, const QString &key, const QVariant &defaultValue)
{
    return readValue(cloudSettingsFile(), group, key, defaultValue);
}

bool KQOZCloudSettings::boolValue(const QString &group, const QString &key, bool defaultValue)
{
    return settingsTextToBool(value(group, key, defaultValue), defaultValue);
}

void KQOZCloudSettings::setValue(const QString &group, const QString &key, const QVariant &value)
{
    writeValue(cloudSettingsFile(), group, key, value);
}

} // namespace krt
