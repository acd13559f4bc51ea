// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsmanager.h"

#include <QMap>
#include <QSet>
#include <QTimer>

class QFileSystemWatcher;

/*
 * State of the KSyncSettingsManager: the open records, the file seam, the
 * watcher of the user directories and the timer that batches its events.
 * Owner: its manager. Thread: the manager's.
 */
class KSyncSettingsManagerPrivate
{
public:
    explicit KSyncSettingsManagerPrivate(KSyncSettingsManager *q);

    // Logs and answers false for a user id or key that is not a valid name.
    bool checkNames(const QString &userId, const QString &key, const char *operation) const;
    QString userDir(const QString &userId) const;
    QString filePath(const QString &userId, const QString &key) const;
    // Creates <root>/<user> when missing and watches it; refuses anything
    // there that is not a plain directory (a symlink, a file).
    bool ensureUserDir(const QString &userId, QString *error);
    void onDirectoryChanged(const QString &dir);
    void checkChangedDirs();

    KSyncSettingsManager *q;
    QString root;
    QSharedPointer<KSyncSettingsFileIo> io;
    int lockTimeout = 5000;
    QMap<QString, KSyncSettings *> records; // by settings key
    QFileSystemWatcher *watcher = nullptr;
    QSet<QString> watchedDirs;
    QSet<QString> changedDirs;
    QTimer batchTimer;
    QTimer pollTimer; // only when a directory cannot be watched
};
