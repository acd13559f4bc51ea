// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QByteArray>
#include <QMetaType>

#include <cstdint>
#include <string>
#include <vector>

/*
 * Builds binary-protocol bytes by hand, for inputs that no record would ever
 * write (missing required fields, wrong types, bad sizes, deep nesting).
 */
class CirraWire
{
public:
    enum Type : int8_t { Bool = 2, Byte = 3, Double = 4, I32 = 8, I64 = 10, String = 11,
                         Struct = 12, Map = 13, List = 15 };

    CirraWire &field(int8_t type, int16_t id);
    CirraWire &i8(int8_t v);
    CirraWire &i32(int32_t v);
    CirraWire &i64(int64_t v);
    CirraWire &boolean(bool v) { return i8(v ? 1 : 0); }
    CirraWire &str(const std::string &v);
    CirraWire &map(int8_t key, int8_t value, int32_t size);
    CirraWire &list(int8_t element, int32_t size);
    CirraWire &stop() { return i8(0); }
    CirraWire &raw(const std::string &v);

    std::string bytes;
};

// A frame as it goes over the socket: big-endian length, then the envelope.
QByteArray cirraFrameBytes(const qoz::cirra::CirraFrame &frame);
// `payload` behind its big-endian length.
QByteArray cirraPrefixed(const std::string &payload);

Q_DECLARE_METATYPE(std::string)
