// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxloggerlite.h"

#include "kzelvadatafile.h"
#include "kzelvapaths.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace {

struct LoggerState
{
    QMutex mutex;
    QFile file;
    QString path; // a QFile opened on a descriptor has no name
    bool opened = false;
    int echoAll = -1; // -1: read from the environment on first use
};

LoggerState &state()
{
    static LoggerState s;
    return s;
}

const char *levelText(KxLoggerLite::Level level)
{
    switch (level) {
    case KxLoggerLite::Info: return "info";
    case KxLoggerLite::Error: return "error";
    case KxLoggerLite::Warning: return "warning";
    case KxLoggerLite::Debug: return "debug";
    }
    return "?";
}

} // namespace

void KxLoggerLite::write(Level level, const QString &module, const QString &message)
{
    LoggerState &s = state();
    const QByteArray line = QDateTime::currentDateTime()
                                .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                                .toUtf8()
        + " [" + levelText(level) + "] [" + module.toUtf8() + "] " + message.toUtf8() + '\n';
    QMutexLocker lock(&s.mutex);
    if (!s.opened) {
        s.opened = true;
        s.path = KZelvaPaths::logFile();
        // Never waits on a FIFO or follows a link put in the log's place.
        const int fd = KZelvaDataFile::openAppend(s.path);
        if (fd < 0 || !s.file.open(fd, QIODevice::Append | QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
            std::fprintf(stderr, "kxloggerlite: cannot open %s\n", qPrintable(s.path));
    }
    if (s.file.isOpen()) {
        s.file.write(line);
        s.file.flush();
    }
    if (s.echoAll < 0)
        s.echoAll = qEnvironmentVariable("KZELVA_LOG_STDERR") == QLatin1String("all") ? 1 : 0;
    if (s.echoAll == 1 || level == Error || level == Warning)
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

void KxLoggerLite::setStderrEcho(bool all)
{
    QMutexLocker lock(&state().mutex);
    state().echoAll = all ? 1 : 0;
}

QString KxLoggerLite::filePath()
{
    QMutexLocker lock(&state().mutex);
    return state().path;
}
