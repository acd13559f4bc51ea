// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QStringList>

class KZelvaMainWindow;
class KZelvaWorkAreaManager;

/*
 * Brings back what the user had: after a crash, the work areas that were
 * shown when the process died, each in a window of its own, the first
 * window taking the one the user last worked in; and the host's queries
 * about the documents that can be reopened. A child of the manager. GUI
 * thread.
 */
class KZelvaWorkAreaRecovery : public QObject
{
    Q_OBJECT
public:
    // Crashed work areas older than this are not brought back.
    static constexpr int CrashRecoverWindowSecs = 600;

    explicit KZelvaWorkAreaRecovery(KZelvaWorkAreaManager *manager);

    void recoverCrashedWorkAreas(KZelvaMainWindow *window);
    int recoverFileCount(int *current);
    QStringList recoverFileList(int pageType);

private:
    bool decideRecoveryId();

    KZelvaWorkAreaManager *m_manager;
    QString m_recoveryId;
};
