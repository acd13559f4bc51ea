// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "cirrawire.h"

#include <kcirracodec.h>

#include <QtEndian>

CirraWire &CirraWire::field(int8_t type, int16_t id)
{
    i8(type);
    bytes.push_back(static_cast<char>((id >> 8) & 0xff));
    bytes.push_back(static_cast<char>(id & 0xff));
    return *this;
}

CirraWire &CirraWire::i8(int8_t v)
{
    bytes.push_back(static_cast<char>(v));
    return *this;
}

CirraWire &CirraWire::i32(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>((u >> shift) & 0xff));
    return *this;
}

CirraWire &CirraWire::i64(int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>((u >> shift) & 0xff));
    return *this;
}

CirraWire &CirraWire::str(const std::string &v)
{
    i32(static_cast<int32_t>(v.size()));
    bytes += v;
    return *this;
}

CirraWire &CirraWire::map(int8_t key, int8_t value, int32_t size)
{
    return i8(key).i8(value).i32(size);
}

CirraWire &CirraWire::list(int8_t element, int32_t size)
{
    return i8(element).i32(size);
}

CirraWire &CirraWire::raw(const std::string &v)
{
    bytes += v;
    return *this;
}

QByteArray cirraFrameBytes(const qoz::cirra::CirraFrame &frame)
{
    QByteArray bytes;
    KCirraCodec::encodeFrame(frame, &bytes);
    return bytes;
}

QByteArray cirraPrefixed(const std::string &payload)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(quint32(payload.size()), reinterpret_cast<uchar *>(bytes.data()));
    return bytes + QByteArray::fromStdString(payload);
}
