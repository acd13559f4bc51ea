// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kconfigcenter.h"

#include "kzelvapaths.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcConfigCenter, "zelva.configcenter", QtInfoMsg)

namespace {
QString centreFile()
{
    return KZelvaPaths::configDir() + QStringLiteral("/configcenter.ini");
}
} // namespace

namespace krt {
namespace kcc {

QVariant flushRead(const QString &key, const QVariant &defaultValue, const QVariantMap &)
{
    QSettings settings(centreFile(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcConfigCenter) << centreFile() << ": unreadable, default for" << key;
        return defaultValue;
    }
    return settings.value(key, defaultValue);
}

bool flushWrite(const QString &key, const QVariant &value, const std::function<void(bool)> &callback,
                const QVariantMap &, const QVariantMap &)
{
    QSettings settings(centreFile(), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    const bool ok = settings.status() == QSettings::NoError;
    if (!ok)
        qCWarning(lcConfigCenter) << centreFile() << ": cannot write" << key;
    if (callback)
        callback(ok);
    return ok;
}

} // namespace kcc
} // namespace krt
