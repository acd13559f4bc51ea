// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsformat.h"

#include <QByteArray>
#include <QString>

class KSyncSettingsFileIo;

/*
 * One record file opened and locked with flock(2) on the file itself, and the
 * operations done under that lock: read, replace by rename, write a slot in
 * place, move aside, remove. After the lock is taken the descriptor is checked
 * to still be the file at the path (a writer may have renamed a new one over
 * it), so waiting on a replaced file never passes for holding the record.
 *
 * Owner: the caller, on the stack. Thread: the caller's. Lifecycle: the lock
 * is released by the destructor or unlock().
 */
class KSyncSettingsRecordFile
{
public:
    enum class Access { Shared, Exclusive };

    // Cheap fingerprint of the file at the path, to skip reading unchanged files.
    struct StatKey
    {
        quint64 device = 0, inode = 0;
        qint64 size = -1, ctimeSec = 0, ctimeNsec = 0, mtimeSec = 0, mtimeNsec = 0;
        bool operator==(const StatKey &o) const;
        bool operator!=(const StatKey &o) const { return !(*this == o); }
    };

    KSyncSettingsRecordFile(KSyncSettingsFileIo *io, const QString &path);
    ~KSyncSettingsRecordFile();

    // Exclusive creates the file when it is missing. Shared on a missing file
    // succeeds with exists() false and holds nothing.
    bool lock(Access access, int timeoutMs);
    void unlock();
    bool exists() const { return m_fd >= 0; }
    // The last lock() failed because another holder kept the lock too long.
    bool timedOut() const { return m_timedOut; }

    // Reads the whole file. An unreadable file comes back as Corrupt with the
    // reason; `ioFailed` tells a failing read from bad content.
    KSyncSettingsFormat::Snapshot read(bool *ioFailed = nullptr);

    // The file's layout and identity from its headers only (see
    // KSyncSettingsFormat::peekHeader); Corrupt when they do not fit.
    KSyncSettingsFormat::Snapshot peek(bool *ioFailed);

    // Writes `bytes` (extended with zeros to `fileSize`) to a temporary file
    // in the same directory, syncs it, renames it over the record and syncs
    // the directory. `committed` tells whether the rename happened.
    bool replace(const QByteArray &bytes, qint64 fileSize, bool *committed);
    // Writes the payload into the slot of a mapped file that does not hold
    // `current`, then syncs it. `committed` tells whether the slot may be visible.
    bool writeSlot(const KSyncSettingsFormat::Snapshot &current, const QByteArray &payload,
                   const KSyncSettingsFormat::Identity &identity, bool *committed);
    bool remove();
    // Renames the file to "<name>.bad-<time>-<pid>[-n]" in the same directory
    // and answers the new path; empty on failure. Needs the exclusive lock.
    QString quarantine();
    // Removes temporary files a killed writer of this record left behind.
    // Needs the exclusive lock.
    void removeStaleTemporaries();

    StatKey statKey();
    static StatKey statKey(KSyncSettingsFileIo *io, const QString &path);

    QString errorString() const { return m_error; }

private:
    bool fail(const QString &what);
    // open(2) failed because of what stands at the path, not because of the folder or the system.
    static bool isObstacle(int error);
    // Moves a non-file at the path aside (with a warning) so the record can live there.
    bool moveObstacleAside(const QString &reason);

    KSyncSettingsFileIo *m_io;
    QString m_path;
    QByteArray m_encodedPath;
    QByteArray m_encodedDir;
    int m_fd = -1;
    bool m_timedOut = false;
    QString m_error;

    Q_DISABLE_COPY(KSyncSettingsRecordFile)
};
