// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkArea;
struct KZelvaWorkAreaRecoverItem;

/*
 * The entry point through which the other parts activate a work-area item
 * by ids, and open a listed document again as a tab of its item. Works on
 * the live manager (KZelvaWorkAreaManager::instance()). GUI thread.
 */
class KZelvaWorkAreaFace
{
public:
    // Makes the work area current in `mainWindow` (or in the window it is
    // shown in) and activates the item's page. An item without a page in a
    // new window is activated once its page is attached. The last two flags
    // are passed on unread.
    static bool activeWorkareaItem(const QString &workAreaId, const QString &itemId, KZelvaMainWindow *mainWindow,
                                   bool isNewMainWindow, bool b2 = false, bool b3 = false);
    // Opens the document of `record` again in `window` as the tab of its item
    // of `workArea` (added when missing); null when it has no file or the
    // file cannot be read.
    static KZelvaSubPage *reopenDocument(KZelvaMainWindow *window, KZelvaWorkArea *workArea,
                                         const KZelvaWorkAreaRecoverItem &record, bool activate);
};
