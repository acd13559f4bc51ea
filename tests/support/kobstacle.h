// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

// Things a hostile or broken system leaves where a data file belongs.

#include <QDir>
#include <QFile>
#include <QString>
#include <QtTest>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <fcntl.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Adds one row per obstacle kind; the column is "obstacle".
inline void addObstacleRows(const char *prefix = "")
{
    QTest::addColumn<QString>("obstacle");
    for (const char *kind : {"fifo", "directory", "link loop", "socket", "mode 000", "garbage"})
        QTest::newRow(qPrintable(QLatin1String(prefix) + QLatin1String(kind))) << QString::fromLatin1(kind);
}

// Puts an obstacle of `kind` at `path`; false (and a skip reason) when it cannot be made here.
inline bool makeObstacle(const QString &kind, const QString &path, QString *skip)
{
    const QByteArray native = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).path());
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(native.constData(), 0600) == 0;
    if (kind == QLatin1String("directory"))
        return QDir().mkpath(path + QStringLiteral("/inside"));
    if (kind == QLatin1String("link loop"))
        return ::symlink(native.constData(), native.constData()) == 0;
    if (kind == QLatin1String("socket")) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(native.size()) >= sizeof address.sun_path) {
            *skip = QStringLiteral("path too long for a socket");
            return false;
        }
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(kind == QLatin1String("garbage") ? QByteArray("\x01not a record\xff") : QByteArray("{}"));
    file.close();
    if (kind == QLatin1String("mode 000")) {
        if (::geteuid() == 0) {
            *skip = QStringLiteral("root reads a file of mode 000");
            return false;
        }
        return ::chmod(native.constData(), 0) == 0;
    }
    return true;
}

#define KZ_MAKE_OBSTACLE(kind, path)                                                                                   \
    do {                                                                                                               \
        QString skipReason;                                                                                            \
        if (!makeObstacle((kind), (path), &skipReason)) {                                                              \
            if (!skipReason.isEmpty())                                                                                 \
                QSKIP(qPrintable(skipReason));                                                                         \
            QFAIL(qPrintable(QStringLiteral("cannot make %1 at %2").arg(kind, path)));                                 \
        }                                                                                                              \
    } while (false)

// Frees a reader this thread leaves blocked on a FIFO at `path` (by opening
// its other end) after `ms`, so a test of code that waits on one fails
// instead of hanging; released() tells whether it had to.
class KFifoWatchdog
{
public:
    KFifoWatchdog(const QString &path, int ms)
        : m_thread([this, native = QFile::encodeName(path), ms] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop; }))
                return;
            const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                m_released = true;
                ::close(fd);
            }
        })
    {
    }
    ~KFifoWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    bool released()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_released;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_released = false;
    std::thread m_thread;
};
