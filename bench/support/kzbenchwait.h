// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>

#include <unistd.h>

/*
 * Runs the event loop until `done()` holds or `timeoutMs` passed (false
 * then). The loop sleeps until an event comes: a socket, a process or a
 * timer wakes it at once, so a measured arrival is seen without spinning a
 * core the measured processes need. A condition no event announces (a file
 * appearing) is looked at again every `pollMs`.
 */
template<typename Pred>
bool kzBenchWaitUntil(Pred done, int timeoutMs, int pollMs = 5)
{
    const QDeadlineTimer deadline(timeoutMs);
    QTimer tick;
    tick.start(pollMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Resident memory of a process in KiB ("VmRSS" of /proc/<pid>/status); pid 0 is this process.
inline qint64 kzBenchResidentKiB(qint64 pid)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Processor time of a process so far in milliseconds (utime + stime of /proc/<pid>/stat); pid 0 is this process.
inline qint64 kzBenchCpuMs(qint64 pid)
{
    QFile stat(pid ? QStringLiteral("/proc/%1/stat").arg(pid) : QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // The command name may hold spaces: fields are counted after its ')'.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
    return ticks * 1000 / ::sysconf(_SC_CLK_TCK);
}
