// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QStringList>
#include <QVector>

/*
 * What the stored form needs to know about one work area: its record, its
 * items with their write conditions, and the id lists a write consumes. The
 * work area fills a copy, hands it to KZelvaWorkAreaSerializer::Serialize
 * and takes back `data` (lastRunDateTime), `skippedIds` and the cleared lists.
 * Plain value.
 */
struct KZelvaWorkAreaStoreState
{
    struct Item
    {
        KZelvaWorkAreaRecoverItem record;
        // Name of the item's sub-group: its sub page's work-area item id, or
        // record.id when it has no sub page.
        QString groupId;
        bool waitingForPage = false;
        // The item's save flag (its ability's second switch).
        bool saveFlag = true;
    };

    KZelvaWorkAreaData data;
    bool visible = false;   // stored as "lastVisible"
    bool residual = false;
    QString residualId;
    QVector<Item> items;

    QStringList removedIds;   // items removed since the last write; cleared by a write
    QStringList keptIds;      // never removed by a write; cleared by a write
    QStringList restoredIds;  // never removed by a write; cleared by a write
    QStringList skippedIds;   // set by a write: ids of the items it did not write

    // Group of the work area: its residual id when it has one, else its id.
    QString settingsId() const { return residualId.isEmpty() ? data.id : residualId; }
};
