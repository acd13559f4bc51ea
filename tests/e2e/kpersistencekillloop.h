// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The kill -9 loop of the persistence tests: a real zelvashell renames a
 * work area continuously ("edit-N", each acknowledged edit timed), is killed
 * at a random instant, and the next shell (same stored data) reads every
 * record back. Shared by tests/e2e/tst_persistence (bounded) and
 * bench/persist (10 000 kills).
 */
struct KPersistenceKillLoopFigures
{
    int kills = 0;
    int starts = 0;
    int unreadableRecords = 0;   // files the settings service had to move aside
    int editsAcknowledged = 0;
    int editsLost = 0;           // acknowledged edits not found after the kill
    qint64 oldestLostMs = 0;     // age of the oldest lost edit at the kill
    int editsLostBeyond = 0;     // lost edits older than the allowance
    qint64 elapsedMs = 0;
    QString error;

    QString summary() const;
};

// Runs up to `kills` kills or for at most `maxSeconds` (but never fewer than
// ten kills, however slow a loaded machine makes them), with the shells'
// stored data under the KShellProcess name `name`. Lost edits older than
// `allowanceMs` count in editsLostBeyond.
KPersistenceKillLoopFigures runPersistenceKillLoop(int kills, int maxSeconds, quint32 seed, const QString &name,
                                                   qint64 allowanceMs);
