// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QStringList>
#include <QVector>

#include <memory>

/*
 * What the stored form needs to know about one work area: its record, its
 * items with their write conditions, and the id lists a write consumes. The
 * work area fills a copy, hands it to KZelvaWorkAreaSerializer::Serialize
 * and takes back `data` (lastRunDateTime), `skippedIds` and the cleared lists.
 * Plain value.
 */
struct KZelvaWorkAreaStoreState
{
    // What an item's sub-group was last written with, kept by the caller
    // from one write to the next.
    struct Written
    {
        KZelvaWorkAreaRecoverItem record;
        QString groupId;
        quint64 generation = 0;
        bool trimmed = false;
        bool valid = false;
    };

    struct Item
    {
        KZelvaWorkAreaRecoverItem record;
        // Name of the item's sub-group: its sub page's work-area item id, or
        // record.id when it has no sub page.
        QString groupId;
        bool waitingForPage = false;
        // The item's save flag (its ability's second switch).
        bool saveFlag = true;
        // When set, an item written the same way before whose sub-group is
        // still there is not written again; a write updates it.
        std::shared_ptr<Written> written;
    };

    KZelvaWorkAreaData data;
    bool visible = false;   // stored as "lastVisible"
    bool residual = false;
    QString residualId;
    QVector<Item> items;
    // Changes when another process saved the record: every item is then
    // written again, so a work area's live state wins key by key.
    quint64 generation = 0;

    QStringList removedIds;   // items removed since the last write; cleared by a write
    QStringList keptIds;      // never removed by a write; cleared by a write
    QStringList restoredIds;  // never removed by a write; cleared by a write
    QStringList skippedIds;   // set by a write: ids of the items it did not write

    // Group of the work area: its residual id when it has one, else its id.
    QString settingsId() const { return residualId.isEmpty() ? data.id : residualId; }
};
