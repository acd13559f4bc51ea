// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvabackupmgr.h"

#include "kzelvapaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcBackup, "zelva.backup", QtInfoMsg)

KZelvaBackupMgr::KZelvaBackupMgr(QObject *parent)
    : QObject(parent)
{
}

QString KZelvaBackupMgr::markerPath() const
{
    const QString user = qApp ? qApp->property("zelvaUserId").toString() : QString();
    const QString app = qApp ? qApp->property("zelvaAppName").toString() : QString();
    // One marker per user and application name, so two shells of one user
    // with different application names do not take each other for crashed.
    QString name = user + QLatin1Char('-') + app;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    return KZelvaPaths::configDir() + QStringLiteral("/running-") + name + QStringLiteral(".json");
}

void KZelvaBackupMgr::start()
{
    QFile marker(markerPath());
    if (marker.open(QIODevice::ReadOnly)) {
        const QJsonObject previous = QJsonDocument::fromJson(marker.read(1 << 20)).object();
        m_crashed = true;
        m_recoverPid = previous.value(QStringLiteral("pid")).toVariant().toLongLong();
        m_recoverFiles.clear();
        const QJsonArray files = previous.value(QStringLiteral("files")).toArray();
        for (const QJsonValue &file : files)
            m_recoverFiles.append(file.toString());
        qCInfo(lcBackup) << "previous run" << m_recoverPid << "did not end cleanly;" << m_recoverFiles.size()
                         << "documents to recover";
    }
    setOpenFiles({});
}

void KZelvaBackupMgr::setOpenFiles(const QStringList &paths)
{
    QSaveFile marker(markerPath());
    if (!marker.open(QIODevice::WriteOnly)) {
        qCWarning(lcBackup) << marker.fileName() << ": cannot write run marker";
        return;
    }
    const QJsonObject state{{QStringLiteral("pid"), QCoreApplication::applicationPid()},
                            {QStringLiteral("files"), QJsonArray::fromStringList(paths)}};
    marker.write(QJsonDocument(state).toJson(QJsonDocument::Compact));
    marker.commit();
}

void KZelvaBackupMgr::markCleanExit()
{
    QFile::remove(markerPath());
}
