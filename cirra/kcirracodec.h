// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

namespace apache { namespace thrift { class TBase; } }
namespace qoz { namespace cirra { class CirraFrame; } }

/*
 * Encodes and decodes cloud records and wire frames with Thrift's binary
 * protocol. The only place where Thrift exceptions cross: every call catches
 * them and returns a KCirraCodec::Result instead.
 *
 * Usable from any thread. Each decode works on a fresh memory transport, so
 * no byte count accumulates across frames; encoding reuses one write buffer
 * per thread (no reentrancy: a record's write never calls the codec).
 */
class KZCIRRA_EXPORT KCirraCodec
{
public:
    // Upper bounds for everything read from a peer; checked before allocating.
    static constexpr quint32 kMaxFrameSize = 16u * 1024u * 1024u;
    static constexpr int32_t kStringLimit = static_cast<int32_t>(kMaxFrameSize);
    static constexpr int32_t kContainerLimit = 65536;

    enum class Status { Ok, Protocol, Transport, Other };

    struct Result
    {
        Status status = Status::Ok;
        // TProtocolException type when status is Protocol (1 invalid data,
        // 3 size limit, 6 depth limit, ...), TTransportException type for
        // Transport, otherwise -1.
        int code = -1;
        QString message;
        explicit operator bool() const { return status == Status::Ok; }
    };

    // Writes `record` into `out` (replacing its contents).
    static Result encode(const apache::thrift::TBase &record, std::string *out);
    // Reads `record` from exactly `size` bytes; trailing bytes are an error.
    // `recursionLimit` 0 keeps Thrift's default.
    static Result decode(const char *data, std::size_t size, apache::thrift::TBase *record,
                         uint32_t recursionLimit = 0);
    static Result decode(const std::string &bytes, apache::thrift::TBase *record)
    {
        return decode(bytes.data(), bytes.size(), record);
    }

    // A frame on the wire: 4-byte big-endian payload length, then the payload.
    static Result encodeFrame(const qoz::cirra::CirraFrame &frame, QByteArray *out);
    // Decodes one payload (without its length prefix) and checks that exactly
    // one member of the envelope is set.
    static Result decodeFrame(const char *data, std::size_t size, qoz::cirra::CirraFrame *frame);
};
