// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// Records, frames and the frame reader.
// Built without exceptions on purpose: it also proves that the record header
// is usable from the plug-in's exception-free code.
#include "cirrasamples.h"
#include "cirrawire.h"

#include <kcirracodec.h>
#include <kcirraframereader.h>
#include <kcirrarecords.h>

#include <QtTest>

using namespace qoz::cirra;
using W = CirraWire;

using RecordCheck = std::function<bool(const KCirraRecord &)>;
Q_DECLARE_METATYPE(RecordCheck)
Q_DECLARE_METATYPE(KCirraCodec::Status)
Q_DECLARE_METATYPE(KCirraFrameReader::Status)

namespace {

W emptyMap(int16_t id)
{
    return W().field(W::Map, id).map(W::String, W::String, 0);
}

// A GetCloudFileInfoResult whose nested UserAcl carries only `aclFields` bools.
std::string fileInfoResult(int aclFields)
{
    W acl;
    for (int id = 1; id <= aclFields; ++id)
        acl.field(W::Bool, int16_t(id)).boolean(true);
    acl.stop();
    return W().field(W::I32, 1).i32(0)
        .field(W::Struct, 2).field(W::Struct, 17).raw(acl.bytes).stop()
        .field(W::String, 3).str("p").field(W::String, 4).str("i").stop().bytes;
}

std::string nestedUnknownStruct(int depth)
{
    W w;
    w.field(W::String, 1).str("ns");
    for (int i = 0; i < depth; ++i)
        w.field(W::Struct, 99);
    for (int i = 0; i < depth; ++i)
        w.stop();
    return w.stop().bytes;
}

std::string encoded(const KCirraRecord &record)
{
    std::string bytes;
    KCirraCodec::encode(*record.base(), &bytes);
    return bytes;
}

KCirraRecord sampleOf(const char *typeName)
{
    for (const CirraSample &s : cirraSamples()) {
        if (qstrcmp(s.typeName, typeName) == 0)
            return s.record;
    }
    return KCirraRecord();
}

CirraFrame callFrame(const std::string &requestId)
{
    CirraIpcArg arg;
    arg.method = "showTransferHelperDlg";
    arg.argMap = {{"src", "crossterminalpanel"}};
    CirraFrame frame;
    frame.__set_call(CirraCall());
    frame.call.requestId = requestId;
    frame.call.functionName = "cirraIpcCall";
    frame.call.recordType = "CirraIpcArg";
    KCirraCodec::encode(arg, &frame.call.record);
    return frame;
}

// A check of a decoded record of type T.
template<class T>
RecordCheck checkOf(bool (*check)(const T &))
{
    return [check](const KCirraRecord &r) { return check(*r.as<T>()); };
}

QByteArray prefix(quint32 size)
{
    QByteArray p(4, '\0');
    qToBigEndian(size, reinterpret_cast<uchar *>(p.data()));
    return p;
}

} // namespace

class tst_KCirraCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void defaultCirraIpcArgBytes();
    void decode_data();
    void decode();
    void envelope_data();
    void envelope();
    void splitAnywhere();
    void reader_data();
    void reader();
};

void tst_KCirraCodec::roundTrip_data()
{
    QTest::addColumn<int>("index");
    const auto samples = cirraSamples();
    for (int i = 0; i < int(samples.size()); ++i)
        QTest::newRow(samples[size_t(i)].typeName) << i;
}

void tst_KCirraCodec::roundTrip()
{
    QFETCH(int, index);
    const CirraSample sample = cirraSamples()[size_t(index)];

    std::string bytes;
    QVERIFY(KCirraCodec::encode(*sample.record.base(), &bytes));
    KCirraRecord decoded = KCirraRecords::create(sample.typeName);
    QVERIFY(!decoded.isNull());
    const KCirraCodec::Result result = KCirraCodec::decode(bytes, decoded.base());
    QVERIFY2(result, qPrintable(result.message));
    QVERIFY(sample.equal(sample.record, decoded));
    QCOMPARE(encoded(decoded), bytes);
    // A default record must differ, or the sample does not exercise anything.
    const KCirraRecord empty = KCirraRecords::create(sample.typeName);
    QVERIFY(!sample.equal(sample.record, empty));
    // That a default record writes every field and satisfies every required
    // one on reading is test_cirra_interop's, read by another runtime.
}

void tst_KCirraCodec::defaultCirraIpcArgBytes()
{
    const std::string expected = W().field(W::String, 1).str("").field(W::String, 2).str("")
                                     .raw(emptyMap(3).bytes).stop().bytes;
    QCOMPARE(encoded(KCirraRecord::make(CirraIpcArg())), expected);
}

// Failures with their status and Thrift code; what decodes is checked field by field.
void tst_KCirraCodec::decode_data()
{
    QTest::addColumn<QByteArray>("typeName");
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("recursionLimit");
    QTest::addColumn<KCirraCodec::Status>("status");
    QTest::addColumn<int>("code");
    QTest::addColumn<RecordCheck>("check");

    using S = KCirraCodec::Status;
    const W resultHead = W().field(W::I32, 1).i32(0).raw(emptyMap(2).bytes);
    const std::string fileInfo = encoded(sampleOf("GetCloudFileInfoResult"));

    const auto row = [](const char *name, const char *type, const std::string &bytes, S status, int code,
                        int limit = 0) {
        QTest::newRow(name) << QByteArray(type) << bytes << limit << status << code << RecordCheck();
    };
    row("CirraIpcResult without resultList", "CirraIpcResult", W(resultHead).field(W::String, 4).str("").stop().bytes,
        S::Protocol, 1);
    row("required field with the wrong type", "CirraIpcResult",
        W().field(W::String, 1).str("0").raw(emptyMap(2).bytes).field(W::List, 3).list(W::String, 0)
            .field(W::String, 4).str("").stop().bytes,
        S::Protocol, 1);
    row("nested UserAcl without bSecret", "GetCloudFileInfoResult", fileInfoResult(11), S::Protocol, 1);
    row("nesting over the recursion limit", "GetCloudFileInfoResult", fileInfo, S::Protocol, 6, 2);
    row("nesting at the recursion limit", "GetCloudFileInfoResult", fileInfo, S::Ok, -1, 3);
    row("unknown struct nested 80 deep", "CirraIpcArg", nestedUnknownStruct(80), S::Protocol, 6);
    row("unknown struct nested 50 deep is skipped", "CirraIpcArg", nestedUnknownStruct(50), S::Ok, -1);
    row("string length over the limit", "CirraIpcArg", W().field(W::String, 1).i32(0x7fffffff).stop().bytes,
        S::Protocol, 3);
    row("negative string length", "CirraIpcArg", W().field(W::String, 1).i32(-5).stop().bytes, S::Protocol, 2);
    row("map over the container limit", "CirraIpcArg",
        W().field(W::Map, 3).map(W::String, W::String, 70000).stop().bytes, S::Protocol, 3);
    row("list claims more elements than bytes", "CirraIpcResult",
        W(resultHead).field(W::List, 3).list(W::String, 60000).stop().bytes, S::Transport, 3);
    row("truncated record", "GetCloudFileInfoResult", fileInfo.substr(0, fileInfo.size() / 2), S::Transport, 3);
    row("trailing bytes", "CirraIpcArg", encoded(sampleOf("CirraIpcArg")) + "x", S::Protocol, 1);
    row("invalid field type", "CirraIpcArg", W().field(0x7f, 50).i32(1).stop().bytes, S::Protocol, 1);
    row("invalid type code nested in a skipped struct", "CirraIpcArg",
        W().field(W::Struct, 77).field(-3, 1).stop().stop().bytes, S::Protocol, 1);
    row("empty input", "CirraIpcArg", std::string(), S::Transport, 3);

    const auto decoded = [](const char *name, const char *type, const std::string &bytes, const RecordCheck &check) {
        QTest::newRow(name) << QByteArray(type) << bytes << 0 << S::Ok << -1 << check;
    };
    decoded("known id with the wrong type is skipped", "CirraIpcArg",
            W().field(W::String, 1).str("ns").field(W::I32, 2).i32(5).raw(emptyMap(3).bytes).stop().bytes,
            checkOf<CirraIpcArg>([](const CirraIpcArg &a) {
                return a.nameSpace == "ns" && a.__isset.nameSpace && !a.__isset.method && a.method.empty()
                       && a.__isset.argMap;
            }));
    decoded("nested struct sent as a string is skipped", "CloudItem",
            W().field(W::String, 17).str("acl").field(W::String, 5).str("n").stop().bytes,
            checkOf<CloudItem>([](const CloudItem &item) {
                return !item.__isset.userAcl && item.__isset.name && item.name == "n" && !item.userAcl.bRead;
            }));
    decoded("map sent as a list is skipped", "GetStorageInfoArg",
            W().field(W::String, 1).str("u").field(W::List, 2).list(W::String, 1).str("x").stop().bytes,
            checkOf<GetStorageInfoArg>([](const GetStorageInfoArg &a) {
                return a.__isset.userId && !a.__isset.extraParam && a.extraParam.empty();
            }));
    decoded("unknown id is skipped", "CirraIpcArg",
            W().field(W::Map, 99).map(W::I32, W::Struct, 1).i32(1).stop().field(W::String, 2).str("m").stop().bytes,
            checkOf<CirraIpcArg>(
                [](const CirraIpcArg &a) { return a.method == "m" && a.__isset.method && !a.__isset.nameSpace; }));
    // The stock generator gives required fields no flag; ours sets it on read.
    decoded("required fields get their flags", "CirraIpcResult", encoded(sampleOf("CirraIpcResult")),
            checkOf<CirraIpcResult>([](const CirraIpcResult &a) {
                return a.__isset.state && a.__isset.resultMap && a.__isset.resultList && a.__isset.resultString;
            }));
    decoded("required and default fields of one record", "GetStorageInfoResult",
            W().field(W::I32, 1)
                .i32(0)
                .field(W::String, 2)
                .str("u")
                .field(W::I64, 3)
                .i64(1)
                .field(W::I64, 4)
                .i64(2)
                .stop()
                .bytes,
            checkOf<GetStorageInfoResult>([](const GetStorageInfoResult &a) {
                return a.__isset.state && a.__isset.userId && a.__isset.usedSize && a.__isset.totalSize
                       && !a.__isset.extraParam && a.totalSize == 2;
            }));
}

void tst_KCirraCodec::decode()
{
    QFETCH(QByteArray, typeName);
    QFETCH(std::string, bytes);
    QFETCH(int, recursionLimit);
    QFETCH(KCirraCodec::Status, status);
    QFETCH(int, code);
    QFETCH(RecordCheck, check);

    KCirraRecord record = KCirraRecords::create(typeName);
    const KCirraCodec::Result result =
        KCirraCodec::decode(bytes.data(), bytes.size(), record.base(), uint32_t(recursionLimit));
    QCOMPARE(result.status, status);
    QCOMPARE(result.code, code);
    if (check)
        QVERIFY(check(record));
}

void tst_KCirraCodec::envelope_data()
{
    QTest::addColumn<std::string>("payload");
    QTest::addColumn<bool>("accepted");

    CirraFrame hello;
    hello.__set_hello(CirraHello());
    hello.hello.userId = "alice";
    hello.hello.abilities = {"relay", "label"};
    CirraFrame reply;
    reply.__set_reply(CirraReply());
    reply.reply.ok = true;
    reply.reply.record = std::string("\0\1\2", 3);
    CirraFrame event;
    event.__set_event(CirraEvent());
    event.event.signalName = "broadcast";
    CirraFrame two = callFrame("1");
    two.__set_event(CirraEvent());

    std::string bytes;
    for (const auto &[name, frame, ok] :
         {std::make_tuple("hello", hello, true), std::make_tuple("call", callFrame("7"), true),
          std::make_tuple("reply", reply, true), std::make_tuple("event", event, true),
          std::make_tuple("two members", two, false), std::make_tuple("no member", CirraFrame(), false)}) {
        KCirraCodec::encode(frame, &bytes);
        QTest::newRow(name) << bytes << ok;
    }
    QTest::newRow("member of the wrong type")
        << W().field(W::String, 2).str("call").stop().bytes << false;
}

void tst_KCirraCodec::envelope()
{
    QFETCH(std::string, payload);
    QFETCH(bool, accepted);

    CirraFrame frame;
    const KCirraCodec::Result result = KCirraCodec::decodeFrame(payload.data(), payload.size(), &frame);
    QCOMPARE(bool(result), accepted);
    if (accepted) {
        std::string again;
        QVERIFY(KCirraCodec::encode(frame, &again));
        QCOMPARE(again, payload);
    }
}

// Every way of cutting two frames into two chunks yields the same two frames.
void tst_KCirraCodec::splitAnywhere()
{
    const QByteArray stream = cirraFrameBytes(callFrame("first")) + cirraFrameBytes(callFrame("second"));
    for (int cut = 0; cut <= stream.size(); ++cut) {
        KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
        QStringList ids;
        CirraFrame frame;
        for (const QByteArray &chunk : {stream.left(cut), stream.mid(cut)}) {
            reader.append(chunk);
            while (reader.nextFrame(&frame) == KCirraFrameReader::Status::Frame)
                ids.append(QString::fromStdString(frame.call.requestId));
        }
        QCOMPARE(ids, QStringList({QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(reader.pendingBytes(), 0);
    }
}

void tst_KCirraCodec::reader_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<KCirraFrameReader::Status>("status");
    QTest::addColumn<int>("pending");

    using S = KCirraFrameReader::Status;
    const QByteArray frame = cirraFrameBytes(callFrame("x"));
    QTest::newRow("4 GiB length is refused before its payload arrives")
        << prefix(0xffffffffu) << S::Error << 0;
    QTest::newRow("one byte over the cap") << prefix(KCirraCodec::kMaxFrameSize + 1) << S::Error << 0;
    QTest::newRow("exactly the cap waits for the payload")
        << prefix(KCirraCodec::kMaxFrameSize) << S::NeedMore << 4;
    QTest::newRow("zero length") << prefix(0) << S::Error << 0;
    QTest::newRow("partial prefix") << QByteArray("\0\0", 2) << S::NeedMore << 2;
    QTest::newRow("truncated frame") << frame.left(frame.size() - 1) << S::NeedMore << frame.size() - 1;
    QTest::newRow("whole frame") << frame << S::Frame << 0;
}

void tst_KCirraCodec::reader()
{
    QFETCH(QByteArray, input);
    QFETCH(KCirraFrameReader::Status, status);
    QFETCH(int, pending);

    KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
    reader.append(input);
    CirraFrame frame;
    QCOMPARE(reader.nextFrame(&frame), status);
    QCOMPARE(reader.pendingBytes(), pending);
    QCOMPARE(reader.hasError(), status == KCirraFrameReader::Status::Error);
    if (status == KCirraFrameReader::Status::Error) {
        // Final: nothing more is accepted after an error.
        reader.append(cirraFrameBytes(callFrame("late")));
        QCOMPARE(reader.nextFrame(&frame), KCirraFrameReader::Status::Error);
    }
}

QTEST_GUILESS_MAIN(tst_KCirraCodec)
#include "tst_kcirracodec.moc"
