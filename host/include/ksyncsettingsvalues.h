// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One key of a settings group and its text.
struct KSyncSettingsValueEntry
{
    QString key;
    QString value;
    bool operator==(const KSyncSettingsValueEntry &other) const { return key == other.key && value == other.value; }
};
Q_DECLARE_TYPEINFO(KSyncSettingsValueEntry, Q_MOVABLE_TYPE);

/*
 * The text values of one settings group: keys kept unique and sorted by
 * UTF-16 code units (QMap's order), in one implicitly shared block. A group
 * holds a dozen values, read far more often than written, so one block per
 * group replaces a map node per value; a copy shares the block until either
 * side changes it.
 *
 * Plain value, no thread affinity.
 */
class KZELVASHELL_EXPORT KSyncSettingsValues
{
public:
    using Entry = KSyncSettingsValueEntry;

    // Iterates the entries in key order, with QMap's key()/value() calls.
    class const_iterator
    {
    public:
        explicit const_iterator(const Entry *entry = nullptr)
            : m_entry(entry)
        {
        }
        const QString &key() const { return m_entry->key; }
        const QString &value() const { return m_entry->value; }
        const Entry &operator*() const { return *m_entry; }
        const Entry *operator->() const { return m_entry; }
        const_iterator &operator++()
        {
            ++m_entry;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_entry == other.m_entry; }
        bool operator!=(const const_iterator &other) const { return m_entry != other.m_entry; }

    private:
        const Entry *m_entry;
    };

    KSyncSettingsValues() = default;
    // Takes entries in any order; of a key given more than once the last
    // value stays.
    explicit KSyncSettingsValues(QVector<Entry> entries);

    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return m_entries.size(); }
    const_iterator cbegin() const { return const_iterator(m_entries.constData()); }
    const_iterator cend() const { return const_iterator(m_entries.constData() + m_entries.size()); }
    const_iterator begin() const { return cbegin(); }
    const_iterator end() const { return cend(); }

    const_iterator constFind(const QString &key) const;
    bool contains(const QString &key) const { return constFind(key) != cend(); }
    QString value(const QString &key, const QString &defaultValue = QString()) const;
    QStringList keys() const;

    // Sets `key` to `value`, adding it where it sorts.
    void insert(const QString &key, const QString &value);
    // Removes `key`; how many entries went (0 or 1).
    int remove(const QString &key);
    void clear() { m_entries.clear(); }

    bool operator==(const KSyncSettingsValues &other) const { return m_entries == other.m_entries; }
    bool operator!=(const KSyncSettingsValues &other) const { return !(*this == other); }

private:
    // Where `key` is or would go.
    int lowerBound(const QString &key) const;

    QVector<Entry> m_entries;
};
