// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "softbusbase64.h"

#include <array>

namespace SoftBus {
namespace Business {

namespace {

constexpr uint kInvalid = 0x80;

// The 6-bit value of each Latin-1 character, kInvalid outside the alphabet.
constexpr std::array<quint8, 256> valueTable()
{
    std::array<quint8, 256> table{};
    for (auto &v : table)
        v = kInvalid;
    for (int i = 0; i < 26; ++i) {
        table[std::size_t('A' + i)] = quint8(i);
        table[std::size_t('a' + i)] = quint8(26 + i);
    }
    for (int i = 0; i < 10; ++i)
        table[std::size_t('0' + i)] = quint8(52 + i);
    table[std::size_t('+')] = 62;
    table[std::size_t('/')] = 63;
    return table;
}

constexpr std::array<quint8, 256> kValues = valueTable();

} // namespace

bool decodeBase64(QStringView text, QByteArray *out)
{
    int size = int(text.size());
    if (size && text[size - 1] == QLatin1Char('=')) {
        if (size % 4)
            return false;
        size -= text[size - 2] == QLatin1Char('=') ? 2 : 1;
    }
    // Decoded in place over its Latin-1 form (a fast bulk conversion): the bytes are shorter than the text.
    // A character beyond Latin-1 becomes "?", which is no Base64 character either.
    QByteArray bytes = text.left(size).toLatin1();
    uchar *o = reinterpret_cast<uchar *>(bytes.data());
    const uchar *const in = o;
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        const uint a = kValues[in[i]], b = kValues[in[i + 1]], c = kValues[in[i + 2]], d = kValues[in[i + 3]];
        if ((a | b | c | d) & kInvalid)
            return false;
        const uint word = a << 18 | b << 12 | c << 6 | d;
        o[0] = uchar(word >> 16);
        o[1] = uchar(word >> 8);
        o[2] = uchar(word);
        o += 3;
    }
    // Six bits a character; a last partial byte is dropped.
    uint buffer = 0;
    int bits = 0;
    for (; i < size; ++i) {
        const uint v = kValues[in[i]];
        if (v & kInvalid)
            return false;
        buffer = buffer << 6 | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            *o++ = uchar(buffer >> bits);
        }
    }
    bytes.truncate(int(o - in));
    *out = bytes;
    return true;
}

} // namespace Business
} // namespace SoftBus
