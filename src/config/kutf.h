// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversions between UTF-8, UTF-16 and wide strings (UTF-32 on Linux) for
// the Qt-free configuration reader. Invalid input never fails: every byte
// that does not start a valid UTF-8 sequence becomes one U+FFFD, and
// unpaired surrogates become U+FFFD on the way to UTF-32, as QString does.
// Owner: none (static functions). Thread: any. Lifecycle: stateless.
class KUtf
{
public:
    KUtf() = delete;

    // Decodes the sequence at bytes[pos]. On success appends one or two UTF-16
    // units to out, moves pos past the sequence and returns true; otherwise
    // appends nothing, moves pos one byte on and returns false.
    static bool decodeUtf8(std::string_view bytes, std::size_t &pos, std::u16string &out);

    // UTF-8 to UTF-16 the way QString::fromUtf8 does it: a leading byte order
    // mark is dropped, each bad byte gives one U+FFFD.
    static std::u16string fromUtf8(std::string_view bytes);

    static std::u16string toUtf16(std::wstring_view text);
    static std::wstring fromUtf16(std::u16string_view text);
    static std::wstring fromUtf16(const char16_t *text);
    static std::string toUtf8(std::wstring_view text);
};
