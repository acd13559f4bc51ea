// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QStringList>
#include <QVector>

#include <functional>

/*
 * The rules residual records are kept by, as plain functions over item
 * records: newest-first order by "lastClosedDateTime", which items a trim
 * drops, which items are duplicates of a newer one, and which host numbers
 * (close modes, widget types) count. Stateless, any thread.
 */
class KZelvaResidualRules
{
public:
    using Items = QVector<KZelvaWorkAreaRecoverItem>;
    using FileExists = std::function<bool(const QString &path)>;

    // "lastClosedDateTime" in milliseconds since the epoch, or -1 when absent.
    static qint64 closedTime(const KZelvaWorkAreaRecoverItem &item);
    // Newest first (of two closed in the same millisecond, the later in the
    // list); items without a close time go last, in their order.
    static void sortNewestFirst(Items *items);
    // A local document: the item names a file path (not a URL).
    static bool isDocument(const KZelvaWorkAreaRecoverItem &item);
    // The cloud file id: "recoverFileId", else "fileId", else "File_ID".
    static QString cloudFileId(const KZelvaWorkAreaRecoverItem &item);

    // Ids of the items a trim removes: walking newest first with k from 1,
    // an item stays (and k grows) when it has a close time, k <= maxCount,
    // it closed at most maxDays before nowMs and, for a document, its file
    // still exists.
    static QStringList invalidItemIds(const Items &items, int maxCount, int maxDays, qint64 nowMs,
                                      const FileExists &fileExists);
    // Ids of the items that name the same document as a newer item (same
    // path and page type, or the same cloud file id).
    static QStringList duplicateItemIds(const Items &items);

    // Close modes whose tabs are kept as residual items: 0, 1, 5 and 11.
    static bool isSavedCloseMode(int closeMode);
    // Widget types of document pages: 1, 3, 4, 5, 11, 17, 21, 27, 38, 48.
    static bool isDocumentWidgetType(int widgetType);
};
