// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirracodec.h"

#include <cirra/cirra_types.h>

#include <thrift/TConfiguration.h>
#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include <memory>

using apache::thrift::TConfiguration;
using apache::thrift::TException;
using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::protocol::TProtocolException;
using apache::thrift::transport::TMemoryBuffer;
using apache::thrift::transport::TTransportException;

namespace {

constexpr int kPrefixSize = 4;

std::shared_ptr<TConfiguration> frameConfiguration()
{
    // Thrift counts every byte read against the message size; one transport
    // per frame keeps that count per frame, so the cap is the frame cap.
    return std::make_shared<TConfiguration>(static_cast<int>(KCirraCodec::kMaxFrameSize) + kPrefixSize);
}

std::unique_ptr<TBinaryProtocol> makeProtocol(const std::shared_ptr<TMemoryBuffer> &buffer)
{
    return std::make_unique<TBinaryProtocol>(buffer, KCirraCodec::kStringLimit,
                                             KCirraCodec::kContainerLimit, true, true);
}

KCirraCodec::Result failure(KCirraCodec::Status status, int code, const char *what)
{
    KCirraCodec::Result result;
    result.status = status;
    result.code = code;
    result.message = QString::fromUtf8(what);
    return result;
}

// Runs `fn` and turns every exception into a Result.
template<class Fn>
KCirraCodec::Result guarded(Fn &&fn)
{
    try {
        return fn();
    } catch (const TProtocolException &e) {
        return failure(KCirraCodec::Status::Protocol, e.getType(), e.what());
    } catch (const TTransportException &e) {
        return failure(KCirraCodec::Status::Transport, e.getType(), e.what());
    } catch (const TException &e) {
        return failure(KCirraCodec::Status::Other, -1, e.what());
    } catch (const std::exception &e) {
        return failure(KCirraCodec::Status::Other, -1, e.what());
    } catch (...) {
        return failure(KCirraCodec::Status::Other, -1, "unknown exception");
    }
}

} // namespace

KCirraCodec::Result KCirraCodec::encode(const apache::thrift::TBase &record, std::string *out)
{
    return guarded([&] {
        auto buffer = std::make_shared<TMemoryBuffer>(frameConfiguration());
        auto protocol = makeProtocol(buffer);
        record.write(protocol.get());
        *out = buffer->getBufferAsString();
        if (out->size() > kMaxFrameSize)
            return failure(Status::Transport, TTransportException::CORRUPTED_DATA,
                           "record exceeds the frame size limit");
        return Result();
    });
}

KCirraCodec::Result KCirraCodec::decode(const char *data, std::size_t size,
                                        apache::thrift::TBase *record, uint32_t recursionLimit)
{
    if (size > kMaxFrameSize)
        return failure(Status::Transport, TTransportException::CORRUPTED_DATA,
                       "record exceeds the frame size limit");
    return guarded([&] {
        // OBSERVE never writes to the buffer; the const_cast only satisfies its signature.
        auto buffer = std::make_shared<TMemoryBuffer>(
            reinterpret_cast<uint8_t *>(const_cast<char *>(data)), static_cast<uint32_t>(size),
            TMemoryBuffer::OBSERVE, frameConfiguration());
        auto protocol = makeProtocol(buffer);
        if (recursionLimit)
            protocol->setRecurisionLimit(recursionLimit);
        record->read(protocol.get());
        if (buffer->available_read() != 0)
            return failure(Status::Protocol, TProtocolException::INVALID_DATA,
                           "trailing bytes after the record");
        return Result();
    });
}

KCirraCodec::Result KCirraCodec::encodeFrame(const qoz::cirra::CirraFrame &frame, QByteArray *out)
{
    std::string payload;
    Result result = encode(frame, &payload);
    if (!result)
        return result;
    const quint32 size = static_cast<quint32>(payload.size());
    out->resize(kPrefixSize + static_cast<int>(size));
    char *p = out->data();
    p[0] = static_cast<char>((size >> 24) & 0xff);
    p[1] = static_cast<char>((size >> 16) & 0xff);
    p[2] = static_cast<char>((size >> 8) & 0xff);
    p[3] = static_cast<char>(size & 0xff);
    std::copy(payload.begin(), payload.end(), p + kPrefixSize);
    return result;
}

KCirraCodec::Result KCirraCodec::decodeFrame(const char *data, std::size_t size,
                                             qoz::cirra::CirraFrame *frame)
{
    *frame = qoz::cirra::CirraFrame();
    Result result = decode(data, size, frame);
    if (!result)
        return result;
    const int members = int(frame->__isset.hello) + int(frame->__isset.call)
                        + int(frame->__isset.reply) + int(frame->__isset.event);
    if (members != 1)
        return failure(Status::Protocol, TProtocolException::INVALID_DATA,
                       "a frame must carry exactly one of hello, call, reply, event");
    return result;
}
