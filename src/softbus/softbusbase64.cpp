// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "softbusbase64.h"

#include <QtEndian>

#include <array>
#include <cstring>

namespace SoftBus {
namespace Business {

namespace {

constexpr uint kInvalid = 0x80;
constexpr quint32 kInvalidWord = 0x01000000;

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

// What the character at `position` (0-3) of a group adds to the group's three bytes, as the low three bytes
// of a little-endian word; kInvalidWord outside the alphabet.
constexpr std::array<quint32, 256> wordTable(int position)
{
    std::array<quint32, 256> table{};
    for (std::size_t c = 0; c < 256; ++c) {
        const quint32 v = kValues[c];
        if (v & kInvalid) {
            table[c] = kInvalidWord;
            continue;
        }
        switch (position) {
        case 0: table[c] = v << 2; break;
        case 1: table[c] = v >> 4 | (v & 0x0f) << 12; break;
        case 2: table[c] = (v >> 2) << 8 | (v & 0x03) << 22; break;
        default: table[c] = v << 16; break;
        }
    }
    return table;
}

constexpr std::array<quint32, 256> kWord0 = wordTable(0);
constexpr std::array<quint32, 256> kWord1 = wordTable(1);
constexpr std::array<quint32, 256> kWord2 = wordTable(2);
constexpr std::array<quint32, 256> kWord3 = wordTable(3);

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
        const quint32 word = kWord0[in[i]] | kWord1[in[i + 1]] | kWord2[in[i + 2]] | kWord3[in[i + 3]];
        if (word & kInvalidWord)
            return false;
        // Four bytes written, three kept: the fourth is the next step's first (or past the end, within
        // the group just read).
        const quint32 le = qToLittleEndian(word);
        std::memcpy(o, &le, sizeof le);
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
