// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kresidualcfghelperasynctask.h"

#include "kzelvaworkareahelper.h"

#include <kthreadtaskposter.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

KResidualCfgHelperAsyncTask::KResidualCfgHelperAsyncTask(KThreadTaskPoster *poster, const QString &residualCfgFile,
                                                         const QStringList &ids, int mode, QObject *parent)
    : QObject(parent)
    , m_poster(poster)
    , m_file(residualCfgFile)
    , m_ids(ids)
    , m_mode(mode)
    , m_quit(std::make_shared<std::atomic_bool>(false))
{
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &KResidualCfgHelperAsyncTask::onAboutToQuit);
}

KResidualCfgHelperAsyncTask::~KResidualCfgHelperAsyncTask()
{
    // The scan posts its result to this object: it must be over before the
    // object goes (queued calls to a deleted receiver are dropped).
    if (m_running && m_poster) {
        m_quit->store(true);
        m_poster->waitForIdle();
    }
}

bool KResidualCfgHelperAsyncTask::isRemovableName(const QString &baseName)
{
    if (baseName == QLatin1String("residual") || baseName == QLatin1String("workarea"))
        return false;
    return baseName == QLatin1String("default") || !QUuid(baseName).isNull();
}

bool KResidualCfgHelperAsyncTask::start()
{
    if (m_running || !m_poster || m_file.isEmpty())
        return false;
    m_running = true;
    const std::shared_ptr<std::atomic_bool> quit = m_quit;
    m_poster->postTask([quit, file = m_file, ids = m_ids, mode = m_mode, minAge = m_minAgeSecs, receiver = this] {
        const QStringList removed = removeInvalidResidualCfgFile(file, ids, mode, quit.get(), minAge);
        // The receiver outlives the scan (its destructor waits for it).
        QMetaObject::invokeMethod(receiver, "onRunComplete", Qt::QueuedConnection, Q_ARG(QStringList, removed));
    });
    return true;
}

QStringList KResidualCfgHelperAsyncTask::removeInvalidResidualCfgFile(const QString &residualCfgFile,
                                                                     const QStringList &ids, int mode,
                                                                     const std::atomic_bool *quit, int minAgeSecs)
{
    QStringList removed;
    if (residualCfgFile.isEmpty())
        return removed;
    const QDir dir = QFileInfo(residualCfgFile).absoluteDir();
    if (!dir.exists())
        return removed;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden,
                                                    QDir::Name);
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo &entry : entries) {
        if (quit && quit->load()) {
            writeLog(0, QStringLiteral("removeInvalidResidualCfgFile cancel, listResidualCfgFileCnt: %2").arg(entries.size()));
            break;
        }
        const QString baseName = entry.completeBaseName();
        if (entry.suffix() != QLatin1String("cfg") || !isRemovableName(baseName))
            continue;
        const bool included = ids.contains(baseName);
        const bool doomed = (mode == RemoveUnlisted && !included) || (mode == RemoveListed && included);
        if (!doomed || (minAgeSecs > 0 && entry.lastModified().secsTo(now) < minAgeSecs))
            continue;
        QFile file(entry.absoluteFilePath());
        const bool ok = file.remove();
        if (!ok)
            writeLog(2, QStringLiteral("try remove file failed, permission: %1").arg(int(file.permissions()), 0, 16));
        writeLog(ok ? 0 : 2, QStringLiteral("removeCfgFile cfgUid: %1, bRemoved: %2, bInclude: %3, errorInfo: %4")
                                 .arg(baseName)
                                 .arg(ok)
                                 .arg(included)
                                 .arg(ok ? QString() : file.errorString()));
        if (ok)
            removed.append(baseName);
    }
    return removed;
}

void KResidualCfgHelperAsyncTask::onRunComplete(const QStringList &removed)
{
    m_running = false;
    Q_EMIT sigRunComplete(removed);
}

void KResidualCfgHelperAsyncTask::onAboutToQuit()
{
    m_quit->store(true);
}
