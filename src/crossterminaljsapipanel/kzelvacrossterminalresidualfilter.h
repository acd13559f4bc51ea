// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QStringList>
#include <QVector>

#include <functional>

/*
 * Which closed ("residual") documents the host panel lists: walks the
 * merged residual entries newest first and drops entries without id or
 * close time, documents still open, fixed items of the window and documents
 * of live work areas, then lists at most maxVisible entries closed at most
 * maxDays whole days ago. Entries too old, and window entries whose record
 * file is gone, are recorded as invalid for the residual clean-up. Each
 * decision writes its log line. Stateless; the checks are the caller's.
 */
class KZelvaCrossTerminalResidualFilter
{
public:
    using Items = QVector<KZelvaWorkAreaRecoverItem>;
    using ItemCheck = std::function<bool(const KZelvaWorkAreaRecoverItem &item)>;

    struct Checks
    {
        ItemCheck isOpen;             // listed as an open document already
        ItemCheck isFixedItem;        // a fixed (work-area-less) tab of the window
        ItemCheck isValidWorkAreaDoc; // the same document lives in a work area
        std::function<bool(const QString &residualId)> recordFileExists;
    };

    struct Result
    {
        Items listed;
        QStringList invalidIds;
        // Some entry was held back by the count or the age limit.
        bool visible = false;
    };

    // Entries closed at most maxDays whole days before nowMs count as recent.
    static bool isWithinDays(qint64 closedMs, qint64 nowMs, int maxDays);
    // `items` newest first (see KZelvaResidualRules::sortNewestFirst); a
    // missing check counts as false, a missing file check as "exists".
    static Result filter(const Items &items, int maxDays, int maxVisible, qint64 nowMs, const Checks &checks);
};
