// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <vector>

/*
 * One UTF-8 JSON text as a flat array of tokens, in text order: a container
 * is followed by its members (an object's as key, value pairs), and each
 * token knows where its subtree ends. Records read their fields from it
 * (KSoftBusJsonNode) without a QJsonDocument, a QString of the whole text or
 * a QJsonValue per field.
 *
 * parse() is strict: it takes an object or array holding only what
 * QJsonDocument reads to the same values (no byte order mark, no control
 * characters, unknown escapes, lone surrogates or noncharacters in strings,
 * numbers as the grammar writes them, at most kMaxDepth levels). It answers
 * false on anything else, and callers hand such text to QJsonDocument, which
 * decides.
 *
 * Short ASCII values (the same app, user, client and system in every
 * device of a list) come out as one shared QString each rather than an
 * allocation per field.
 *
 * A short-lived value on the caller's stack; keeps the text it parsed
 * (implicitly shared); any thread, one at a time.
 */
namespace SoftBus {
namespace Protocol {

class KSoftBusJsonTokens
{
public:
    enum class Type : quint8 {
        Null,
        False,
        True,
        Number,
        String,
        Array,
        Object
    };

    struct Token
    {
        Type type;
        bool escaped; // a string with backslash escapes
        bool ascii;   // a string of ASCII characters only
        bool repeated; // an object that may hold a key twice (else a key's first match is its only one)
        int start;    // strings: after the opening quote
        int length;   // strings: up to the closing quote
        int end;      // the index after this token's subtree
    };

    static constexpr int kMaxDepth = 64;

    bool parse(const QByteArray &utf8);

    const Token &at(int index) const { return m_tokens[std::size_t(index)]; }
    double number(int index) const;
    QString string(int index) const;
    bool stringIs(int index, QLatin1String text) const
    {
        const Token &t = at(index);
        if (t.escaped)
            return string(index) == text;
        if (t.length != text.size())
            return false;
        // Keys are a few characters: a loop beats a call to memcmp.
        const char *a = m_text.constData() + t.start;
        for (int i = 0; i < t.length; ++i) {
            if (a[i] != text.data()[i])
                return false;
        }
        return true;
    }

private:
    // One QString per short ASCII value, shared by every token that spells it.
    struct Interned
    {
        uint hash;
        int start;
        QString text;
    };
    static constexpr int kInternedSlots = 128;
    static constexpr int kInternedLength = 32;

    QString interned(const Token &t) const;
    bool scanString(const char *&p, const char *end);
    bool scanNumber(const char *&p, const char *end);
    // Marks the object at index `object` as may-repeat when the key just
    // scanned (the last token) shares its bit in `seen` with an earlier key.
    void noteKey(int object, quint64 *seen);
    void append(Type type, const char *start, const char *end, bool escaped = false, bool ascii = true);

    QByteArray m_text;
    std::vector<Token> m_tokens;
    mutable std::vector<Interned> m_interned; // open addressing, kInternedSlots once used
};

} // namespace Protocol
} // namespace SoftBus
