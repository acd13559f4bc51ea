// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrajsonline.h"

namespace {

// Length of the valid UTF-8 sequence starting at s[i], 0 when invalid.
int utf8Length(const std::string &s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    int length;
    unsigned int minimum;
    if (c < 0x80)
        return 1;
    if ((c & 0xe0) == 0xc0) {
        length = 2;
        minimum = 0x80;
    } else if ((c & 0xf0) == 0xe0) {
        length = 3;
        minimum = 0x800;
    } else if ((c & 0xf8) == 0xf0) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + size_t(length) > s.size())
        return 0;
    unsigned int code = c & (0x7f >> length);
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + size_t(k)]);
        if ((next & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3f);
    }
    if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return length;
}

} // namespace

void KCirraJsonLine::key(const char *key)
{
    // Keys are this program's own names: nothing in them needs escaping.
    if (m_text.size() > 1)
        m_text += ',';
    m_text += '"';
    m_text += key;
    m_text += "\":";
}

void KCirraJsonLine::string(const std::string &value)
{
    static const char hex[] = "0123456789abcdef";
    m_text += '"';
    // Runs that need no escaping are copied in one piece; plain ASCII, by
    // far the most of a call's fields, is told apart without decoding.
    const char *data = value.data();
    const size_t size = value.size();
    size_t run = 0;
    size_t i = 0;
    while (i < size) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        const int length = c < 0x80 ? 1 : utf8Length(value, i);
        if (length > 1) {
            i += size_t(length);
            continue;
        }
        if (i > run)
            m_text.append(data + run, int(i - run));
        if (length == 0) {
            m_text += "\xef\xbf\xbd";
        } else if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += char(c);
        } else {
            m_text += "\\u00";
            m_text += hex[(c >> 4) & 0xf];
            m_text += hex[c & 0xf];
        }
        run = ++i;
    }
    if (i > run)
        m_text.append(data + run, int(i - run));
    m_text += '"';
}

KCirraJsonLine &KCirraJsonLine::add(const char *name, const std::string &value)
{
    key(name);
    string(value);
    return *this;
}

KCirraJsonLine &KCirraJsonLine::add(const char *name, qint64 value)
{
    key(name);
    m_text += QByteArray::number(value);
    return *this;
}

KCirraJsonLine &KCirraJsonLine::addBool(const char *name, bool value)
{
    key(name);
    m_text += value ? "true" : "false";
    return *this;
}

KCirraJsonLine &KCirraJsonLine::add(const char *name, const std::map<std::string, std::string> &map)
{
    key(name);
    m_text += '{';
    bool first = true;
    for (const auto &[k, v] : map) {
        if (!first)
            m_text += ',';
        first = false;
        string(k);
        m_text += ':';
        string(v);
    }
    m_text += '}';
    return *this;
}

KCirraJsonLine &KCirraJsonLine::addJson(const char *name, const QByteArray &json)
{
    key(name);
    m_text += json;
    return *this;
}
