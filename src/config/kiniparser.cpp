// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kiniparser.h"

#include "kutf.h"

#include <cstdint>

// The rules below follow what QSettings (Qt 5.15, IniFormat, no codec set)
// reads, quirks included, because the suite writes this file with QSettings
// and the other readers of it are QSettings too.

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct Line
{
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t equals = npos;
};

bool isNewline(char c)
{
    return c == '\n' || c == '\r';
}

bool isLineSpace(char c)
{
    return c == ' ' || c == '\t' || isNewline(c);
}

bool isBlank(char c) // isspace() of the C locale
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One logical line of data[pos, end). A ';' outside quotes ends the line
// (at the start of a line it is a comment up to the line break), quotes let
// a line run over line breaks and a backslash takes the next byte with it.
bool nextLine(std::string_view data, std::size_t end, std::size_t &pos, Line &line)
{
    line = Line();
    std::size_t start = pos;
    while (start < end && isLineSpace(data[start]))
        ++start;

    bool inQuotes = false;
    bool stop = false;
    std::size_t i = start;
    while (!stop && i < end) {
        const char c = data[i++];
        switch (c) {
        case '=':
            if (!inQuotes && line.equals == npos)
                line.equals = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                stop = true;
            }
            break;
        case '\\':
            if (i < end) {
                const char escaped = data[i++];
                if (i < end) {
                    const char next = data[i];
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        case ';':
            if (i == start + 1) {
                while (i < end && !isNewline(data[i]))
                    ++i;
                while (i < end && isLineSpace(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                stop = true;
            }
            break;
        default:
            break;
        }
    }
    pos = i;
    line.start = start;
    line.length = i - start;
    return line.length > 0;
}

// QByteArray::toInt(&ok, 16) on the digits of a %XX or %UXXXX key escape:
// strtoll() rules (leading blanks, a sign, a "0x" prefix), trailing blanks
// allowed, and the text ends at a NUL byte.
bool parseEscapeDigits(std::string_view digits, int *value)
{
    digits = digits.substr(0, digits.find('\0'));
    std::size_t i = 0;
    while (i < digits.size() && isBlank(digits[i]))
        ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
        negative = digits[i] == '-';
        ++i;
    }
    if (digits.size() - i >= 3 && digits[i] == '0' && (digits[i + 1] == 'x' || digits[i + 1] == 'X')
        && hexValue(digits[i + 2]) >= 0) {
        i += 2;
    }
    const std::size_t first = i;
    int result = 0;
    while (i < digits.size() && hexValue(digits[i]) >= 0)
        result = result * 16 + hexValue(digits[i++]);
    if (i == first)
        return false;
    while (i < digits.size() && isBlank(digits[i]))
        ++i;
    if (i != digits.size())
        return false;
    *value = negative ? -result : result;
    return true;
}

void appendLatin1(std::u16string &out, std::string_view bytes)
{
    for (const char c : bytes)
        out += char16_t(static_cast<unsigned char>(c));
}

// "%XX" and "%UXXXX" stand for one UTF-16 unit, a backslash for '/'; any
// other byte stands for itself (Latin-1), malformed escapes are kept.
std::u16string unescapedKey(std::string_view data, std::size_t from, std::size_t to)
{
    std::u16string out;
    out.reserve(to - from);
    std::size_t i = from;
    while (i < to) {
        const char c = data[i];
        if (c == '\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c != '%' || i == to - 1) {
            out += char16_t(static_cast<unsigned char>(c));
            ++i;
            continue;
        }
        std::size_t digits = 2;
        std::size_t first = i + 1;
        if (data[first] == 'U') {
            ++first;
            digits = 4;
        }
        int value = 0;
        if (first + digits > to || !parseEscapeDigits(data.substr(first, digits), &value)) {
            out += u'%';
            ++i;
            continue;
        }
        out += char16_t(value & 0xFFFF);
        i = first + digits;
    }
    return out;
}

struct UnescapedValue
{
    std::u16string text;
    std::vector<std::u16string> items;
    bool isList = false;
};

char16_t simpleEscape(char c)
{
    switch (c) {
    case 'a': return u'\a';
    case 'b': return u'\b';
    case 'f': return u'\f';
    case 'n': return u'\n';
    case 'r': return u'\r';
    case 't': return u'\t';
    case 'v': return u'\v';
    case '"': return u'"';
    case '?': return u'?';
    case '\'': return u'\'';
    case '\\': return u'\\';
    default: return 0;
    }
}

void chopTrailingBlanks(std::u16string &text, std::size_t limit)
{
    while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t'))
        text.pop_back();
}

// The value part of a key line: quotes, backslash escapes (including \x
// with any number of hex digits and octal \NNN, both cut to 16 bits), and
// unquoted commas that make the value a list. Blanks around unquoted text
// are trimmed; blanks that came from an escape or from quotes stay.
UnescapedValue unescapedValue(std::string_view data, std::size_t from, std::size_t to, bool utf8)
{
    enum class State { SkipBlanks, Normal, RanOut, Hex, Octal, End };

    UnescapedValue result;
    std::u16string &text = result.text;
    bool inQuotes = false;
    bool quoted = false;
    std::uint32_t escapeValue = 0;
    std::size_t i = from;
    State state = State::SkipBlanks;

    while (state != State::End) {
        switch (state) {
        case State::SkipBlanks:
            while (i < to && (data[i] == ' ' || data[i] == '\t'))
                ++i;
            state = State::Normal;
            break;
        case State::Normal: {
            std::size_t chopLimit = text.size();
            State next = State::RanOut;
            while (next == State::RanOut && i < to) {
                const char c = data[i];
                if (c == '\\') {
                    ++i;
                    if (i >= to) {
                        next = State::End;
                        break;
                    }
                    const char escaped = data[i++];
                    if (const char16_t mapped = simpleEscape(escaped)) {
                        text += mapped;
                        next = State::Normal;
                        break;
                    }
                    if (escaped == 'x') {
                        escapeValue = 0;
                        if (i >= to) {
                            next = State::End;
                            break;
                        }
                        if (hexValue(data[i]) >= 0) {
                            next = State::Hex;
                            break;
                        }
                    } else if (escaped >= '0' && escaped <= '7') {
                        escapeValue = std::uint32_t(escaped - '0');
                        next = State::Octal;
                        break;
                    } else if (isNewline(escaped)) {
                        if (i < to && isNewline(data[i]) && data[i] != escaped)
                            ++i;
                    }
                    chopLimit = text.size();
                } else if (c == '"') {
                    ++i;
                    quoted = true;
                    inQuotes = !inQuotes;
                    if (!inQuotes)
                        next = State::SkipBlanks;
                } else if (c == ',' && !inQuotes) {
                    if (!quoted)
                        chopTrailingBlanks(text, chopLimit);
                    if (!result.isList) {
                        result.isList = true;
                        result.items.clear();
                    }
                    result.items.push_back(text);
                    text.clear();
                    quoted = false;
                    ++i;
                    next = State::SkipBlanks;
                } else {
                    std::size_t j = i + 1;
                    while (j < to && data[j] != '\\' && data[j] != '"' && data[j] != ',')
                        ++j;
                    // QTextCodec decodes each run on its own: a byte order
                    // mark at the start of a run is dropped, as fromUtf8 does.
                    if (utf8)
                        text += KUtf::fromUtf8(data.substr(i, j - i));
                    else
                        appendLatin1(text, data.substr(i, j - i));
                    i = j;
                }
            }
            if (next == State::RanOut) {
                if (!quoted)
                    chopTrailingBlanks(text, chopLimit);
                next = State::End;
            }
            state = next;
            break;
        }
        case State::Hex:
        case State::Octal: {
            if (i >= to) {
                text += char16_t(escapeValue & 0xFFFF);
                state = State::End;
                break;
            }
            const char c = data[i];
            const int digit = state == State::Hex ? hexValue(c) : ((c >= '0' && c <= '7') ? c - '0' : -1);
            if (digit >= 0) {
                escapeValue = (escapeValue << (state == State::Hex ? 4 : 3)) + std::uint32_t(digit);
                ++i;
            } else {
                text += char16_t(escapeValue & 0xFFFF);
                state = State::Normal;
            }
            break;
        }
        case State::RanOut:
        case State::End:
            state = State::End;
            break;
        }
    }
    if (result.isList)
        result.items.push_back(text);
    return result;
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// How many arguments QSettings finds in "@Rect(1 2 3 4)" and the like: one
// per blank and one per ')' after the opening parenthesis.
std::size_t argumentCount(std::u16string_view text, std::size_t open)
{
    std::size_t count = 0;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == u' ' || text[i] == u')')
            ++count;
    }
    return count;
}

// The string QSettings::value() hands back for one unescaped value, where
// "@..." forms name other types. Returns false when the value is no string.
bool scalarText(const std::u16string &value, std::u16string *out)
{
    if (!value.empty() && value[0] == u'@') {
        if (value.back() == u')') {
            if (startsWith(value, u"@ByteArray(")) {
                std::string bytes;
                for (const char16_t c : std::u16string_view(value).substr(11, value.size() - 12))
                    bytes += c <= 0xFF ? char(c) : '?';
                // QVariant converts a byte array to text up to its first NUL.
                *out = KUtf::fromUtf8(std::string_view(bytes).substr(0, bytes.find('\0')));
                return true;
            }
            if (startsWith(value, u"@String(")) {
                *out = value.substr(8, value.size() - 9);
                return true;
            }
            if (startsWith(value, u"@Variant(") || startsWith(value, u"@DateTime("))
                return false;
            if (startsWith(value, u"@Rect(") && argumentCount(value, 5) == 4)
                return false;
            if (startsWith(value, u"@Size(") && argumentCount(value, 5) == 2)
                return false;
            if (startsWith(value, u"@Point(") && argumentCount(value, 6) == 2)
                return false;
            if (value == u"@Invalid()")
                return false;
        }
        if (value.size() >= 2 && value[1] == u'@') {
            *out = value.substr(1);
            return true;
        }
    }
    *out = value;
    return true;
}

bool valueText(const UnescapedValue &value, std::u16string *out)
{
    if (!value.isList)
        return scalarText(value.text, out);
    out->clear();
    for (std::size_t n = 0; n < value.items.size(); ++n) {
        std::u16string_view item = value.items[n];
        if (!item.empty() && item[0] == u'@') {
            // A single '@' makes QSettings read a list of variants.
            if (item.size() < 2 || item[1] != u'@')
                return false;
            item.remove_prefix(1);
        }
        if (n)
            *out += u',';
        *out += item;
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    if (text.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lowerCase[i])
            return false;
    }
    return true;
}

} // namespace

bool KIniParser::parse(std::string_view data)
{
    m_data = data;
    m_sections.clear();
    m_issues.clear();
    m_issueCount = 0;

    // The top level starts at 0 even after a byte order mark, so QSettings
    // and we both see the mark in front of a first key without a section.
    m_utf8Values = data.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    std::size_t pos = m_utf8Values ? kUtf8Mark.size() : 0;
    std::u16string current;
    std::size_t currentStart = 0;
    Line line;
    while (nextLine(data, data.size(), pos, line)) {
        if (data[line.start] != '[')
            continue;
        m_sections[current].push_back({currentStart, line.start});

        std::string_view name;
        const std::size_t close = data.find(']', line.start);
        if (close == npos || close >= line.start + line.length) {
            addIssue(line.start, "section name without ']'");
            name = data.substr(line.start + 1, line.length - 1);
        } else {
            name = data.substr(line.start + 1, close - line.start - 1);
        }
        name = trimmed(name);
        if (equalsIgnoringCase(name, "general")) {
            current.clear();
        } else {
            if (equalsIgnoringCase(name, "%general")) {
                current.clear();
                appendLatin1(current, name.substr(1));
            } else {
                current = unescapedKey(name, 0, name.size());
            }
            current += u'/';
        }
        currentStart = pos;
    }
    m_sections[current].push_back({currentStart, data.size()});

    for (const auto &section : m_sections) {
        for (const Range &range : section.second) {
            if (m_utf8Values && range.from == 0 && range.to == kUtf8Mark.size())
                continue; // only the mark before the first section
            std::size_t at = range.from;
            while (nextLine(data, range.to, at, line)) {
                if (line.equals == npos)
                    addIssue(line.start, "line without '='");
            }
        }
    }
    return m_issueCount == 0;
}

void KIniParser::addIssue(std::size_t offset, std::string message)
{
    if (m_issueCount++ >= kMaxIssues)
        return;
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (m_data[i] == '\n' || (m_data[i] == '\r' && (i + 1 >= m_data.size() || m_data[i + 1] != '\n')))
            ++line;
    }
    m_issues.push_back({line, std::move(message)});
}

bool KIniParser::stringValue(std::u16string_view key, std::u16string *value) const
{
    const std::u16string wanted = normalizedKey(key);
    if (wanted.empty())
        return false;

    // Only a section whose name starts the key can hold it. Sections are
    // read in the order of their names, the parts of a repeated section in
    // file order, and the last line that gives the key wins, as in QSettings.
    bool found = false;
    Range valueRange{0, 0};
    for (const auto &[section, ranges] : m_sections) {
        if (wanted.compare(0, section.size(), section) != 0)
            continue;
        for (const Range &range : ranges) {
            std::size_t pos = range.from;
            Line line;
            while (nextLine(m_data, range.to, pos, line)) {
                if (line.equals == npos)
                    continue;
                std::size_t keyEnd = line.equals;
                while (keyEnd > line.start && (m_data[keyEnd - 1] == ' ' || m_data[keyEnd - 1] == '\t'))
                    --keyEnd;
                if (wanted.compare(section.size(), npos, unescapedKey(m_data, line.start, keyEnd)) == 0) {
                    found = true;
                    valueRange = {line.equals + 1, line.start + line.length};
                }
            }
        }
    }
    if (!found)
        return false;
    return valueText(unescapedValue(m_data, valueRange.from, valueRange.to, m_utf8Values), value);
}

std::u16string KIniParser::normalizedKey(std::u16string_view key)
{
    std::u16string out;
    out.reserve(key.size());
    std::size_t i = 0;
    while (i < key.size()) {
        while (i < key.size() && key[i] == u'/')
            ++i;
        const std::size_t start = i;
        while (i < key.size() && key[i] != u'/')
            ++i;
        if (i > start) {
            if (!out.empty())
                out += u'/';
            out += key.substr(start, i - start);
        }
    }
    return out;
}
