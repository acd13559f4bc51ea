// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QStringList>

/*
 * The shell's backup manager: knows whether an earlier run of this user's
 * shell ended in a crash and which documents it can recover. Each run keeps
 * its own marker "running-<user>-<app>.<pid>.json" in the config directory,
 * locked (flock) for as long as it lives; a marker nobody holds is a crash.
 * Owned by the application; start() takes the markers of dead runs and
 * leaves this run's, markCleanExit() removes it.
 */
class KZELVASHELL_EXPORT KZelvaBackupMgr : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaBackupMgr(QObject *parent = nullptr);
    ~KZelvaBackupMgr() override;

    // Takes the markers of runs that died (each by one shell only) and leaves one for this run.
    void start();
    void markCleanExit();

    bool hasCrash() const { return m_crashed; }
    qint64 recoverPid() const { return m_recoverPid; }
    int recoverCount() const { return m_crashed ? qMax(1, m_recoverFiles.size()) : 0; }
    QStringList recoverFiles() const { return m_recoverFiles; }
    bool isNeedRecoverFileBeforUpdate() const { return !m_filesBeforeUpdate.isEmpty(); }
    QStringList getLastOpenFilesBeforUpdate() const { return m_filesBeforeUpdate; }

    // Records the documents a crash should bring back (kept in the marker).
    void setOpenFiles(const QStringList &paths);
    // For tests and the shell's command line.
    void setCrashState(bool crashed, qint64 pid) { m_crashed = crashed; m_recoverPid = pid; }
    void setFilesBeforeUpdate(const QStringList &files) { m_filesBeforeUpdate = files; }

    // This run's marker.
    QString markerPath() const;

private:
    QString markerPrefix() const;
    // Recovers from the marker at `path` when no live run holds it, and removes it.
    void takeMarker(const QString &path);
    int m_markerFd = -1;
    bool m_crashed = false;
    qint64 m_recoverPid = 0;
    QStringList m_recoverFiles;
    QStringList m_filesBeforeUpdate;
};
