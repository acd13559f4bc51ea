// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kdcinfo.h"

#include "kzelvadatafile.h"
#include "kzelvapaths.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

Q_LOGGING_CATEGORY(lcDc, "zelva.dc", QtInfoMsg)

namespace {
QMutex &dcMutex()
{
    static QMutex mutex;
    return mutex;
}
} // namespace

KDcInfo *getDcInfo()
{
    static KDcInfo info;
    return &info;
}

QString KDcInfo::eventFile() const
{
    return KZelvaPaths::runtimeDir() + QStringLiteral("/dc-events.jsonl");
}

void KDcInfo::postGeneralEvent(const QString &event, const QMap<QString, QString> &args)
{
    QJsonObject argObject;
    for (auto it = args.cbegin(); it != args.cend(); ++it)
        argObject.insert(it.key(), it.value());
    const QJsonObject line{{QStringLiteral("time"), QDateTime::currentMSecsSinceEpoch()},
                           {QStringLiteral("event"), event},
                           {QStringLiteral("args"), argObject}};
    QMutexLocker lock(&dcMutex());
    QFile file;
    const int fd = KZelvaDataFile::openAppend(eventFile());
    if (fd < 0 || !file.open(fd, QIODevice::Append | QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        qCWarning(lcDc) << file.fileName() << ": cannot record event" << event << file.errorString();
        return;
    }
    file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}
