// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QList>

class KZelvaMainWindow;
class KZelvaWorkArea;

/*
 * The JSON records both panel pages show: one tag record per document, one
 * work-area record per work area with its tags, and the order work areas
 * are listed in. Everything the record needs beyond the item comes from the
 * caller's TagContext. Stateless; GUI thread (reads the application's
 * current main window for statuses).
 */
class KZelvaCrossTerminalPanelRecords
{
public:
    enum Status { Current = 0, Other = 1, None = 2 };

    struct TagContext
    {
        QString workAreaId;
        QString activeItemId;
        int status = None;
        // "isOpen" is true only when both are.
        bool workAreaOpen = false;
        bool documentOpen = false;
        // "lastAccessTime" is written only while the host tab-manager panel is enabled.
        bool withLastAccessTime = false;
        qint64 lastAccessTime = 0;
        // The host page's "webSuffix": names the tag "<title>.<suffix>".
        QString webSuffix;
    };

    static QJsonObject tagRecord(const KZelvaWorkAreaRecoverItem &item, const TagContext &context);
    // The work area's record with `tags` under "Tags"; empty for null.
    static QJsonObject workAreaRecord(const KZelvaWorkArea *workArea, int status, const QJsonArray &tags);

    // "current", "other", or "none" for any other value.
    static QString statusText(int status);
    // Current when `window` is the application's current main window,
    // Other for another window, None without window.
    static int windowStatus(const KZelvaMainWindow *window);

    // By posIndex ascending, those without index (-1) after all others;
    // two without index by createDateTime ascending.
    static void sortWorkAreas(QList<KZelvaWorkArea *> *workAreas);
    static bool listsBefore(const KZelvaWorkAreaData &a, const KZelvaWorkAreaData &b);
};
