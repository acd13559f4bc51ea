// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A seeded mutation loop over the frame reader, the envelope decoder and
// every record reader. Runs for $KZ_FUZZ_SECONDS (default 5) with seed
// $KZ_FUZZ_SEED (default: fixed); bench/cirraipc/fuzz_long.sh runs it longer.
// Invariants: nothing crashes (run it under ASan/UBSan too), every failure is
// a result, and whatever decodes re-encodes to bytes that decode to the same.
#include "cirrasamples.h"
#include "cirrawire.h"
#include "../support/kmutator.h"

#include <kcirracodec.h>
#include <kcirraframereader.h>
#include <kcirrarecords.h>

#include <QElapsedTimer>
#include <QtTest>

using namespace qoz::cirra;

namespace {

std::vector<std::string> seeds()
{
    std::vector<std::string> result;
    for (const CirraSample &sample : cirraSamples()) {
        std::string bytes;
        KCirraCodec::encode(*sample.record.base(), &bytes);
        result.push_back(bytes);
        std::string empty;
        KCirraCodec::encode(*KCirraRecords::create(sample.typeName).base(), &empty);
        result.push_back(empty);
    }
    CirraFrame call;
    call.__set_call(CirraCall());
    call.call.requestId = "cr-1";
    call.call.functionName = "cirraIpcCall";
    call.call.recordType = "CirraIpcArg";
    call.call.record = result.front();
    CirraFrame hello;
    hello.__set_hello(CirraHello());
    hello.hello.userId = "alice";
    hello.hello.abilities = {"a", "b"};
    CirraFrame event;
    event.__set_event(CirraEvent());
    event.event.signalName = "notifyWebPageEvent";
    event.event.record = result.back();
    for (const CirraFrame &frame : {call, hello, event})
        result.push_back(cirraFrameBytes(frame).toStdString());
    return result;
}

QString hex(const std::string &s)
{
    return QString::fromLatin1(QByteArray::fromStdString(s).toHex());
}

// One input through every reader; returns an error text when an invariant
// breaks. `decoded` tells whether any reader accepted the input.
QString exercise(const std::string &input, Mutator &chunker, bool *decoded)
{
    *decoded = false;
    static const QByteArray names[] = {
#define KZ_CIRRA_NAME(Name) QByteArrayLiteral(#Name),
        KZ_CIRRA_RECORDS(KZ_CIRRA_NAME)
#undef KZ_CIRRA_NAME
    };
    for (const QByteArray &name : names) {
        KCirraRecord record = KCirraRecords::create(name);
        if (!KCirraCodec::decode(input, record.base()))
            continue;
        *decoded = true;
        std::string again;
        if (!KCirraCodec::encode(*record.base(), &again))
            return QStringLiteral("%1 decoded but does not encode").arg(QLatin1String(name));
        KCirraRecord second = KCirraRecords::create(name);
        std::string third;
        if (!KCirraCodec::decode(again, second.base()) || !KCirraCodec::encode(*second.base(), &third)
            || third != again)
            return QStringLiteral("%1 does not round-trip its own output").arg(QLatin1String(name));
    }

    CirraFrame frame;
    if (KCirraCodec::decodeFrame(input.data(), input.size(), &frame)) {
        *decoded = true;
        QByteArray bytes;
        if (!KCirraCodec::encodeFrame(frame, &bytes))
            return QStringLiteral("frame decoded but does not encode");
    }

    // The same bytes as a stream, in random chunks.
    KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
    size_t offset = 0;
    while (offset < input.size() && !reader.hasError()) {
        const size_t chunk = 1 + chunker.pick(std::min<size_t>(64, input.size() - offset));
        reader.append(input.data() + offset, int(chunk));
        offset += chunk;
        while (reader.nextFrame(&frame) == KCirraFrameReader::Status::Frame) {
        }
    }
    if (reader.pendingBytes() > int(input.size()))
        return QStringLiteral("reader holds more than it was given");
    return QString();
}

} // namespace

class tst_CirraFuzz : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mutatedInputsFailCleanly();
};

void tst_CirraFuzz::mutatedInputsFailCleanly()
{
    bool ok = false;
    int seconds = qEnvironmentVariableIntValue("KZ_FUZZ_SECONDS", &ok);
    if (!ok || seconds <= 0)
        seconds = 5;
    quint64 seed = qEnvironmentVariable("KZ_FUZZ_SEED").toULongLong(&ok);
    if (!ok)
        seed = 20260101;

    const std::vector<std::string> pool = seeds();
    std::vector<std::string> corpus = pool;
    Mutator mutator(seed);
    QElapsedTimer timer;
    timer.start();
    quint64 runs = 0;
    while (timer.elapsed() < qint64(seconds) * 1000) {
        const std::string input = mutator.mutate(corpus[mutator.pick(corpus.size())], pool);
        bool decoded = false;
        const QString broken = exercise(input, mutator, &decoded);
        if (!broken.isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 (seed %2, run %3, input %4)").arg(broken).arg(seed).arg(runs).arg(hex(input))));
        // Keep some mutants that still decode as a frame or a record, so later
        // mutations go deeper than one step from the seeds.
        if (decoded && corpus.size() < 4096)
            corpus.push_back(input);
        ++runs;
    }
    qInfo("%llu inputs in %d s, seed %llu", runs, seconds, seed);
    QVERIFY(runs > 0);
}

QTEST_GUILESS_MAIN(tst_CirraFuzz)
#include "tst_cirrafuzz.moc"
