// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirracalllog.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>

namespace {
constexpr int kKeptEntries = 2000;
constexpr qint64 kRotateSize = 4 * 1024 * 1024;
constexpr int kFlushDelayMs = 100;
constexpr int kFlushBytes = 64 * 1024;
} // namespace

KCirraCallLog::KCirraCallLog(const QString &stateDir)
    : m_path(stateDir + QStringLiteral("/calls.log"))
{
    QDir().mkpath(stateDir);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushDelayMs);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { writePending(); });
}

KCirraCallLog::~KCirraCallLog()
{
    writePending();
}

void KCirraCallLog::append(const QJsonObject &entry)
{
    QJsonObject stamped = entry;
    stamped.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    m_entries.append(stamped);
    if (m_entries.size() > kKeptEntries)
        m_entries.removeFirst();

    // Writing every line as it comes would cost each call a file write.
    m_pending += QJsonDocument(stamped).toJson(QJsonDocument::Compact) + '\n';
    if (m_pending.size() >= kFlushBytes)
        writePending();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void KCirraCallLog::writePending()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    if (m_file.isOpen() && m_file.size() > kRotateSize) {
        m_file.close();
        QFile::remove(m_path + QStringLiteral(".1"));
        QFile::rename(m_path, m_path + QStringLiteral(".1"));
    }
    if (!m_file.isOpen()) {
        m_file.setFileName(m_path);
        if (!m_file.open(QIODevice::Append)) {
            m_pending.clear();
            return;
        }
    }
    m_file.write(m_pending);
    m_file.flush();
    m_pending.clear();
}
