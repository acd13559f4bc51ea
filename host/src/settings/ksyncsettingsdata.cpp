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
// would not survive its detach.
const KSyncSettingsNode *KSyncSettingsData::currentNode() const
{
    const KSyncSettingsNode *node = &m_root;
    for (const QString &name : m_path) {
        const auto it = node->groups.constFind(name);
        if (it == node->groups.cend())
            return nullptr;
        node = &it.value();
    }
    return node;
}

KSyncSettingsNode *KSyncSettingsData::currentNodeForWrite()
{
    KSyncSettingsNode *node = &m_root;
    for (const QString &name : qAsConst(m_path))
        node = &node->groups[name];
    return node;
}

void KSyncSettingsData::setValue(const QString &key, const QString &value)
{
    KSyncSettingsNode *node = currentNodeForWrite();
    const auto it = node->values.constFind(key);
    if (it != node->values.cend() && it.value() == value)
        return;
    node->values.insert(key, value);
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
    m_root = root;
    ++m_revision;
}
