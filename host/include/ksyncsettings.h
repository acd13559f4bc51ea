// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>

#include <functional>

class ISyncSettingsData;
class KSyncSettingsManager;
class KSyncSettingsPrivate;

/*
 * One synchronised settings record: the node tree of one (user, application
 * id), kept in memory and saved to <root>/<user>/<appId>.cfg by flush().
 *
 * Saves are atomic and durable; with the mapped option the file holds two
 * slots and is written in place. Several processes may share the file: a save
 * re-reads it under the record's lock and merges this process's changes since
 * its last load or save onto what is there (key by key), so a writer never
 * drops another's changes to other keys. A change saved by another process is
 * loaded (merged with local unsaved changes) and reported through the change
 * callback; saves of this process are never reported to it.
 *
 * Owner: the KSyncSettingsManager that opened it (never delete it). Thread:
 * the manager's thread. Lifecycle: from the first getUserSettings() for its
 * (user, appId) until the manager is destroyed; removeUserSettings() empties
 * it but keeps the object.
 */
class KZELVASHELL_EXPORT KSyncSettings : public QObject
{
    Q_OBJECT
public:
    // flush() / update() / reload() answers.
    enum Result {
        Ok = 0,
        IoError = 1,   // a file operation failed; the old record is still on disk
        LockError = 2, // another process held the record's lock too long
        TooLarge = 3,  // the record's text is over the file size limit
    };
    // First argument of the change callback.
    enum ChangeKind {
        VersionChanged = 0, // another process saved (or removed) the record; data() holds it now
    };
    // (kind, low 31 bits of the new generation) -> true when the receiver took
    // the change; false is logged.
    using ChangeCallback = std::function<bool(int, int)>;

    ~KSyncSettings() override;

    QString getSettingAppId() const;
    QString userId() const;
    // getSettingsKey(userId, appId) of the manager.
    QString settingsKey() const;
    QString filePath() const;
    bool isUseMMap() const;
    // Size of the mapped file (0 without the mapped option).
    qint64 mappedFileSize() const;

    // The record's root node. Its group cursor is shared by every caller of data().
    ISyncSettingsData *data();
    // A node over the same tree with a cursor of its own, starting at the root;
    // it stays usable (reading empty, writing nothing) after the manager is gone.
    QSharedPointer<ISyncSettingsData> groupAccessor();

    bool hasPendingChanges() const;
    // Saves pending changes. Nothing to save answers Ok without touching the
    // disk. On failure the changes stay pending, so the next flush retries.
    Result flush();
    // Read-modify-write under the record's lock: loads what is on disk, runs
    // `edit` on data() (cursor at the root), saves. For counters and other
    // values that two processes change from their old value.
    Result update(const std::function<void(ISyncSettingsData *)> &edit);
    // Loads what is on disk now (local unsaved changes are merged on top).
    Result reload();

    void setChangeCallback(ChangeCallback callback);
    // Generation of the record on disk as this object last saw it (0: none).
    quint64 generation() const;
    QString lastError() const;

private:
    friend class KSyncSettingsManager;
    friend class KSyncSettingsManagerPrivate;
    friend class KSyncSettingsPrivate;
    KSyncSettings(KSyncSettingsManager *manager, const QString &userId, const QString &appId,
                  const QString &filePath, bool useMMap, qint64 mappedFileSize);

    QScopedPointer<KSyncSettingsPrivate> d;
    Q_DISABLE_COPY(KSyncSettings)
};
