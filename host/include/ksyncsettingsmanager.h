// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QList>
#include <QObject>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariantMap>

class KSyncSettings;
class KSyncSettingsFileIo;
class KSyncSettingsManagerPrivate;

/*
 * The host's per-user synchronised settings service. It hands out one
 * KSyncSettings per (user id, application id), stored as
 * <root>/<user id>/<application id>.cfg; all files of a user share one
 * directory, which is watched so that saves by other processes reach the
 * open records. User ids and keys are file names and must pass
 * isValidName(); anything else is refused with a log line.
 *
 * Options of getUserSettings: "isUseMMap" (bool) stores the record in the
 * two-slot mapped form, "defaultMMapFileSize" (int, bytes) sizes that file.
 *
 * Owner: instance() is parented to the application object (its root is
 * KZelvaPaths::configDir() + "/syncsettings"); tests construct their own on a
 * temporary root. Thread: GUI thread. Lifecycle: pending changes are flushed
 * when it is destroyed.
 */
class KZELVASHELL_EXPORT KSyncSettingsManager : public QObject
{
    Q_OBJECT
public:
    // Longest user id or key accepted as a file name.
    static constexpr int MaxNameLength = 128;
    // Plain records over this size are reported through settingsFileOverSize.
    static constexpr qint64 OverSizeLimit = qint64(2) << 20;
    // Mapped file size when the options give none.
    static constexpr qint64 DefaultMappedFileSize = qint64(2) << 20;

    static KSyncSettingsManager *instance();

    explicit KSyncSettingsManager(const QString &rootDir, QObject *parent = nullptr);
    ~KSyncSettingsManager() override;

    // The record of (userId, appId), opened (and loaded) on first use; the
    // same object afterwards, whatever the options. Null for refused ids.
    KSyncSettings *getUserSettings(const QString &userId, const QString &appId,
                                   const QVariantMap &options = QVariantMap());
    // Text naming the record of (userId, appId): "<userId>/<appId>"; empty for refused ids.
    QString getSettingsKey(const QString &userId, const QString &appId) const;
    // <root>/<userId>/<key>.cfg, whether or not it exists; empty for refused ids.
    QString getDefaultSyncCfgFilePath(const QString &userId, const QString &key) const;
    // Open records with unsaved changes.
    QList<KSyncSettings *> getPendingSettings() const;
    // Deletes the record's file and empties its object (if open). True when
    // no file is left.
    bool removeUserSettings(const QString &userId, const QString &key);
    // flush() of every pending record; answers how many failed.
    int flushAll();

    QString rootDir() const;
    // Replaces the file-operation seam (tests). Null restores the real one.
    void setFileIo(const QSharedPointer<KSyncSettingsFileIo> &io);
    KSyncSettingsFileIo *fileIo() const;
    // How long a save waits for another process's lock (default 5000 ms).
    void setLockTimeout(int milliseconds);
    int lockTimeout() const;

    // The allowlist for user ids and keys: 1..MaxNameLength characters of
    // A-Z a-z 0-9 and "-_.@+{}", not starting with '.'.
    static bool isValidName(const QString &name, QString *why = nullptr);

Q_SIGNALS:
    // A save wrote a record larger than its limit (mapped size or OverSizeLimit).
    void settingsFileOverSize(const QString &fileName);
    // A record's save failed for a reason other than a busy lock; its changes
    // stay pending. Emitted once until that record saves again.
    void saveFailed(const QString &fileName, const QString &error);

private:
    friend class KSyncSettings;
    friend class KSyncSettingsPrivate;
    QScopedPointer<KSyncSettingsManagerPrivate> d;
    Q_DISABLE_COPY(KSyncSettingsManager)
};
