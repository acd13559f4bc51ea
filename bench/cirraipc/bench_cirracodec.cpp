// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Record encode/decode through KCirraCodec next to the raw generated Thrift
// code doing the same work (a fresh memory transport and binary protocol per
// record, limits set). Argument: 0 = CirraIpcArg (small), 1 =
// GetCloudFileInfoResult (nested, 30-field item). Target ratio <= 1.1.
#include "cirrasamples.h"
#include "kzbenchratio.h"

#include <kcirracodec.h>

#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

using namespace apache::thrift;

namespace {

KCirraRecord sample(int64_t index)
{
    const char *name = index == 0 ? "CirraIpcArg" : "GetCloudFileInfoResult";
    for (const CirraSample &s : cirraSamples()) {
        if (std::strcmp(s.typeName, name) == 0)
            return s.record;
    }
    return KCirraRecord();
}

const std::shared_ptr<TConfiguration> &configuration()
{
    static const auto shared = std::make_shared<TConfiguration>(int(KCirraCodec::kMaxFrameSize) + 4);
    return shared;
}

void adapterEncode(benchmark::State &state)
{
    const KCirraRecord record = sample(state.range(0));
    std::string bytes;
    for (auto _ : state) {
        KCirraCodec::encode(*record.base(), &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void rawEncode(benchmark::State &state)
{
    const KCirraRecord record = sample(state.range(0));
    std::string bytes;
    for (auto _ : state) {
        auto buffer = std::make_shared<transport::TMemoryBuffer>(configuration());
        protocol::TBinaryProtocol protocol(buffer, KCirraCodec::kStringLimit, KCirraCodec::kContainerLimit, true, true);
        record.base()->write(&protocol);
        bytes = buffer->getBufferAsString();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void adapterDecode(benchmark::State &state)
{
    const KCirraRecord record = sample(state.range(0));
    std::string bytes;
    KCirraCodec::encode(*record.base(), &bytes);
    KCirraRecord target = KCirraRecords::create(record.typeName());
    for (auto _ : state) {
        if (!KCirraCodec::decode(bytes, target.base()))
            state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void rawDecode(benchmark::State &state)
{
    const KCirraRecord record = sample(state.range(0));
    std::string bytes;
    KCirraCodec::encode(*record.base(), &bytes);
    KCirraRecord target = KCirraRecords::create(record.typeName());
    for (auto _ : state) {
        auto buffer = std::make_shared<transport::TMemoryBuffer>(
            reinterpret_cast<uint8_t *>(bytes.data()), uint32_t(bytes.size()), transport::TMemoryBuffer::OBSERVE,
            configuration());
        protocol::TBinaryProtocol protocol(buffer, KCirraCodec::kStringLimit, KCirraCodec::kContainerLimit, true, true);
        target.base()->read(&protocol);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

} // namespace

BENCHMARK(adapterEncode)->Arg(0)->Arg(1);
BENCHMARK(rawEncode)->Arg(0)->Arg(1);
BENCHMARK(adapterDecode)->Arg(0)->Arg(1);
BENCHMARK(rawDecode)->Arg(0)->Arg(1);

int main(int argc, char **argv)
{
    return kzRunRatioBenchmarks(argc, argv, {{"adapterEncode", "rawEncode"}, {"adapterDecode", "rawDecode"}});
}
