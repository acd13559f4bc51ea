// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// Built without exceptions on purpose: it also proves that the record header
// is usable from the plug-in's exception-free code.
#include "cirrasamples.h"
#include "cirrawire.h"

#include <kcirracodec.h>
#include <kcirrarecords.h>

#include <QtTest>

using namespace qoz::cirra;
using W = CirraWire;

using RecordCheck = std::function<bool(const KCirraRecord &)>;
Q_DECLARE_METATYPE(RecordCheck)
Q_DECLARE_METATYPE(KCirraCodec::Status)

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

} // namespace

class tst_KCirraCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void defaultCirraIpcArgBytes();
    void readFailure_data();
    void readFailure();
    void fieldFlags_data();
    void fieldFlags();
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
    // A default record writes every field, and reading it back satisfies every required one.
    std::vector<int> expected(size_t(sample.fieldCount));
    std::iota(expected.begin(), expected.end(), 1);
    QCOMPARE(cirraFieldIds(encoded(empty)), expected);
    QVERIFY(KCirraCodec::decode(encoded(empty), decoded.base()));
}

void tst_KCirraCodec::defaultCirraIpcArgBytes()
{
    const std::string expected = W().field(W::String, 1).str("").field(W::String, 2).str("")
                                     .raw(emptyMap(3).bytes).stop().bytes;
    QCOMPARE(encoded(KCirraRecord::make(CirraIpcArg())), expected);
}

void tst_KCirraCodec::readFailure_data()
{
    QTest::addColumn<QByteArray>("typeName");
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("recursionLimit");
    QTest::addColumn<KCirraCodec::Status>("status");
    QTest::addColumn<int>("code");

    using S = KCirraCodec::Status;
    const W resultHead = W().field(W::I32, 1).i32(0).raw(emptyMap(2).bytes);
    const std::string fileInfo = encoded(sampleOf("GetCloudFileInfoResult"));

    const auto row = [](const char *name, const char *type, const std::string &bytes, S status, int code, int limit = 0) {
        QTest::newRow(name) << QByteArray(type) << bytes << limit << status << code;
    };
    row("CirraIpcResult without resultList", "CirraIpcResult", W(resultHead).field(W::String, 4).str("").stop().bytes,
        S::Protocol, 1);
    row("required field with the wrong type", "CirraIpcResult",
        W().field(W::String, 1).str("0").raw(emptyMap(2).bytes).field(W::List, 3).list(W::String, 0)
            .field(W::String, 4).str("").stop().bytes,
        S::Protocol, 1);
    row("GetStorageInfoResult without totalSize", "GetStorageInfoResult",
        W().field(W::I32, 1).i32(0).field(W::String, 2).str("u").field(W::I64, 3).i64(1).stop().bytes, S::Protocol, 1);
    row("nested UserAcl without bSecret", "GetCloudFileInfoResult", fileInfoResult(11), S::Protocol, 1);
    row("NotifyOpenCloudLocationActionArg without fields", "NotifyOpenCloudLocationActionArg", W().stop().bytes,
        S::Protocol, 1);
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
    row("invalid type code in a map header", "CirraIpcArg", W().field(W::Map, 3).map(0x40, W::String, 1).stop().bytes,
        S::Protocol, 1);
    row("list of stop elements", "CirraIpcResult", W(resultHead).field(W::List, 3).list(0, 60000).stop().bytes,
        S::Protocol, 1);
    row("invalid type code nested in a skipped struct", "CirraIpcArg",
        W().field(W::Struct, 77).field(-3, 1).stop().stop().bytes, S::Protocol, 1);
    row("empty input", "CirraIpcArg", std::string(), S::Transport, 3);
}

void tst_KCirraCodec::readFailure()
{
    QFETCH(QByteArray, typeName);
    QFETCH(std::string, bytes);
    QFETCH(int, recursionLimit);
    QFETCH(KCirraCodec::Status, status);
    QFETCH(int, code);

    KCirraRecord record = KCirraRecords::create(typeName);
    const KCirraCodec::Result result =
        KCirraCodec::decode(bytes.data(), bytes.size(), record.base(), uint32_t(recursionLimit));
    QCOMPARE(result.status, status);
    QCOMPARE(result.code, code);
}

void tst_KCirraCodec::fieldFlags_data()
{
    QTest::addColumn<QByteArray>("typeName");
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<RecordCheck>("check");

    QTest::newRow("known id with the wrong type is skipped")
        << QByteArray("CirraIpcArg")
        << W().field(W::String, 1).str("ns").field(W::I32, 2).i32(5).raw(emptyMap(3).bytes)
               .stop().bytes
        << RecordCheck([](const KCirraRecord &r) {
               const auto *a = r.as<CirraIpcArg>();
               return a->nameSpace == "ns" && a->__isset.nameSpace && !a->__isset.method
                      && a->method.empty() && a->__isset.argMap;
           });
    QTest::newRow("nested struct sent as a string is skipped")
        << QByteArray("CloudItem")
        << W().field(W::String, 17).str("acl").field(W::String, 5).str("n").stop().bytes
        << RecordCheck([](const KCirraRecord &r) {
               const auto *item = r.as<CloudItem>();
               return !item->__isset.userAcl && item->__isset.name && item->name == "n"
                      && !item->userAcl.bRead;
           });
    QTest::newRow("map sent as a list is skipped")
        << QByteArray("GetStorageInfoArg")
        << W().field(W::String, 1).str("u").field(W::List, 2).list(W::String, 1).str("x")
               .stop().bytes
        << RecordCheck([](const KCirraRecord &r) {
               const auto *a = r.as<GetStorageInfoArg>();
               return a->__isset.userId && !a->__isset.extraParam && a->extraParam.empty();
           });
    QTest::newRow("unknown id is skipped")
        << QByteArray("CirraIpcArg")
        << W().field(W::Map, 99).map(W::I32, W::Struct, 1).i32(1).stop().field(W::String, 2)
               .str("m").stop().bytes
        << RecordCheck([](const KCirraRecord &r) {
               const auto *a = r.as<CirraIpcArg>();
               return a->method == "m" && a->__isset.method && !a->__isset.nameSpace;
           });
    // The stock generator gives required fields no flag; ours sets it on read.
    QTest::newRow("required fields get their flags")
        << QByteArray("CirraIpcResult") << encoded(sampleOf("CirraIpcResult"))
        << RecordCheck([](const KCirraRecord &r) {
               const auto *a = r.as<CirraIpcResult>();
               return a->__isset.state && a->__isset.resultMap && a->__isset.resultList
                      && a->__isset.resultString;
           });
    QTest::newRow("required and default fields of one record")
        << QByteArray("GetStorageInfoResult")
        << W().field(W::I32, 1).i32(0).field(W::String, 2).str("u").field(W::I64, 3).i64(1)
               .field(W::I64, 4).i64(2).stop().bytes
        << RecordCheck([](const KCirraRecord &r) {
               const auto *a = r.as<GetStorageInfoResult>();
               return a->__isset.state && a->__isset.userId && a->__isset.usedSize
                      && a->__isset.totalSize && !a->__isset.extraParam && a->totalSize == 2;
           });
}

void tst_KCirraCodec::fieldFlags()
{
    QFETCH(QByteArray, typeName);
    QFETCH(std::string, bytes);
    QFETCH(RecordCheck, check);

    KCirraRecord record = KCirraRecords::create(typeName);
    const KCirraCodec::Result result = KCirraCodec::decode(bytes, record.base());
    QVERIFY2(result, qPrintable(result.message));
    QVERIFY(check(record));
}

QTEST_GUILESS_MAIN(tst_KCirraCodec)
#include "tst_kcirracodec.moc"
