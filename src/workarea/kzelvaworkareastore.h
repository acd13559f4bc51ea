// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class ISyncSettingsData;
class QTimer;
class KSyncSettingsData;
class KZelvaResidualRecords;
class KZelvaSignalMerger;
class KZelvaWorkArea;
class KZelvaWorkAreaSettingsWrapper;

/*
 * The user's records: the "workarea" record of the settings wrapper (or an
 * in-memory stand-in laid out the same way while the user's record cannot
 * be opened) and the residual records of closed windows. Owns the one save merger of that record: a change
 * to any work area asks for a write, and every work area that asked within
 * one window is written in one pass with one flush. The window counts from
 * the first request and closes early enough for the write to finish inside
 * half a second. A child of the manager; GUI thread.
 */
class KZelvaWorkAreaStore : public QObject
{
    Q_OBJECT
public:
    // Milliseconds from the first change to the start of the merged write.
    static constexpr int MergeWindowMs = 400;
    static constexpr int FirstRetryMs = 1000;
    static constexpr int LastRetryMs = 30000;

    explicit KZelvaWorkAreaStore(QObject *parent = nullptr);
    ~KZelvaWorkAreaStore() override;

    // Makes the settings wrapper and opens the records of the logged-in
    // account, following its login changes.
    KZelvaWorkAreaSettingsWrapper *openForCurrentUser();
    KZelvaWorkAreaSettingsWrapper *settingsWrapper() const { return m_wrapper; }
    // The residual records (made, with the wrapper, on first use).
    KZelvaResidualRecords *residualRecords();
    KZelvaResidualRecords *existingResidualRecords() const { return m_residualRecords; }

    // The node the work areas are written below (inside the independent
    // group in independent mode); never null.
    ISyncSettingsData *workAreaSettings();
    // The record at its root ("lastActiveWorkAreaId").
    ISyncSettingsData *workAreaSettingsRoot();
    // Writes the record; a write that fails (the file locked past its
    // timeout, a full disk) is tried again later, the pause doubling up to
    // half a minute, so a change never waits for the next one to be stored.
    void flush();
    QString lastActiveWorkAreaId();
    void setLastActiveWorkAreaId(const QString &id);

    // Another process saved the record: the next writes set every key of
    // their items again (KZelvaWorkAreaStoreState::generation).
    void noteForeignSave() { ++m_generation; }
    quint64 writeGeneration() const { return m_generation; }

    // Asks for a merged write of `workArea`.
    void requestSave(KZelvaWorkArea *workArea);
    bool hasPendingSave(const KZelvaWorkArea *workArea) const;
    // Writes every pending work area now (one flush).
    void writePending();

private:
    std::unique_ptr<KSyncSettingsData> m_fallback;
    KZelvaWorkAreaSettingsWrapper *m_wrapper = nullptr;
    KZelvaResidualRecords *m_residualRecords = nullptr;
    KZelvaSignalMerger *m_merger;
    QTimer *m_retry;
    QList<QPointer<KZelvaWorkArea>> m_pending;
    quint64 m_generation = 0;
};
