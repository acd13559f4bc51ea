// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class QObject;
class QString;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkAreaItem;
class KZelvaWorkAreas;

/*
 * What a work area and its items ask of the one that made them (the
 * manager): the process-wide modes, the window sets, and the keeping of
 * items that leave their work area. Handed to each work area and item when
 * it is made. GUI thread.
 */
class IKZelvaWorkAreaOwner
{
public:
    virtual ~IKZelvaWorkAreaOwner() = default;

    // Parent of every item: an item outlives a move between work areas.
    virtual QObject *itemParent() = 0;
    virtual bool isCrashMode() const = 0;
    virtual bool isIndependentMode() const = 0;
    virtual bool isSettingsChangeRunning() const = 0;
    virtual bool isTabManagerPanelEnabled() const = 0;
    virtual bool autoRecoverDefaultWorkAreaFlag() const = 0;
    // Reads the "saveActivedWorkArea" switch again.
    virtual bool readSaveActivedWorkArea() = 0;
    virtual KZelvaWorkAreas *workAreasOf(const KZelvaMainWindow *window) const = 0;

    virtual void keepRemovedItem(const QString &id, KZelvaWorkAreaItem *item) = 0;
    virtual void keepLockedItem(const QString &id, KZelvaWorkAreaItem *item) = 0;
    virtual void dropLockedItem(const QString &id) = 0;
    // An item whose page went: a closed tab may leave a residual entry.
    virtual void offerResidualItem(KZelvaWorkAreaItem *item) = 0;
    virtual void keepFixedItem(KZelvaMainWindow *window, KZelvaSubPage *page) = 0;
    // A page back in a work area is no residual entry of its window.
    virtual void removeFromWindowResidualList(KZelvaMainWindow *window, const QString &id) = 0;
};
