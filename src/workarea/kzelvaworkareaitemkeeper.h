// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkareaitem.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkAreaManager;

/*
 * Keeps the items that left their work area: removed items until they are
 * gone (and where their tab was closed, so a closed tab can leave a residual
 * entry), items whose tab is locked, the fixed items of a closing window,
 * and a reopened document taking back the stored item that still names it.
 * A child of the manager. GUI thread.
 */
class KZelvaWorkAreaItemKeeper : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaItemKeeper(KZelvaWorkAreaManager *manager);

    void keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item);
    void keepLockedItem(const QString &id, KZelvaWorkAreaItem *item);
    void dropLockedItem(const QString &id);
    KZelvaWorkAreaItem *lockedItem(const QString &id) const { return m_lockedItems.value(id); }
    void offerResidualItem(KZelvaWorkAreaItem *item);
    void keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page);
    // The documents of `window` that belong to no work area, kept for the
    // window's residual record (again on a second query, under the same ids).
    // Returns how many are kept.
    int collectWindowRecoverItems(KZelvaMainWindow *window);
    void removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id);

private:
    // A reopened document takes back the stored item that still names it.
    bool rejoinStoredItem(KZelvaMainWindow *window, const QString &itemId);

    // Where a removed item's tab was closed, until its page is gone.
    struct RemovedItemOrigin
    {
        QPointer<KZelvaWorkAreaItem> item;
        QPointer<KZelvaMainWindow> window;
        QString workAreaId;
        int closeMode = 0;
    };

    KZelvaWorkAreaManager *m_manager;
    QHash<QString, QPointer<KZelvaWorkAreaItem>> m_removedItems;
    QHash<QString, QPointer<KZelvaWorkAreaItem>> m_lockedItems;
    QList<RemovedItemOrigin> m_removedOrigins;
};
