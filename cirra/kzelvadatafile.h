// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QByteArray>
#include <QString>

/*
 * Reading and writing the small files a process keeps its own data in (run
 * markers, service state, served page files) so that nothing put in their
 * place can block or fool it: files are opened without blocking and without
 * following a link, and only a regular file is read. What stands where such a
 * file belongs (a FIFO, socket, directory, link, device, an unreadable file)
 * is moved aside as "<name>.bad-<yyyyMMdd-hhmmss>-<pid>[-<n>]", like a record
 * that does not parse. Written files are private (0600) and replaced whole.
 *
 * Stateless helpers; any thread.
 */
class KZCIRRA_EXPORT KZelvaDataFile
{
public:
    enum class Read {
        Ok,
        Missing,
        Unreadable
    };

    // The whole file at `path`, at most `maxBytes`; Unreadable (with the
    // reason) for anything but a readable regular file of that size.
    static Read read(const QString &path, qint64 maxBytes, QByteArray *out, QString *reason = nullptr,
                     bool followLinks = false);
    // An unused "<path>.bad-<time>-<pid>[-<n>]" name beside `path`.
    static QString asideName(const QString &path);
    // Renames whatever is at `path` to asideName(path); the new path, empty on failure.
    static QString moveAside(const QString &path);
    // Replaces `path` with `bytes` (mode 0600, temporary file, fsync, rename);
    // an obstacle at `path` that is not a regular file is moved aside first.
    static bool writePrivate(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // A descriptor (close-on-exec) appending to the regular file at `path`,
    // created 0600 when missing; an obstacle is moved aside first. -1 on failure.
    static int openAppend(const QString &path, QString *error = nullptr);
    // Creates `dir` and its missing parents with mode 0700; false when it is
    // not a directory (a link to one does not count).
    static bool ensurePrivateDir(const QString &dir, QString *error = nullptr);
};
