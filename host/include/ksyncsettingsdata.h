// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "isyncsettingsdata.h"
#include "ksyncsettingsnode.h"

#include <vector>

/*
 * In-memory settings node: a KSyncSettingsNode tree plus the current-group
 * cursor of ISyncSettingsData. A durable settings object keeps one of these
 * and saves root() when revision() moved.
 *
 * Owner: its settings object (tests construct it directly). Thread: the
 * owner's thread. Lifecycle: plain object, copyable state through root().
 */
class KZELVASHELL_EXPORT KSyncSettingsData : public ISyncSettingsData
{
public:
    KSyncSettingsData();
    explicit KSyncSettingsData(const KSyncSettingsNode &root);
    ~KSyncSettingsData() override;

    void beginGroup(const QString &name) override;
    void endGroup() override;
    QStringList groupPath() const override;
    // Puts the cursor at `path` (groups need not exist).
    void setGroupPath(const QStringList &path) { m_path = path; }

    void setValue(const QString &key, const QString &value) override;
    QString value(const QString &key, const QString &defaultValue = QString()) const override;
    bool contains(const QString &key) const override;
    void remove(const QString &key) override;

    QStringList childKeys() const override;
    KSyncSettingsValues childValues() const override;
    QStringList childGroups() const override;
    int removeGroups(const QStringList &names) override;

    qint64 size() const override;

    const KSyncSettingsNode &root() const { return m_root; }
    // Replaces the whole tree; the cursor stays at its path.
    void setRoot(const KSyncSettingsNode &root);
    // Grows by one with every change of the tree.
    quint64 revision() const { return m_revision; }

private:
    const KSyncSettingsNode *currentNode() const;
    KSyncSettingsNode *currentNodeForWrite();

    KSyncSettingsNode m_root;
    QStringList m_path;
    quint64 m_revision = 0;
    // Moves before anything may change or detach a map of the tree (a
    // no-op write included), which makes the read cursor below stale.
    quint64 m_treeStamp = 0;
    // Read cursor: the groups found along m_cursorPath, m_cursorNodes[i]
    // after its first i + 1 names (shorter where a group is missing); good
    // while m_cursorStamp equals m_treeStamp. Reads usually repeat the last
    // path or go one group down from it, so most of them walk nothing.
    mutable std::vector<QString> m_cursorPath;
    mutable std::vector<const KSyncSettingsNode *> m_cursorNodes;
    mutable quint64 m_cursorStamp = ~quint64(0);
};
