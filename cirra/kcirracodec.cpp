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
using apache::thrift::protocol::TList;
using apache::thrift::protocol::TMap;
using apache::thrift::protocol::TProtocol;
using apache::thrift::protocol::TProtocolException;
using apache::thrift::protocol::TSet;
using apache::thrift::protocol::TType;
using apache::thrift::transport::TMemoryBuffer;
using apache::thrift::transport::TTransportException;

namespace {

constexpr int kPrefixSize = 4;

const std::shared_ptr<TConfiguration> &frameConfiguration()
{
    // Thrift counts every byte read against the message size; one transport
    // per frame keeps that count per frame, so the cap is the frame cap.
    // Transports only read their configuration, so one serves all threads.
    static const auto configuration =
        std::make_shared<TConfiguration>(static_cast<int>(KCirraCodec::kMaxFrameSize) + kPrefixSize);
    return configuration;
}

// The binary protocol, refusing unknown type codes before they become a
// TType: Thrift casts the wire byte to the enum first, which is undefined for
// codes outside the enum's range (and trips UBSan on hostile input). Skipping
// goes through the virtual reads so that nested skips are checked too.
class KCirraBinaryProtocol : public TBinaryProtocol
{
public:
    using TBinaryProtocol::TBinaryProtocol;

    uint32_t readFieldBegin_virt(std::string &, TType &fieldType, int16_t &fieldId) override
    {
        int8_t type = 0;
        uint32_t result = readByte(type);
        fieldType = checkedType(type, true);
        fieldId = 0;
        if (fieldType != apache::thrift::protocol::T_STOP)
            result += readI16(fieldId);
        return result;
    }

    uint32_t readMapBegin_virt(TType &keyType, TType &valType, uint32_t &size) override
    {
        int8_t key = 0, value = 0;
        int32_t count = 0;
        const uint32_t result = readByte(key) + readByte(value) + readI32(count);
        keyType = checkedType(key, false);
        valType = checkedType(value, false);
        size = checkedSize(count);
        TMap map(keyType, valType, size);
        checkReadBytesAvailable(map);
        return result;
    }

    uint32_t readListBegin_virt(TType &elemType, uint32_t &size) override
    {
        const uint32_t result = readElementHeader(&elemType, &size);
        TList list(elemType, size);
        checkReadBytesAvailable(list);
        return result;
    }

    uint32_t readSetBegin_virt(TType &elemType, uint32_t &size) override
    {
        const uint32_t result = readElementHeader(&elemType, &size);
        TSet set(elemType, size);
        checkReadBytesAvailable(set);
        return result;
    }

    uint32_t skip_virt(TType type) override { return apache::thrift::protocol::skip(static_cast<TProtocol &>(*this), type); }

private:
    static TType checkedType(int8_t code, bool stopAllowed)
    {
        using namespace apache::thrift::protocol;
        switch (code) {
        case T_STOP:
            if (stopAllowed)
                return T_STOP;
            break;
        case T_BOOL: case T_BYTE: case T_DOUBLE: case T_I16: case T_I32: case T_I64:
        case T_STRING: case T_STRUCT: case T_MAP: case T_SET: case T_LIST:
            return static_cast<TType>(code);
        default:
            break;
        }
        throw TProtocolException(TProtocolException::INVALID_DATA, "invalid type code");
    }

    uint32_t checkedSize(int32_t count) const
    {
        if (count < 0)
            throw TProtocolException(TProtocolException::NEGATIVE_SIZE);
        if (container_limit_ && count > container_limit_)
            throw TProtocolException(TProtocolException::SIZE_LIMIT);
        return static_cast<uint32_t>(count);
    }

    uint32_t readElementHeader(TType *elemType, uint32_t *size)
    {
        int8_t type = 0;
        int32_t count = 0;
        const uint32_t result = readByte(type) + readI32(count);
        *elemType = checkedType(type, false);
        *size = checkedSize(count);
        return result;
    }
};

std::unique_ptr<TBinaryProtocol> makeProtocol(const std::shared_ptr<TMemoryBuffer> &buffer)
{
    return std::make_unique<KCirraBinaryProtocol>(buffer, KCirraCodec::kStringLimit,
                                                  KCirraCodec::kContainerLimit, true, true);
}

// The transport and protocol records are written with, one per thread and
// kept: making them per record cost an allocation for each, another for the
// buffer and a copy of the bytes out. A buffer grown past kKeepBytes by a
// large record is given back once the record left.
class Writer
{
public:
    static Writer &forThread()
    {
        thread_local Writer writer;
        writer.m_buffer->resetBuffer();
        return writer;
    }
    TMemoryBuffer &buffer() { return *m_buffer; }
    TProtocol *protocol() { return m_protocol.get(); }
    void done()
    {
        if (m_buffer->getBufferSize() > kKeepBytes)
            *this = Writer();
    }

private:
    static constexpr uint32_t kKeepBytes = 256 * 1024;
    std::shared_ptr<TMemoryBuffer> m_buffer = std::make_shared<TMemoryBuffer>(frameConfiguration());
    std::unique_ptr<TBinaryProtocol> m_protocol = makeProtocol(m_buffer);
};

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
        Writer &writer = Writer::forThread();
        record.write(writer.protocol());
        uint8_t *bytes = nullptr;
        uint32_t size = 0;
        writer.buffer().getBuffer(&bytes, &size);
        const bool fits = size <= kMaxFrameSize;
        if (fits)
            out->assign(reinterpret_cast<const char *>(bytes), size);
        writer.done();
        if (!fits)
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
    return guarded([&] {
        // The length prefix goes first and is filled in once the payload is
        // written, so the frame is copied out once.
        Writer &writer = Writer::forThread();
        const uint8_t prefix[kPrefixSize] = {};
        writer.buffer().write(prefix, kPrefixSize);
        frame.write(writer.protocol());
        uint8_t *bytes = nullptr;
        uint32_t total = 0;
        writer.buffer().getBuffer(&bytes, &total);
        const quint32 size = total - kPrefixSize;
        const bool fits = size <= kMaxFrameSize;
        if (fits) {
            out->resize(static_cast<int>(total));
            char *p = out->data();
            std::copy(bytes, bytes + total, p);
            p[0] = static_cast<char>((size >> 24) & 0xff);
            p[1] = static_cast<char>((size >> 16) & 0xff);
            p[2] = static_cast<char>((size >> 8) & 0xff);
            p[3] = static_cast<char>(size & 0xff);
        }
        writer.done();
        if (!fits)
            return failure(Status::Transport, TTransportException::CORRUPTED_DATA,
                           "record exceeds the frame size limit");
        return Result();
    });
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
