// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads the INI text that QSettings writes in IniFormat and answers what
// QSettings::value() would read for a key, without Qt. Keys are UTF-16 like
// QString keys; "[General]" is the top level, "[%General]" a group called
// General, a backslash in a key is the group separator.
// Owner: the caller (one parser per file read). Thread: any, not shared.
// Lifecycle: parse() once, then ask stringValue().
class KIniParser
{
public:
    struct Issue
    {
        std::size_t line = 0; // 1-based line of the file
        std::string message;
    };

    // Parses a whole file; data must stay alive while values are asked for.
    // Returns false when lines were malformed; those are skipped and
    // everything else stays readable, as QSettings does.
    bool parse(std::string_view data);

    // The text of a full key ("group/sub/key"; repeated, leading and trailing
    // slashes are ignored). A list gives its items joined by ','. Returns
    // false when the key is absent or holds no text (rectangles, variants, ...).
    bool stringValue(std::u16string_view key, std::u16string *value) const;

    // The first malformed lines of the last parse() (at most kMaxIssues).
    const std::vector<Issue> &issues() const { return m_issues; }
    std::size_t issueCount() const { return m_issueCount; }

    static std::u16string normalizedKey(std::u16string_view key);

    static constexpr std::size_t kMaxIssues = 8;

private:
    struct Range
    {
        std::size_t from;
        std::size_t to;
    };

    void addIssue(std::size_t offset, std::string message);

    std::string_view m_data;
    bool m_utf8Values = false;
    // Section name (with its trailing '/', empty for the top level) -> its
    // parts in file order.
    std::map<std::u16string, std::vector<Range>> m_sections;
    std::vector<Issue> m_issues;
    std::size_t m_issueCount = 0;
};
