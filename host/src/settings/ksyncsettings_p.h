// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettings.h"
#include "ksyncsettingsdata.h"
#include "ksyncsettingsformat.h"
#include "ksyncsettingsrecordfile.h"

class KSyncSettingsFileIo;

/*
 * State of one KSyncSettings: the live tree, the tree as last seen on disk
 * (the base of the three-way merge), what is on disk, and the change callback.
 * Owner: its KSyncSettings. Thread: the manager's.
 */
class KSyncSettingsPrivate
{
public:
    using Format = KSyncSettingsFormat;

    KSyncSettingsPrivate(KSyncSettings *q, KSyncSettingsManager *manager);

    bool hasPendingChanges() const { return rewrite || data.revision() != savedRevision; }
    KSyncSettingsFileIo *io() const;
    int lockTimeout() const;

    // Loads the record at open; a bad file is moved aside, the record starts empty.
    void load();
    // Saves (after running `edit` under the lock, when given).
    KSyncSettings::Result commit(const std::function<void(ISyncSettingsData *)> *edit);
    // Loads a change another process saved (unless the file looks untouched
    // and `force` is false). False when the file could not be read.
    bool checkDisk(bool force);
    // The record's file was removed by this process.
    void forget();

    KSyncSettings *q;
    KSyncSettingsManager *manager;
    QString userId;
    QString appId;
    QString path;
    bool useMMap = false;
    qint64 mappedFileSize = 0;

    KSyncSettingsData data;
    KSyncSettingsNode base;
    quint64 savedRevision = 0;
    Format::Identity identity;
    KSyncSettingsRecordFile::StatKey statKey;
    KSyncSettings::ChangeCallback callback;
    QString lastError;
    bool temporariesCleaned = false;
    bool rewrite = false; // the file was moved aside: what we hold must be written again
    bool notifyQueued = false;
    bool failureReported = false; // saveFailed was emitted since the last good save

private:
    // Reads the record under a shared lock; a bad file is moved aside (Missing
    // is answered then, with `quarantined` set). False when the state on disk
    // could not be learnt.
    bool readOrQuarantine(Format::Snapshot *out, bool *quarantined);
    // Takes `theirs` as the new base and merges unsaved local changes onto it.
    void adopt(const KSyncSettingsNode &theirs, const Format::Identity &theirIdentity);
    void replaceRoot(const KSyncSettingsNode &root);
    // The file on disk is gone (moved aside): forget it, keep the tree, save it again.
    void setLost();
    void notify();
    KSyncSettings::Result failed(KSyncSettings::Result result, const QString &error);
};
