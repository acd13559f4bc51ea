// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsvalues.h"
#include "kzelvashell_export.h"

#include <QString>
#include <QStringList>

/*
 * A node of the synchronised settings: a tree of named groups holding text
 * values under keys, walked with a current-group cursor (beginGroup/endGroup
 * like QSettings). Every value is text; callers encode booleans and numbers.
 *
 * Owner: the settings object that hands the node out (or whoever constructs
 * the in-memory KSyncSettingsData). Thread: the owner's thread (GUI thread);
 * not thread-safe. Lifecycle: lives as long as its settings object.
 */
class KZELVASHELL_EXPORT ISyncSettingsData
{
public:
    virtual ~ISyncSettingsData();

    // Enters the child group `name` of the current group. The group comes into
    // existence with the first value written below it; reading a group that
    // does not exist gives defaults and empty lists.
    virtual void beginGroup(const QString &name) = 0;
    // Leaves the current group; at the root it logs and does nothing.
    virtual void endGroup() = 0;
    // Path of the current group from the root; empty at the root.
    virtual QStringList groupPath() const = 0;

    virtual void setValue(const QString &key, const QString &value) = 0;
    virtual QString value(const QString &key, const QString &defaultValue = QString()) const = 0;
    virtual bool contains(const QString &key) const = 0;
    virtual void remove(const QString &key) = 0;

    // Keys with a value directly in the current group, sorted.
    virtual QStringList childKeys() const = 0;
    // Those keys with their values, in the same order: one walk instead of
    // a lookup per key when a reader takes the whole group.
    virtual KSyncSettingsValues childValues() const = 0;
    // Child groups of the current group, sorted.
    virtual QStringList childGroups() const = 0;
    // Removes the named child groups of the current group with everything
    // below them; unknown names are ignored. Returns how many were removed.
    virtual int removeGroups(const QStringList &names) = 0;

    // Size in bytes of the current group in its text form.
    virtual qint64 size() const = 0;
};
