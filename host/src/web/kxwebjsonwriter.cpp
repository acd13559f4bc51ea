// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebjsonwriter.h"

#include <json/value.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Eight bytes at a time: true when one of them is a control character, '"'
// or '\\'. Long strings without any are the common case.
bool needsEscape(std::uint64_t bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t quote = bytes ^ (kOnes * '"');
    const std::uint64_t backslash = bytes ^ (kOnes * '\\');
    const std::uint64_t control = (bytes - kOnes * 0x20) & ~bytes;
    const std::uint64_t isQuote = (quote - kOnes) & ~quote;
    const std::uint64_t isBackslash = (backslash - kOnes) & ~backslash;
    return ((control | isQuote | isBackslash) & kHighs) != 0;
}

void writeString(const char *begin, const char *end, QByteArray &out)
{
    static const char kHex[] = "0123456789abcdef";
    out.append('"');
    const char *run = begin;
    const char *p = begin;
    while (end - p >= 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, p, sizeof bytes);
        if (needsEscape(bytes))
            break;
        p += 8;
    }
    for (; p != end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(run, int(p - run));
        run = p + 1;
        switch (c) {
        case '"':
            out.append("\\\"", 2);
            break;
        case '\\':
            out.append("\\\\", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        default: {
            const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xf]};
            out.append(escape, int(sizeof escape));
        }
        }
    }
    out.append(run, int(end - run));
    out.append('"');
}

template<typename Number>
void writeNumber(Number number, QByteArray &out)
{
    char buffer[32];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, int(written.ptr - buffer));
}

} // namespace

void kxWriteJson(const Json::Value &value, QByteArray &out)
{
    switch (value.type()) {
    case Json::nullValue:
        out.append("null", 4);
        return;
    case Json::intValue:
        writeNumber(value.asLargestInt(), out);
        return;
    case Json::uintValue:
        writeNumber(value.asLargestUInt(), out);
        return;
    case Json::realValue:
        if (std::isfinite(value.asDouble()))
            writeNumber(value.asDouble(), out);
        else
            out.append("null", 4);
        return;
    case Json::booleanValue:
        out.append(value.asBool() ? "true" : "false");
        return;
    case Json::stringValue: {
        const char *begin = nullptr;
        const char *end = nullptr;
        value.getString(&begin, &end);
        writeString(begin, end, out);
        return;
    }
    case Json::arrayValue: {
        out.append('[');
        for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
            if (i)
                out.append(',');
            kxWriteJson(value[i], out);
        }
        out.append(']');
        return;
    }
    case Json::objectValue: {
        out.append('{');
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (!first)
                out.append(',');
            first = false;
            const char *end = nullptr;
            const char *name = it.memberName(&end);
            writeString(name, end, out);
            out.append(':');
            kxWriteJson(*it, out);
        }
        out.append('}');
        return;
    }
    }
}
