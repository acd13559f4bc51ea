// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsvalues.h"
#include "kzelvashell_export.h"

#include <QByteArray>
#include <QMap>
#include <QString>

/*
 * Value type of one settings group: its text values and its child groups.
 * The whole tree of a settings record is one KSyncSettingsNode, so it can be
 * copied, compared and turned into text (and back) as a unit.
 *
 * Text form: compact UTF-8 JSON, {"values":{"key":"text",...},
 * "groups":{"name":{...},...}}; empty members are left out.
 * Plain value, no thread affinity.
 */
class KZELVASHELL_EXPORT KSyncSettingsNode
{
public:
    // Nesting deeper than this is refused by fromText.
    static constexpr int MaxDepth = 64;

    KSyncSettingsValues values;
    QMap<QString, KSyncSettingsNode> groups;

    bool isEmpty() const { return values.isEmpty() && groups.isEmpty(); }
    bool operator==(const KSyncSettingsNode &other) const;
    bool operator!=(const KSyncSettingsNode &other) const { return !(*this == other); }

    // Three-way merge for writers that share a record: `theirs` with the
    // changes from `base` to `local` applied, key by key. Values and groups
    // `local` removed are removed, values it set win; a group `theirs`
    // removed while `local` changed it comes back as in `local`. Groups left
    // empty are dropped.
    static KSyncSettingsNode merged(const KSyncSettingsNode &base, const KSyncSettingsNode &local,
                                    const KSyncSettingsNode &theirs);

    QByteArray toText() const;
    // Parses `text` into `out`. On failure `out` is left untouched, false is
    // returned and `errorString` (when given) says why.
    static bool fromText(const QByteArray &text, KSyncSettingsNode *out,
                         QString *errorString = nullptr);
};
