// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrapaths.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Absolute values only, as the XDG base directory rules say.
QString envDir(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

// Creates `dir` for this user only and refuses one that belongs to someone
// else or is a symbolic link.
bool ensurePrivateDir(const QString &dir)
{
    QDir().mkpath(dir);
    const QByteArray native = QFile::encodeName(dir);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    return ::chmod(native.constData(), 0700) == 0;
}

} // namespace

QString KCirraPaths::runtimeDir()
{
    QString base = envDir("XDG_RUNTIME_DIR");
    if (base.isEmpty()) {
        const QString profile = envDir("KZELVA_PROFILE_DIR");
        base = profile.isEmpty() ? QStringLiteral("/tmp/zelva-%1").arg(::getuid())
                                 : profile + QStringLiteral("/runtime");
    }
    const QString dir = base + QStringLiteral("/zelva");
    if (!ensurePrivateDir(base) || !ensurePrivateDir(dir))
        return QString();
    return dir;
}

QString KCirraPaths::socketPath()
{
    const QString overridden = qEnvironmentVariable("KZELVA_CIRRA_SOCKET");
    if (!overridden.isEmpty())
        return overridden;
    const QString dir = runtimeDir();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/cirrad.sock");
}

QString KCirraPaths::lockPath()
{
    const QString socket = socketPath();
    return socket.isEmpty() ? QString() : socket + QStringLiteral(".lock");
}

QString KCirraPaths::stateDir()
{
    QString base = envDir("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        const QString profile = envDir("KZELVA_PROFILE_DIR");
        base = profile.isEmpty() ? QDir::homePath() + QStringLiteral("/.config")
                                 : profile + QStringLiteral("/config");
    }
    return base + QStringLiteral("/zelva/cirrad");
}
bool KCirraPaths::isSafeId(const QString &id)
{
    if (id.isEmpty() || id.size() > 64 || id.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : id) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
                        || u == '_' || u == '.' || u == '@' || u == '-';
        if (!ok)
            return false;
    }
    return true;
}
