// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <memory>

class KThreadTaskPoster;

/*
 * Removes residual record files in the background: scans the directory of
 * one residual file on the host's worker thread and removes the ".cfg"
 * files that mode 0 finds missing from the ids (records nobody refers to
 * any more) or mode 1 finds among them. "residual" and "workarea" files are
 * never touched, nor is any file whose base name is not "default" or a
 * residual id (other records of the user live in the same directory).
 *
 * Created and owned on the GUI thread (child of its requester); start()
 * posts the scan, whose result comes back queued as sigRunComplete. The
 * application's aboutToQuit stops a running scan at its next file; the
 * destructor stops it and waits for it.
 */
class KResidualCfgHelperAsyncTask : public QObject
{
    Q_OBJECT
public:
    enum Mode { RemoveUnlisted = 0, RemoveListed = 1 };

    KResidualCfgHelperAsyncTask(KThreadTaskPoster *poster, const QString &residualCfgFile, const QStringList &ids,
                                int mode, QObject *parent = nullptr);

    // Files changed less than this long ago are left for a later scan
    // (another process may have just written a record it has not listed yet).
    void setMinimumAge(int seconds) { m_minAgeSecs = seconds; }
    ~KResidualCfgHelperAsyncTask() override;

    bool start();
    bool isRunning() const { return m_running; }

    // The scan itself: runs on the calling thread; `quit` (may be null) is
    // read before every file. Returns the base names of the removed files.
    static QStringList removeInvalidResidualCfgFile(const QString &residualCfgFile, const QStringList &ids, int mode,
                                                    const std::atomic_bool *quit = nullptr, int minAgeSecs = 0);
    // Whether a file with this base name may be removed by a scan at all.
    static bool isRemovableName(const QString &baseName);

Q_SIGNALS:
    void sigRunComplete(const QStringList &removed);

public Q_SLOTS:
    void onRunComplete(const QStringList &removed);
    void onAboutToQuit();

private:
    QPointer<KThreadTaskPoster> m_poster;
    QString m_file;
    QStringList m_ids;
    int m_mode;
    int m_minAgeSecs = 0;
    bool m_running = false;
    std::shared_ptr<std::atomic_bool> m_quit;
};
