// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsdata.h"

#include "ksyncsettingslog_p.h"

ISyncSettingsData::~ISyncSettingsData() = default;

KSyncSettingsData::KSyncSettingsData() = default;

KSyncSettingsData::KSyncSettingsData(const KSyncSettingsNode &root)
    : m_root(root)
{
}

KSyncSettingsData::~KSyncSettingsData() = default;

void KSyncSettingsData::beginGroup(const QString &name)
{
    m_path.append(name);
}

void KSyncSettingsData::endGroup()
{
    if (m_path.isEmpty()) {
        qCWarning(lcSyncSettings) << "endGroup at the root ignored";
        return;
    }
    m_path.removeLast();
}

QStringList KSyncSettingsData::groupPath() const
{
    return m_path;
}

// The cursor is a path, not a pointer: groups are created only when written,
// so reading never leaves empty groups behind, and a pointer into a QMap
// would not survive its detach. Pointers are only cached for reading, and
// dropped whenever the tree may have changed.
const KSyncSettingsNode *KSyncSettingsData::currentNode() const
{
    if (m_cursorStamp != m_treeStamp) {
        m_cursorPath.clear();
        m_cursorNodes.clear();
        m_cursorStamp = m_treeStamp;
    }
    const int found = int(m_cursorNodes.size());
    const int depth = m_path.size();
    int keep = 0;
    const int limit = qMin(found, depth);
    // Names taken from the last walk share their text, which compares at once.
    while (keep < limit && m_cursorPath[size_t(keep)] == m_path.at(keep))
        ++keep;
    if (keep == depth && found == depth && int(m_cursorPath.size()) == depth)
        return depth == 0 ? &m_root : m_cursorNodes.back();

    m_cursorNodes.resize(size_t(keep));
    // Copied name by name into the kept vector: sharing the list itself
    // would make the next beginGroup copy it.
    m_cursorPath.assign(m_path.cbegin(), m_path.cend());
    const KSyncSettingsNode *node = keep == 0 ? &m_root : m_cursorNodes.back();
    for (int i = keep; i < depth; ++i) {
        const auto it = node->groups.constFind(m_path.at(i));
        if (it == node->groups.cend())
            return nullptr;
        node = &it.value();
        m_cursorNodes.push_back(node);
    }
    return node;
}

KSyncSettingsNode *KSyncSettingsData::currentNodeForWrite()
{
    ++m_treeStamp;
    KSyncSettingsNode *node = &m_root;
    for (const QString &name : qAsConst(m_path))
        node = &node->groups[name];
    return node;
}

void KSyncSettingsData::setValue(const QString &key, const QString &value)
{
    // A value written again unchanged (a whole record saved for one change)
    // is looked up along the read cursor: the tree, shared with the last
    // saved copy, is not detached and the cursor stays valid.
    if (const KSyncSettingsNode *current = currentNode()) {
        const auto it = current->values.constFind(key);
        if (it != current->values.cend() && it.value() == value)
            return;
    }
    currentNodeForWrite()->values.insert(key, value);
    ++m_revision;
}

QString KSyncSettingsData::value(const QString &key, const QString &defaultValue) const
{
    const KSyncSettingsNode *node = currentNode();
    return node ? node->values.value(key, defaultValue) : defaultValue;
}

bool KSyncSettingsData::contains(const QString &key) const
{
    const KSyncSettingsNode *node = currentNode();
    return node && node->values.contains(key);
}

void KSyncSettingsData::remove(const QString &key)
{
    if (!contains(key))
        return;
    currentNodeForWrite()->values.remove(key);
    ++m_revision;
}

QStringList KSyncSettingsData::childKeys() const
{
    const KSyncSettingsNode *node = currentNode();
    return node ? node->values.keys() : QStringList();
}

KSyncSettingsValues KSyncSettingsData::childValues() const
{
    const KSyncSettingsNode *node = currentNode();
    return node ? node->values : KSyncSettingsValues();
}

QStringList KSyncSettingsData::childGroups() const
{
    const KSyncSettingsNode *node = currentNode();
    return node ? node->groups.keys() : QStringList();
}

int KSyncSettingsData::removeGroups(const QStringList &names)
{
    if (!currentNode())
        return 0;
    // The current group exists, so this creates nothing.
    KSyncSettingsNode *node = currentNodeForWrite();
    int removed = 0;
    for (const QString &name : names)
        removed += node->groups.remove(name);
    if (removed > 0)
        ++m_revision;
    return removed;
}

qint64 KSyncSettingsData::size() const
{
    const KSyncSettingsNode *node = currentNode();
    return node ? node->toText().size() : KSyncSettingsNode().toText().size();
}

void KSyncSettingsData::setRoot(const KSyncSettingsNode &root)
{
    ++m_treeStamp;
    m_root = root;
    ++m_revision;
}
