// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kprocesslauncher.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

bool KProcessLauncher::startDetached(const QString &program, const QStringList &arguments, qint64 *pid)
{
    const bool ok = !program.isEmpty() && QProcess::startDetached(program, arguments, QString(), pid);
    const QString log = qEnvironmentVariable("KZELVA_LAUNCH_LOG");
    if (!log.isEmpty()) {
        QFile file(log);
        if (file.open(QIODevice::Append)) {
            const QJsonObject line{{QStringLiteral("program"), program},
                                   {QStringLiteral("arguments"), QJsonArray::fromStringList(arguments)},
                                   {QStringLiteral("ok"), ok}};
            file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
        }
    }
    return ok;
}
