// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrajsontext.h"

#include <QChar>

namespace {

char hexDigit(uint value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

} // namespace

void KCirraJsonText::appendString(const QString &text, QByteArray *out)
{
    // Room for the worst case (six bytes per code unit, two quotes), cut
    // back to what was written; the array keeps its grown capacity.
    const int start = out->size();
    out->resize(start + 2 + 6 * text.size());
    char *p = out->data() + start;
    *p++ = '"';
    const ushort *src = reinterpret_cast<const ushort *>(text.constData());
    const ushort *const end = src + text.size();
    while (src != end) {
        const uint u = *src++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                *p++ = char(u);
                continue;
            }
            *p++ = '\\';
            switch (u) {
            case '"': *p++ = '"'; break;
            case '\\': *p++ = '\\'; break;
            case '\b': *p++ = 'b'; break;
            case '\f': *p++ = 'f'; break;
            case '\n': *p++ = 'n'; break;
            case '\r': *p++ = 'r'; break;
            case '\t': *p++ = 't'; break;
            default:
                *p++ = 'u';
                *p++ = '0';
                *p++ = '0';
                *p++ = hexDigit(u >> 4);
                *p++ = hexDigit(u & 0xf);
            }
        } else if (u < 0x800) {
            *p++ = char(0xc0 | (u >> 6));
            *p++ = char(0x80 | (u & 0x3f));
        } else if (!QChar::isSurrogate(u)) {
            *p++ = char(0xe0 | (u >> 12));
            *p++ = char(0x80 | ((u >> 6) & 0x3f));
            *p++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && src != end && QChar::isLowSurrogate(*src)) {
            const uint c = QChar::surrogateToUcs4(ushort(u), *src++);
            *p++ = char(0xf0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3f));
            *p++ = char(0x80 | ((c >> 6) & 0x3f));
            *p++ = char(0x80 | (c & 0x3f));
        } else {
            // A lone surrogate has no UTF-8 form: QJsonDocument escapes it.
            *p++ = '\\';
            *p++ = 'u';
            for (int shift = 12; shift >= 0; shift -= 4)
                *p++ = hexDigit((u >> shift) & 0xf);
        }
    }
    *p++ = '"';
    out->resize(int(p - out->constData()));
}
