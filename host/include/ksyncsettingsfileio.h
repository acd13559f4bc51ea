// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QByteArray>
#include <QtGlobal>

struct stat;

/*
 * The one seam through which the settings service touches the file system.
 * Every operation on a record file, its temporary and quarantined copies, its
 * lock and its directory goes through here, POSIX style: -1 (or nullptr) and
 * errno on failure.
 *
 * Before each operation check(op) is asked; a subclass (tests) answers an
 * errno value to make that call fail. A failed Write or MapWrite first stores
 * half of its bytes, so a failure looks like a torn write.
 *
 * Owner: the KSyncSettingsManager it is installed on (shared). Thread: that
 * manager's thread. Lifecycle: as long as any manager holds it.
 */
class KZELVASHELL_EXPORT KSyncSettingsFileIo
{
public:
    enum class Op {
        Open,
        Close,
        Read,
        Write,
        Fsync,
        Rename,
        Unlink,
        Mkdir,
        Lock,
        Stat,
        Truncate,
        Map,
        MapWrite,
        Msync,
        Touch,
    };

    KSyncSettingsFileIo();
    virtual ~KSyncSettingsFileIo();

    int open(const QByteArray &path, int flags, int mode = 0600);
    int close(int fd);
    // Reads up to `size` bytes at `offset`, retrying short reads; answers the count read.
    qint64 pread(int fd, char *buffer, qint64 size, qint64 offset);
    // Writes all of `size` bytes or fails.
    qint64 write(int fd, const char *data, qint64 size);
    int fsync(int fd);
    // fsync of the directory at `path`.
    int fsyncDir(const QByteArray &path);
    int rename(const QByteArray &from, const QByteArray &to);
    int unlink(const QByteArray &path);
    int mkdir(const QByteArray &path, int mode = 0700);
    // flock(2); `operation` is LOCK_SH / LOCK_EX / LOCK_UN, optionally | LOCK_NB.
    int flock(int fd, int operation);
    int fstat(int fd, struct stat *out);
    int lstat(const QByteArray &path, struct stat *out);
    int ftruncate(int fd, qint64 size);
    // Shared mapping of the first `size` bytes of `fd`; nullptr on failure.
    char *map(int fd, qint64 size, bool writable);
    void unmap(char *address, qint64 size);
    int mapWrite(char *destination, const char *source, qint64 size);
    int msync(char *address, qint64 size);
    // Sets the file's times to now, so that watchers of the directory see an
    // in-place change.
    int touch(int fd);

protected:
    // Asked before every operation: 0 lets it run, an errno value fails it.
    virtual int check(Op op);

private:
    Q_DISABLE_COPY(KSyncSettingsFileIo)
};
