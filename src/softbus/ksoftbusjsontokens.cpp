// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbusjsontokens.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace SoftBus {
namespace Protocol {

namespace {

// Integers of up to this many digits are summed exactly in an int64.
constexpr int kExactDigits = 18;

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Compact text has no space at all: one comparison sorts out every other byte.
Q_ALWAYS_INLINE const char *skipSpace(const char *p, const char *end)
{
    while (p < end && uchar(*p) <= ' ' && isSpace(*p))
        ++p;
    return p;
}

// The UTF-16 unit of "\uXXXX" at p (p at the backslash), or -1.
int unicodeEscape(const char *p, const char *end)
{
    if (end - p < 6 || p[0] != '\\' || p[1] != 'u'
        || !std::all_of(p + 2, p + 6, [](char c) { return std::isxdigit(uchar(c)); }))
        return -1;
    return QByteArray::fromRawData(p + 2, 4).toUShort(nullptr, 16);
}

// Bytes a string holds as they are: printable ASCII but the quote and the backslash.
constexpr std::array<bool, 256> plainTable()
{
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x80; ++c)
        table[std::size_t(c)] = c != '"' && c != '\\';
    return table;
}

constexpr std::array<bool, 256> kPlain = plainTable();

bool isNonCharacter(uint cp)
{
    return (cp >= 0xfdd0 && cp <= 0xfdef) || (cp & 0xfffe) == 0xfffe;
}

// The length of the well-formed UTF-8 sequence of a non-ASCII character at p
// (shortest form, no surrogates, no noncharacters), or 0.
int utf8Length(const uchar *p, const uchar *end)
{
    int length;
    uint cp;
    if (p[0] >= 0xc2 && p[0] <= 0xdf) {
        length = 2;
        cp = p[0] & 0x1f;
    } else if (p[0] >= 0xe0 && p[0] <= 0xef) {
        length = 3;
        cp = p[0] & 0x0f;
    } else if (p[0] >= 0xf0 && p[0] <= 0xf4) {
        length = 4;
        cp = p[0] & 0x07;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xc0) != 0x80)
            return 0;
        cp = cp << 6 | (p[i] & 0x3f);
    }
    const uint least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (cp < least || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff) || isNonCharacter(cp))
        return 0;
    return length;
}

} // namespace

Q_ALWAYS_INLINE void KSoftBusJsonTokens::append(Type type, const char *start, const char *end, bool escaped, bool ascii)
{
    const int index = int(m_tokens.size());
    m_tokens.push_back({type, escaped, ascii, false, int(start - m_text.constData()), int(end - start), index + 1});
}

Q_ALWAYS_INLINE bool KSoftBusJsonTokens::scanString(const char *&p, const char *end)
{
    const char *const start = ++p;
    bool escaped = false;
    bool ascii = true;
    while (p < end) {
        while (p < end && kPlain[uchar(*p)])
            ++p;
        if (p == end)
            break;
        const uchar c = uchar(*p);
        if (c == '"') {
            append(Type::String, start, p, escaped, ascii);
            ++p;
            return true;
        }
        if (c < 0x20)
            return false;
        if (c >= 0x80) {
            const int length = utf8Length(reinterpret_cast<const uchar *>(p), reinterpret_cast<const uchar *>(end));
            if (!length)
                return false;
            ascii = false;
            p += length;
            continue;
        }
        escaped = true;
        if (end - p < 2)
            return false;
        if (p[1] && std::strchr("\"\\/bfnrt", p[1])) {
            p += 2;
            continue;
        }
        const int unit = unicodeEscape(p, end);
        if (unit < 0)
            return false;
        if (unit >= 0xd800 && unit <= 0xdbff) {
            // Only as the first half of a pair.
            const int low = unicodeEscape(p + 6, end);
            if (low < 0xdc00 || low > 0xdfff
                || isNonCharacter(0x10000 + ((uint(unit) - 0xd800) << 10) + (uint(low) - 0xdc00)))
                return false;
            p += 12;
        } else if ((unit >= 0xdc00 && unit <= 0xdfff) || isNonCharacter(uint(unit))) {
            return false;
        } else {
            p += 6;
        }
    }
    return false;
}

bool KSoftBusJsonTokens::scanNumber(const char *&p, const char *end)
{
    const char *const start = p;
    bool integer = true;
    if (*p == '-')
        ++p;
    if (p < end && *p == '0') {
        ++p;
    } else if (p < end && isDigit(*p)) {
        while (p < end && isDigit(*p))
            ++p;
    } else {
        return false;
    }
    if (p < end && *p == '.') {
        integer = false;
        if (++p == end || !isDigit(*p))
            return false;
        while (p < end && isDigit(*p))
            ++p;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        integer = false;
        if (++p < end && (*p == '+' || *p == '-'))
            ++p;
        if (p == end || !isDigit(*p))
            return false;
        while (p < end && isDigit(*p))
            ++p;
    }
    append(Type::Number, start, p);
    // What QByteArray::toDouble does not take (out of range), QJsonDocument refuses too.
    const int digits = int(p - start) - (*start == '-');
    bool ok = integer && digits <= kExactDigits;
    if (!ok)
        QByteArray::fromRawData(start, int(p - start)).toDouble(&ok);
    return ok;
}

bool KSoftBusJsonTokens::parse(const QByteArray &utf8)
{
    m_text = utf8;
    m_tokens.clear();
    // Compact record text runs about one token in seven bytes (the device list's): no growing on the way.
    m_tokens.reserve(std::size_t(utf8.size() / 5 + 16));
    const char *p = m_text.constData();
    const char *const end = p + m_text.size();
    // The containers open at p; an object member's value comes after its key and ':'.
    std::array<int, kMaxDepth> open;
    std::array<bool, kMaxDepth> openObject;
    // Per open object, one bit per key seen (by length and end bytes): a key whose bit is set already may repeat.
    std::array<quint64, kMaxDepth> keysSeen;
    int depth = 0;
    p = skipSpace(p, end);
    if (p == end || (*p != '{' && *p != '['))
        return false;
    for (;;) {
        // A value at p.
        p = skipSpace(p, end);
        if (p == end)
            return false;
        const char c = *p;
        bool closed = false;
        if (c == '{' || c == '[') {
            if (depth == kMaxDepth)
                return false;
            openObject[std::size_t(depth)] = c == '{';
            keysSeen[std::size_t(depth)] = 0;
            open[std::size_t(depth++)] = int(m_tokens.size());
            append(c == '{' ? Type::Object : Type::Array, p, p + 1);
            p = skipSpace(p + 1, end);
            if (p < end && *p == (c == '{' ? '}' : ']')) {
                ++p;
                --depth;
                closed = true;
            } else if (c == '[') {
                continue;
            }
        } else if (c == '"') {
            if (!scanString(p, end))
                return false;
        } else if (c == '-' || isDigit(c)) {
            if (!scanNumber(p, end))
                return false;
        } else if (end - p >= 4 && !std::memcmp(p, "true", 4)) {
            append(Type::True, p, p + 4);
            p += 4;
        } else if (end - p >= 5 && !std::memcmp(p, "false", 5)) {
            append(Type::False, p, p + 5);
            p += 5;
        } else if (end - p >= 4 && !std::memcmp(p, "null", 4)) {
            append(Type::Null, p, p + 4);
            p += 4;
        } else {
            return false;
        }
        // After the value (or an open object, whose first key comes next): close what ends here.
        bool key = c == '{' && !closed;
        while (!key) {
            if (!depth)
                return skipSpace(p, end) == end;
            p = skipSpace(p, end);
            if (p == end)
                return false;
            const int container = open[std::size_t(depth - 1)];
            const bool object = openObject[std::size_t(depth - 1)];
            if (*p == ',') {
                ++p;
                key = object;
                if (!object)
                    break;
            } else if (*p == (object ? '}' : ']')) {
                ++p;
                m_tokens[std::size_t(container)].end = int(m_tokens.size());
                --depth;
            } else {
                return false;
            }
        }
        if (key) {
            p = skipSpace(p, end);
            if (p == end || *p != '"' || !scanString(p, end))
                return false;
            noteKey(open[std::size_t(depth - 1)], &keysSeen[std::size_t(depth - 1)]);
            p = skipSpace(p, end);
            if (p == end || *p != ':')
                return false;
            ++p;
        }
    }
}

void KSoftBusJsonTokens::noteKey(int object, quint64 *seen)
{
    const Token &key = m_tokens.back();
    const char *p = m_text.constData() + key.start;
    const uint bit = key.length ? (uint(key.length) * 7 + uchar(p[0]) * 3 + uchar(p[key.length - 1])) % 64 : 0;
    // Escapes may spell one key two ways: such an object is searched to its end.
    if (key.escaped || (*seen >> bit & 1))
        m_tokens[std::size_t(object)].repeated = true;
    *seen |= quint64(1) << bit;
}

double KSoftBusJsonTokens::number(int index) const
{
    const Token &t = at(index);
    const char *p = m_text.constData() + t.start;
    const bool negative = *p == '-';
    const int digits = t.length - negative;
    bool integer = digits <= kExactDigits;
    qint64 n = 0;
    for (int i = negative; integer && i < t.length; ++i) {
        integer = isDigit(p[i]);
        n = n * 10 + (p[i] - '0');
    }
    if (integer)
        return double(negative ? -n : n);
    return QByteArray::fromRawData(p, t.length).toDouble();
}

QString KSoftBusJsonTokens::interned(const Token &t) const
{
    const char *p = m_text.constData() + t.start;
    uint hash = uint(t.length);
    for (int i = 0; i < t.length; ++i)
        hash = hash * 31 + uchar(p[i]);
    if (m_interned.empty())
        m_interned.resize(kInternedSlots, {0, -1, QString()});
    for (int probe = 0; probe < kInternedSlots; ++probe) {
        Interned &slot = m_interned[std::size_t((hash + uint(probe)) % kInternedSlots)];
        if (slot.start < 0) {
            slot = {hash, t.start, QString::fromLatin1(p, t.length)};
            return slot.text;
        }
        if (slot.hash == hash && slot.text.size() == t.length
            && !std::memcmp(m_text.constData() + slot.start, p, std::size_t(t.length)))
            return slot.text;
    }
    return QString::fromLatin1(p, t.length);
}

QString KSoftBusJsonTokens::string(int index) const
{
    const Token &t = at(index);
    const char *p = m_text.constData() + t.start;
    if (!t.escaped && t.ascii && t.length && t.length <= kInternedLength)
        return interned(t);
    if (!t.escaped)
        return t.ascii ? QString::fromLatin1(p, t.length) : QString::fromUtf8(p, t.length);
    const char *const end = p + t.length;
    QString out;
    out.reserve(t.length);
    while (p < end) {
        const char *run = p;
        while (p < end && *p != '\\')
            ++p;
        if (p > run)
            out += QString::fromUtf8(run, int(p - run));
        if (p == end)
            break;
        static const char kEscaped[] = "\"\\/bfnrt";
        static const char kMeant[] = "\"\\/\b\f\n\r\t";
        if (const char *e = p[1] ? std::strchr(kEscaped, p[1]) : nullptr) {
            out += QLatin1Char(kMeant[e - kEscaped]);
            p += 2;
        } else {
            // Checked by parse(): a unit, or a surrogate pair as two escapes.
            out += QChar(ushort(unicodeEscape(p, end)));
            p += 6;
        }
    }
    return out;
}

} // namespace Protocol
} // namespace SoftBus
