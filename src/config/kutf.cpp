// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kutf.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

bool isSurrogate(char32_t cp)
{
    return cp >= 0xD800 && cp <= 0xDFFF;
}

void appendUtf16(std::u16string &out, char32_t cp)
{
    if (cp < 0x10000) {
        out += char16_t(cp);
    } else {
        cp -= 0x10000;
        out += char16_t(0xD800 + (cp >> 10));
        out += char16_t(0xDC00 + (cp & 0x3FF));
    }
}

} // namespace

bool KUtf::decodeUtf8(std::string_view bytes, std::size_t &pos, std::u16string &out)
{
    const auto lead = static_cast<unsigned char>(bytes[pos++]);
    if (lead < 0x80) {
        out += char16_t(lead);
        return true;
    }
    std::size_t needed = 0;
    char32_t minimum = 0;
    char32_t cp = 0;
    // C0 and C1 can only start overlong forms; above F4 lies past U+10FFFF.
    if (lead <= 0xC1 || lead >= 0xF5) {
        return false;
    } else if (lead < 0xE0) {
        needed = 1;
        minimum = 0x80;
        cp = lead & 0x1F;
    } else if (lead < 0xF0) {
        needed = 2;
        minimum = 0x800;
        cp = lead & 0x0F;
    } else {
        needed = 3;
        minimum = 0x10000;
        cp = lead & 0x07;
    }
    if (bytes.size() - pos < needed)
        return false;
    for (std::size_t i = 0; i < needed; ++i) {
        const auto b = static_cast<unsigned char>(bytes[pos + i]);
        if (!isContinuation(b))
            return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || isSurrogate(cp) || cp > 0x10FFFF)
        return false;
    appendUtf16(out, cp);
    pos += needed;
    return true;
}

std::u16string KUtf::fromUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        pos = 3;
    while (pos < bytes.size()) {
        if (!decodeUtf8(bytes, pos, out))
            out += kReplacement;
    }
    return out;
}

std::u16string KUtf::toUtf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (const wchar_t wc : text) {
        const auto cp = static_cast<char32_t>(wc);
        appendUtf16(out, (isSurrogate(cp) || cp > 0x10FFFF) ? char32_t(kReplacement) : cp);
    }
    return out;
}

std::wstring KUtf::fromUtf16(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            out += wchar_t(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isSurrogate(unit)) {
            out += wchar_t(kReplacement);
        } else {
            out += wchar_t(unit);
        }
    }
    return out;
}

std::wstring KUtf::fromUtf16(const char16_t *text)
{
    return text ? fromUtf16(std::u16string_view(text)) : std::wstring();
}

std::string KUtf::toUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const wchar_t wc : text) {
        auto cp = static_cast<char32_t>(wc);
        if (isSurrogate(cp) || cp > 0x10FFFF)
            cp = kReplacement;
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}
