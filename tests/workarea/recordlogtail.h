// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxloggerlite.h>

#include <QFile>
#include <QStringList>

/*
 * Reads the host logger's file from the moment it was created, so a test can
 * see exactly the lines one call wrote. Lines are "<time> [<level>] [<module>]
 * <message>"; lines() returns "[<level>] [<module>] <message>".
 */
class RecordLogTail
{
public:
    RecordLogTail()
    {
        // Opens the log file if this is the first line of the process.
        KxLoggerLite::write(KxLoggerLite::Debug, QStringLiteral("test"), QStringLiteral("tail"));
        QFile file(KxLoggerLite::filePath());
        m_offset = file.size();
    }

    QStringList lines() const
    {
        QStringList result;
        QFile file(KxLoggerLite::filePath());
        if (!file.open(QIODevice::ReadOnly) || !file.seek(m_offset))
            return result;
        const QList<QByteArray> raw = file.readAll().split('\n');
        for (const QByteArray &line : raw) {
            const int start = line.indexOf(" [");
            if (start >= 0)
                result.append(QString::fromUtf8(line.mid(start + 1)));
        }
        return result;
    }

private:
    qint64 m_offset = 0;
};
