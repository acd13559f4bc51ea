// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

class IKZelvaWorkAreaOwner;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkArea;
struct KZelvaWorkAreaData;
class KZelvaWorkAreaStore;
class KZelvaWorkAreas;

/*
 * Every work area of the process by id, and each main window's set of work
 * areas (kept in the window's "WorkAreasPointer" property). Makes work areas
 * (new ones and the stored ones this process does not have yet), removes
 * them, finds the device's default one, and runs the save pass over all of
 * them. Work areas and sets are children of the manager; the registry is one
 * too. GUI thread.
 */
class KZelvaWindowRegistry : public QObject
{
    Q_OBJECT
public:
    KZelvaWindowRegistry(IKZelvaWorkAreaOwner *owner, KZelvaWorkAreaStore *store, QObject *manager);
    ~KZelvaWindowRegistry() override;

    KZelvaWorkAreas *workAreasOf(const KZelvaMainWindow *window) const;
    KZelvaWorkAreas *createWorkAreasFor(KZelvaMainWindow *window);
    void forgetWorkAreasOf(KZelvaMainWindow *window);

    KZelvaWorkArea *createWorkArea(bool isDefault);
    // Drops it from the registry (its stored group goes at the next save
    // pass unless it must be saved) and deletes it.
    void removeWorkArea(KZelvaWorkArea *workArea);
    // A work area made again from the record of a closed one (same id, no
    // longer counted as removed); null when a work area with that id lives.
    KZelvaWorkArea *restoreWorkArea(const KZelvaWorkAreaData &data);
    // Drops it from the registry only; the caller deletes it.
    void forgetWorkArea(KZelvaWorkArea *workArea);
    KZelvaWorkArea *workArea(const QString &id) const;
    // Live work areas by position, creation time and id.
    QList<KZelvaWorkArea *> workAreas() const;
    int count() const { return m_workAreas.size(); }
    KZelvaWorkArea *defaultWorkArea() const;
    KZelvaWorkArea *workAreaOfPage(const KZelvaSubPage *page) const;
    // Creates the stored work areas this process does not have; with
    // `refreshKnown`, known ones not shown here take their stored state and
    // go when no longer stored.
    void loadStoredWorkAreas(bool refreshKnown = false);
    // Reads the stored items of `workArea` again (nothing when it is not stored).
    void readItemsOf(KZelvaWorkArea *workArea);
    void savePass();
    // Deletes every window set and work area (the user's records changed).
    void clear();

Q_SIGNALS:
    void workAreaAdded(KZelvaWorkArea *workArea);

private:
    // False for a work area shown here or with changes of its own to write.
    bool takesStoredState(const KZelvaWorkArea *workArea) const;
    void insert(KZelvaWorkArea *workArea);

    IKZelvaWorkAreaOwner *m_owner;
    KZelvaWorkAreaStore *m_store;
    QObject *m_manager;
    QHash<QString, QPointer<KZelvaWorkArea>> m_workAreas;
    QStringList m_removedIds;
};
