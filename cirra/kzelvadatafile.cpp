// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvadatafile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

bool exists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

int closeKeepingErrno(int fd)
{
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

} // namespace

KZelvaDataFile::Read KZelvaDataFile::read(const QString &path, qint64 maxBytes, QByteArray *out, QString *reason,
                                          bool followLinks)
{
    out->clear();
    // O_NONBLOCK: a FIFO in the file's place opens at once instead of waiting for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        if (errno == ENOENT)
            return Read::Missing;
        setReason(reason, errno == ELOOP ? QStringLiteral("a link or a link loop") : errnoText(errno));
        return Read::Unreadable;
    }
    struct stat st;
    Read result = Read::Ok;
    if (::fstat(fd, &st) != 0) {
        setReason(reason, errnoText(errno));
        result = Read::Unreadable;
    } else if (!S_ISREG(st.st_mode)) {
        setReason(reason, QStringLiteral("not a regular file"));
        result = Read::Unreadable;
    } else if (qint64(st.st_size) > maxBytes) {
        setReason(reason, QStringLiteral("larger than %1 bytes").arg(maxBytes));
        result = Read::Unreadable;
    } else {
        out->resize(int(st.st_size));
        qint64 done = 0;
        while (done < out->size()) {
            const ssize_t n = ::read(fd, out->data() + done, size_t(out->size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                setReason(reason, errnoText(errno));
                result = Read::Unreadable;
                break;
            }
            if (n == 0)
                break;
            done += n;
        }
        out->truncate(int(done));
    }
    ::close(fd);
    if (result != Read::Ok)
        out->clear();
    return result;
}

QString KZelvaDataFile::asideName(const QString &path)
{
    const QString base = path + QStringLiteral(".bad-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")) + QLatin1Char('-')
                         + QString::number(::getpid());
    QString target = base;
    for (int n = 1; exists(QFile::encodeName(target)); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    return target;
}

QString KZelvaDataFile::moveAside(const QString &path)
{
    const QString target = asideName(path);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0)
        return QString();
    return target;
}

bool KZelvaDataFile::writePrivate(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode) && moveAside(path).isEmpty()) {
        setReason(error, QStringLiteral("cannot move aside what stands at %1: %2").arg(path, errnoText(errno)));
        return false;
    }
    const QByteArray temp = native + ".tmp-" + QByteArray::number(::getpid()) + '-'
                            + QByteArray::number(QRandomGenerator::global()->generate(), 36);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    qint64 done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += qMax<ssize_t>(n, 0);
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0)
        ok = (ok ? ::close(fd) == 0 : closeKeepingErrno(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), native.constData()) == 0;
    if (!ok) {
        setReason(error, QStringLiteral("cannot write %1: %2").arg(path, errnoText(errno)));
        ::unlink(temp.constData());
    }
    return ok;
}

int KZelvaDataFile::openAppend(const QString &path, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // O_NONBLOCK: a FIFO with no reader fails at once (ENXIO) instead of waiting.
        const int fd =
            ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            ::fcntl(fd, F_SETFL, O_APPEND); // blocking writes from here: it is a regular file
            return fd;
        }
        if (fd >= 0)
            closeKeepingErrno(fd);
        if (moveAside(path).isEmpty())
            break;
    }
    setReason(error, QStringLiteral("cannot open %1 for appending: %2").arg(path, errnoText(errno)));
    return -1;
}

bool KZelvaDataFile::ensurePrivateDir(const QString &dir, QString *error)
{
    // Parents may be links (a home on another disk); the directory itself may not.
    const QByteArray native = QFile::encodeName(dir);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        const QString parent = QFileInfo(dir).path();
        if (parent != dir && ::stat(QFile::encodeName(parent).constData(), &st) != 0
            && !ensurePrivateDir(parent, error))
            return false;
        if ((::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) || ::lstat(native.constData(), &st) != 0) {
            setReason(error, QStringLiteral("cannot create %1: %2").arg(dir, errnoText(errno)));
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        setReason(error, QStringLiteral("%1 is not a directory").arg(dir));
        return false;
    }
    return true;
}
