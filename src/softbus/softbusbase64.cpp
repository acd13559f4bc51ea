// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "softbusbase64.h"

#include <array>

namespace SoftBus {
namespace Business {

namespace {

constexpr uint kInvalid = 0x80;

// The 6-bit value of each ASCII character, kInvalid outside the alphabet.
constexpr std::array<quint8, 128> valueTable()
{
    std::array<quint8, 128> table{};
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

constexpr std::array<quint8, 128> kValues = valueTable();

uint valueOf(QChar c)
{
    const ushort u = c.unicode();
    return u < 128 ? kValues[u] : kInvalid;
}

} // namespace

bool decodeBase64(QStringView text, QByteArray *out)
{
    const QChar *in = text.data();
    int size = int(text.size());
    if (size && in[size - 1] == QLatin1Char('=')) {
        if (size % 4)
            return false;
        size -= in[size - 2] == QLatin1Char('=') ? 2 : 1;
    }
    // Six bits a character; a last partial byte is dropped.
    QByteArray bytes(int(qint64(size) * 3 / 4), Qt::Uninitialized);
    uchar *o = reinterpret_cast<uchar *>(bytes.data());
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        const uint a = valueOf(in[i]), b = valueOf(in[i + 1]), c = valueOf(in[i + 2]), d = valueOf(in[i + 3]);
        if ((a | b | c | d) & kInvalid)
            return false;
        const uint word = a << 18 | b << 12 | c << 6 | d;
        o[0] = uchar(word >> 16);
        o[1] = uchar(word >> 8);
        o[2] = uchar(word);
        o += 3;
    }
    uint buffer = 0;
    int bits = 0;
    for (; i < size; ++i) {
        const uint v = valueOf(in[i]);
        if (v & kInvalid)
            return false;
        buffer = buffer << 6 | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            *o++ = uchar(buffer >> bits);
        }
    }
    *out = bytes;
    return true;
}

} // namespace Business
} // namespace SoftBus
