// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsvalues.h"

#include <algorithm>

namespace {

bool keyLess(const KSyncSettingsValueEntry &entry, const QString &key)
{
    return entry.key < key;
}

} // namespace

KSyncSettingsValues::KSyncSettingsValues(QVector<Entry> entries)
    : m_entries(std::move(entries))
{
    const auto byKey = [](const Entry &a, const Entry &b) { return a.key < b.key; };
    // Writers and the reader give sorted keys; anything else is put in
    // order, equal keys staying in the order given, and the last one kept.
    bool sorted = true;
    for (int i = 1; i < m_entries.size() && sorted; ++i)
        sorted = m_entries.at(i - 1).key < m_entries.at(i).key;
    if (sorted)
        return;
    std::stable_sort(m_entries.begin(), m_entries.end(), byKey);
    int kept = 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (i + 1 < m_entries.size() && m_entries.at(i).key == m_entries.at(i + 1).key)
            continue;
        if (kept != i)
            m_entries[kept] = std::move(m_entries[i]);
        ++kept;
    }
    m_entries.resize(kept);
}

int KSyncSettingsValues::lowerBound(const QString &key) const
{
    return int(std::lower_bound(m_entries.cbegin(), m_entries.cend(), key, keyLess) - m_entries.cbegin());
}

KSyncSettingsValues::const_iterator KSyncSettingsValues::constFind(const QString &key) const
{
    const int at = lowerBound(key);
    if (at == m_entries.size() || m_entries.at(at).key != key)
        return cend();
    return const_iterator(m_entries.constData() + at);
}

QString KSyncSettingsValues::value(const QString &key, const QString &defaultValue) const
{
    const const_iterator it = constFind(key);
    return it == cend() ? defaultValue : it.value();
}

QStringList KSyncSettingsValues::keys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        keys.append(entry.key);
    return keys;
}

void KSyncSettingsValues::insert(const QString &key, const QString &value)
{
    // Values are mostly written in key order: the end is checked first.
    if (m_entries.isEmpty() || m_entries.constLast().key < key) {
        m_entries.append(Entry{key, value});
        return;
    }
    const int at = lowerBound(key);
    if (m_entries.at(at).key == key)
        m_entries[at].value = value;
    else
        m_entries.insert(at, Entry{key, value});
}

int KSyncSettingsValues::remove(const QString &key)
{
    const int at = lowerBound(key);
    if (at == m_entries.size() || m_entries.at(at).key != key)
        return 0;
    m_entries.remove(at);
    return 1;
}
