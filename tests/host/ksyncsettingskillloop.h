// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

#include <functional>

/*
 * The kill -9 driver shared by the CI test and the long run in bench/persist:
 * starts the helper in "save" mode, kills it with SIGKILL at a random instant
 * (every fifth time while it is still loading), and lets the next process
 * load every record. After the last kill a "check" process loads them once
 * more. Each load must find every record readable and whole, and no save the
 * helper reported as done (flush() Ok) may be missing.
 * Runs on the caller's thread, blocking.
 */
struct KSettingsKillLoopResult
{
    int kills = 0;
    int earlyKills = 0;     // killed before it had loaded
    int loads = 0;          // processes that got to report their load
    int unreadable = 0;     // record files moved aside at a load (must be 0)
    int inconsistent = 0;   // records mixed from two saves (must be 0)
    int lostAcked = 0;      // records older on disk than their last reported save (must be 0)
    qint64 ackedSaves = 0;
    QString error;          // the driver itself failed (helper would not start, ...)

    QString figures() const;
    bool clean() const { return error.isEmpty() && unreadable == 0 && inconsistent == 0 && lostAcked == 0; }
};

KSettingsKillLoopResult runSettingsKillLoop(const QString &helper, const QString &root, int kills, quint32 seed,
                                            const std::function<void(const KSettingsKillLoopResult &)> &progress = {});
