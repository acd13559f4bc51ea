// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QHash>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

class ISyncSettingsData;
class IKZelvaResidualWorkAreas;
class KResidualCfgHelperAsyncTask;
class KSyncSettings;
class KThreadTaskPoster;
class KZelvaMainWindow;
class KZelvaWorkAreaSettingsWrapper;

/*
 * The residual records of closed windows: one synchronised settings record
 * per closed window (key = its residual id, a UUID), the shared record
 * "default" for tabs closed on their own, and in the record "residual" the
 * list of window records with their closing times. Each record holds one
 * work area in the stored form of the "workarea" record, grouped under the
 * residual id, its items stamped "lastClosedDateTime", "isResidual" and
 * "relativeWorkAreaId". Also keeps, per open window, the fixed items
 * (locked tabs without work area) closed in it, for its record.
 *
 * Reads and writes go straight through the settings records (nothing is
 * cached), so changes another process saved are seen at once. Owned by the
 * manager; registered with the host's plug-in manager as
 * "__KZelvaResidualRecords__" for the shell's automation. GUI thread; the
 * file scans run on a worker thread (KResidualCfgHelperAsyncTask).
 */
class KZelvaResidualRecords : public QObject
{
    Q_OBJECT
public:
    static const QLatin1String DefaultId;

    explicit KZelvaResidualRecords(KZelvaWorkAreaSettingsWrapper *wrapper, QObject *parent = nullptr);
    ~KZelvaResidualRecords() override;

    // The manager's live residual work areas (null: none are kept). The
    // holder unsets itself before it goes.
    void setResidualWorkAreas(IKZelvaResidualWorkAreas *workAreas) { m_workAreas = workAreas; }

    // Marks an item as closed at `nowMs` from the live work area
    // `relativeWorkAreaId` ("lastClosedDateTime", "isResidual",
    // "relativeWorkAreaId", and "recoverFileId" for a cloud document).
    static void stampClosed(KZelvaWorkAreaRecoverItem *item, const QString &relativeWorkAreaId, qint64 nowMs);

    // The work area and items stored in a record; false when there is none.
    bool readRecord(const QString &residualId, KZelvaWorkAreaData *data,
                    QVector<KZelvaWorkAreaRecoverItem> *items);
    // Window records, newest first.
    QStringList windowResidualIds();

    // Writes a closed window's record: under `residualId`, or a new id when
    // empty (merging with what the record holds). Returns the residual id,
    // empty when residual saving is off or nothing could be written.
    QString saveWindowResidualCfgFile(const QString &residualId, const KZelvaWorkAreaData &liveWorkArea,
                                      const QVector<KZelvaWorkAreaRecoverItem> &items);
    // Adds (or updates) one closed tab in the record `residualId` ("default"
    // when empty). Only close modes 0, 1, 5 and 11 are kept.
    bool addWorkAreaFixedResidualItem(const QString &residualId, KZelvaWorkAreaRecoverItem item,
                                      const QString &relativeWorkAreaId, int closeMode);
    bool updateWindowResidualItemInfo(const QString &residualId, const KZelvaWorkAreaRecoverItem &item);
    // Writes one item back; an item whose document is gone is removed instead.
    bool syncUpdateResidualWorkAreaItem(const QString &residualId, const KZelvaWorkAreaRecoverItem &item);
    // Page-API deletions (only while "residualItemDeleteEnabled"): one item of
    // the record `workAreaId` (residual id, or the id of the live work area
    // it was saved from), or every item of every record.
    bool removeResidualItem(const QString &workAreaId, const QString &tagId, bool syncCfg);
    // The record ("default" or a window's residual id) that holds the work
    // area `workAreaId` (a record id names itself); empty when none does.
    QString findRecordOf(const QString &workAreaId);
    bool removeAllResidualItems(bool syncCfg);
    // Deletes a whole record (file and cached settings object).
    bool removeResidualUidSetting(const QString &residualId);
    // The same, and the window record leaves the list of window records.
    bool removeWindowResidualSettingData(const QString &residualId);
    // The live residual work area of a deleted record leaves the manager.
    void deleteWindowResidualWorkArea(const QString &residualId);
    // Trims a record; returns how many items were removed. A record whose
    // live residual work area is in mode 1 (being filled) is not trimmed.
    int removeInvalidResidualItems(const QString &residualId);
    // Keeps only the newest entry of each document; returns how many went.
    int tryRemoveResidualCfgDuplicateData(const QString &residualId);
    // Removes record files in the background (see KResidualCfgHelperAsyncTask).
    bool cleanInvalidWindowResidualCfgFile(const QStringList &ids, int mode);
    bool clearDefaultWindowResidualCfgFile();
    void syncFlushWindowResidualSettings();
    // Blocks until the background scans started so far are over.
    void waitForTasks();

    // Fixed items of an open window (kept for its record).
    void addWindowFixedItem(KZelvaMainWindow *window, const KZelvaWorkAreaRecoverItem &item);
    QVector<KZelvaWorkAreaRecoverItem> windowFixedItems(KZelvaMainWindow *window) const;
    void removeFromWindowList(KZelvaMainWindow *window, const QString &itemId);
    void forgetWindow(KZelvaMainWindow *window);

    // Every record: [{residualId, workAreaId, name, closedDateTime, items:
    // [{id, title, filePath, pageType, suffix, lastClosedDateTime,
    // relativeWorkAreaId}]}], "default" first, then windows newest first.
    Q_INVOKABLE QJsonArray residualList();

Q_SIGNALS:
    void residualChanged(const QString &residualId);

private Q_SLOTS:
    void onResidualRunComplete(const QStringList &removed);
    void onDefaultResidualRunComplete(const QStringList &removed);

private:
    KSyncSettings *settingsFor(const QString &residualId);
    ISyncSettingsData *rootOf(KSyncSettings *settings) const;
    bool writeRecord(const QString &residualId, const KZelvaWorkAreaData &data,
                     const QVector<KZelvaWorkAreaRecoverItem> &items, const QStringList &removedIds, bool flush);
    bool removeResidualWorkAreaItems(const QString &residualId, const QStringList &itemIds, bool flush);

    void addToWindowIndex(const QString &residualId, qint64 closedMs);
    void removeFromWindowIndex(const QString &residualId);
    void trimWindowRecords();
    KThreadTaskPoster *poster();
    bool runTask(const QString &cfgFile, const QStringList &ids, int mode, const char *slot);
    QString storageUser() const;

    QPointer<KZelvaWorkAreaSettingsWrapper> m_wrapper;
    IKZelvaResidualWorkAreas *m_workAreas = nullptr;
    KThreadTaskPoster *m_poster = nullptr;
    QList<QPointer<KResidualCfgHelperAsyncTask>> m_tasks;
    QHash<const KZelvaMainWindow *, QVector<KZelvaWorkAreaRecoverItem>> m_windowFixedItems;
};
