// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirracalllog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {
constexpr int kKeptEntries = 2000;
constexpr qint64 kRotateSize = 4 * 1024 * 1024;
} // namespace

KCirraCallLog::KCirraCallLog(const QString &stateDir)
    : m_path(stateDir + QStringLiteral("/calls.log"))
{
    QDir().mkpath(stateDir);
}

void KCirraCallLog::append(const QJsonObject &entry)
{
    QJsonObject stamped = entry;
    stamped.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    m_entries.append(stamped);
    if (m_entries.size() > kKeptEntries)
        m_entries.removeFirst();

    QFile file(m_path);
    if (file.size() > kRotateSize) {
        QFile::remove(m_path + QStringLiteral(".1"));
        QFile::rename(m_path, m_path + QStringLiteral(".1"));
    }
    if (file.open(QIODevice::Append))
        file.write(QJsonDocument(stamped).toJson(QJsonDocument::Compact) + '\n');
}
