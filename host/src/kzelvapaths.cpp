// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapaths.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QString envDir(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    // Relative values are ignored, as the XDG base directory rules say.
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

QString ensured(const QString &path, QFile::Permissions perms = {})
{
    QDir().mkpath(path);
    if (perms)
        QFile::setPermissions(path, perms);
    return path;
}

} // namespace

QString KZelvaPaths::configDir()
{
    QString base = envDir("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        const QString profile = envDir("KZELVA_PROFILE_DIR");
        base = profile.isEmpty() ? QDir::homePath() + QStringLiteral("/.config")
                                 : profile + QStringLiteral("/config");
    }
    return ensured(base + QStringLiteral("/zelva"));
}

QString KZelvaPaths::cacheDir()
{
    QString base = envDir("XDG_CACHE_HOME");
    if (base.isEmpty()) {
        const QString profile = envDir("KZELVA_PROFILE_DIR");
        base = profile.isEmpty() ? QDir::homePath() + QStringLiteral("/.cache")
                                 : profile + QStringLiteral("/cache");
    }
    return ensured(base + QStringLiteral("/zelva"));
}

QString KZelvaPaths::runtimeDir()
{
    QString base = envDir("XDG_RUNTIME_DIR");
    if (base.isEmpty()) {
        const QString profile = envDir("KZELVA_PROFILE_DIR");
        base = profile.isEmpty() ? QStringLiteral("/tmp/zelva-%1").arg(::getuid())
                                 : profile + QStringLiteral("/runtime");
    }
    ensured(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return ensured(base + QStringLiteral("/zelva"),
                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString KZelvaPaths::pluginSettingsFile()
{
    return configDir() + QStringLiteral("/plugins.ini");
}

QString KZelvaPaths::logFile()
{
    return runtimeDir() + QStringLiteral("/zelvashell-%1.log").arg(::getpid());
}
