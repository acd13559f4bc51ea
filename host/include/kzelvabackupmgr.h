// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QStringList>

/*
 * The shell's backup manager: knows whether the last run of this user's
 * shell ended in a crash (a run marker left behind in the config directory)
 * and which documents it can recover. Owned by the application; start()
 * reads and replaces the marker, markCleanExit() removes it.
 */
class KZELVASHELL_EXPORT KZelvaBackupMgr : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaBackupMgr(QObject *parent = nullptr);

    // Reads the marker of the previous run and leaves one for this run.
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

private:
    QString markerPath() const;
    bool m_crashed = false;
    qint64 m_recoverPid = 0;
    QStringList m_recoverFiles;
    QStringList m_filesBeforeUpdate;
};
