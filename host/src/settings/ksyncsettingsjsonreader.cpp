// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsjsonreader.h"

#include <cstring>
#include <vector>

namespace {

// The same dozen value keys, and many short values ("0", the page type),
// come back for every item, and an item's group name comes back as its
// "id"; each distinct short text is built once per read and then shared,
// which saves an allocation and a free per string. Direct-mapped: a
// collision only costs a rebuild.
class TextCache
{
public:
    // `slots`: a power of two.
    explicit TextCache(quint32 slots)
        : m_entries(slots)
        , m_mask(slots - 1)
    {
    }

    QString get(const char *data, int size)
    {
        if (size > kMaxSize)
            return QString::fromLatin1(data, size);
        quint32 hash = 2166136261u;
        for (int i = 0; i < size; ++i)
            hash = (hash ^ quint8(data[i])) * 16777619u;
        Entry &entry = m_entries[hash & m_mask];
        if (entry.size != size || std::memcmp(entry.bytes, data, size_t(size)) != 0) {
            entry.size = size;
            std::memcpy(entry.bytes, data, size_t(size));
            entry.text = QString::fromLatin1(data, size);
        }
        return entry.text;
    }

private:
    static constexpr int kMaxSize = 40;

    struct Entry
    {
        int size = -1;
        char bytes[kMaxSize];
        QString text;
    };
    std::vector<Entry> m_entries;
    const quint32 m_mask;
};

class Reader
{
public:
    Reader(const char *begin, const char *end)
        : m_p(begin)
        , m_end(end)
    {
    }

    bool document(KSyncSettingsNode *root)
    {
        skipSpace();
        if (!take('{') || !node(root, 0))
            return false;
        skipSpace();
        return m_p == m_end;
    }

private:
    void skipSpace()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool take(char c)
    {
        if (m_p >= m_end || *m_p != c)
            return false;
        ++m_p;
        return true;
    }

    // After the opening quote of a member name; true when it is `name`.
    bool takeName(const char *name, int size)
    {
        if (m_end - m_p <= size || std::memcmp(m_p, name, size_t(size)) != 0 || m_p[size] != '"')
            return false;
        m_p += size + 1;
        return true;
    }

    // Past the opening brace of an object: its members up to the closing
    // brace, `member` reading each from past the opening quote of its name.
    template<typename Member>
    bool members(Member &&member)
    {
        skipSpace();
        if (take('}'))
            return true;
        for (;;) {
            if (!take('"') || !member())
                return false;
            skipSpace();
            if (take('}'))
                return true;
            if (!take(','))
                return false;
            skipSpace();
        }
    }

    // Past a member name: the colon and the value's opening character.
    bool separator(char open)
    {
        skipSpace();
        if (!take(':'))
            return false;
        skipSpace();
        return take(open);
    }

    // Past the opening brace of a node.
    bool node(KSyncSettingsNode *out, int depth)
    {
        if (depth > KSyncSettingsNode::MaxDepth)
            return false;
        // A repeated member, key or group replaces the earlier one, as in
        // the JSON parser (whose handling of it leaks in Qt 5.15).
        return members([&] {
            const bool isValues = takeName("values", 6);
            if ((!isValues && !takeName("groups", 6)) || !separator('{'))
                return false;
            if (isValues) {
                out->values.clear();
                return values(&out->values);
            }
            out->groups.clear();
            return groups(&out->groups, depth);
        });
    }

    bool values(KSyncSettingsValues *out)
    {
        // Gathered in a buffer kept across groups, then copied once into a
        // block of the exact size.
        m_entries.clear();
        const bool read = members([&] {
            KSyncSettingsValueEntry entry;
            if (!name(&entry.key, &m_keys) || !separator('"') || !string(&entry.value, &m_values))
                return false;
            m_entries.push_back(std::move(entry));
            return true;
        });
        if (!read)
            return false;
        QVector<KSyncSettingsValueEntry> entries;
        entries.reserve(int(m_entries.size()));
        for (KSyncSettingsValueEntry &entry : m_entries)
            entries.append(std::move(entry));
        *out = KSyncSettingsValues(std::move(entries));
        return true;
    }

    bool groups(QMap<QString, KSyncSettingsNode> *map, int depth)
    {
        return members([&] {
            QString group;
            if (!name(&group, &m_values) || !separator('{'))
                return false;
            const auto it = map->insert(map->cend(), group, KSyncSettingsNode());
            return node(&it.value(), depth + 1);
        });
    }

    // One UTF-8 sequence of two or more bytes at m_p, checked as strictly as
    // the JSON parser does (no overlong forms, surrogates or code points past
    // U+10FFFF; noncharacters pass).
    bool utf8(uint *code)
    {
        const auto *s = reinterpret_cast<const uchar *>(m_p);
        const uchar lead = s[0];
        int size;
        uint min;
        uint uc;
        if (lead <= 0xC1)
            return false;
        if (lead < 0xE0) {
            size = 2;
            min = 0x80;
            uc = lead & 0x1Fu;
        } else if (lead < 0xF0) {
            size = 3;
            min = 0x800;
            uc = lead & 0x0Fu;
        } else if (lead < 0xF5) {
            size = 4;
            min = 0x10000;
            uc = lead & 0x07u;
        } else {
            return false;
        }
        if (m_end - m_p < size)
            return false;
        for (int i = 1; i < size; ++i) {
            if ((s[i] & 0xC0u) != 0x80u)
                return false;
            uc = (uc << 6) | (s[i] & 0x3Fu);
        }
        if (uc < min || (uc >= 0xD800u && uc <= 0xDFFFu) || uc > 0x10FFFFu)
            return false;
        m_p += size;
        *code = uc;
        return true;
    }

    // A key or group name. The JSON parser tells repeated names apart by
    // their bytes, but a leading byte order mark is dropped from the text
    // afterwards (fromUtf8), so such names are left to it.
    bool name(QString *out, TextCache *cache)
    {
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
            return false;
        return string(out, cache);
    }

    // Skips eight bytes at a time while none is a quote, a backslash or
    // outside ASCII (exact zero-byte test on the XORed words).
    void skipPlainAscii()
    {
        constexpr quint64 ones = 0x0101010101010101ull;
        constexpr quint64 highs = 0x8080808080808080ull;
        while (m_end - m_p >= 8) {
            quint64 word;
            std::memcpy(&word, m_p, sizeof word);
            const quint64 quote = word ^ (ones * '"');
            const quint64 backslash = word ^ (ones * '\\');
            const quint64 stop = ((quote - ones) & ~quote) | ((backslash - ones) & ~backslash) | word;
            if (stop & highs)
                return;
            m_p += 8;
        }
    }

    // Past the opening quote. Without escapes the text is converted the way
    // the JSON parser converts it (fromUtf8, which also drops a leading BOM).
    bool string(QString *out, TextCache *cache)
    {
        const char *start = m_p;
        bool ascii = true;
        while (m_p < m_end) {
            skipPlainAscii();
            if (m_p >= m_end)
                break;
            const uchar c = uchar(*m_p);
            if (c == '"') {
                const int size = int(m_p - start);
                ++m_p;
                if (!ascii)
                    *out = QString::fromUtf8(start, size);
                else if (cache)
                    *out = cache->get(start, size);
                else
                    *out = QString::fromLatin1(start, size);
                return true;
            }
            if (c == '\\')
                return escapedString(start, out);
            if (c < 0x80) {
                ++m_p;
                continue;
            }
            ascii = false;
            uint code;
            if (!utf8(&code))
                return false;
        }
        return false;
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // The string from `start` again, decoding escapes; \u escapes are taken
    // as single UTF-16 units (so surrogate pairs join up) and an unknown
    // escape stands for its letter, as in the JSON parser.
    bool escapedString(const char *start, QString *out)
    {
        QString text;
        m_p = start;
        while (m_p < m_end) {
            const uchar c = uchar(*m_p);
            if (c == '"') {
                ++m_p;
                *out = text;
                return true;
            }
            if (c >= 0x80) {
                uint code;
                if (!utf8(&code))
                    return false;
                if (QChar::requiresSurrogates(code)) {
                    text.append(QChar(QChar::highSurrogate(code)));
                    text.append(QChar(QChar::lowSurrogate(code)));
                } else {
                    text.append(QChar(ushort(code)));
                }
                continue;
            }
            ++m_p;
            if (c != '\\') {
                text.append(QChar(ushort(c)));
                continue;
            }
            if (m_p >= m_end)
                return false;
            const uchar escaped = uchar(*m_p++);
            static const char kShort[] = "bfnrt";
            static const ushort kShortUnits[] = {0x08, 0x0C, 0x0A, 0x0D, 0x09};
            if (const char *hit = escaped ? std::strchr(kShort, escaped) : nullptr) {
                text.append(QChar(kShortUnits[hit - kShort]));
            } else if (escaped == 'u') {
                if (m_end - m_p < 4)
                    return false;
                uint unit = 0;
                for (int i = 0; i < 4; ++i) {
                    const int digit = hexDigit(m_p[i]);
                    if (digit < 0)
                        return false;
                    unit = (unit << 4) | uint(digit);
                }
                m_p += 4;
                text.append(QChar(ushort(unit)));
            } else if (escaped < 0x80) {
                text.append(QChar(ushort(escaped)));
            } else {
                return false;
            }
        }
        return false;
    }

    const char *m_p;
    const char *const m_end;
    std::vector<KSyncSettingsValueEntry> m_entries;
    TextCache m_keys{64};
    TextCache m_values{256};
};

} // namespace

bool KSyncSettingsJsonReader::read(const char *data, qint64 size, KSyncSettingsNode *out)
{
    if (!data || size <= 0)
        return false;
    Reader reader(data, data + size);
    return reader.document(out);
}
