// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Broadcast lines and device-list replies: what is routed, cached and logged.
#include "kworkarealabelsync.h"
#include "recordlogtail.h"

#include <kcloudsvrproxy.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

namespace {

CirraIpcResult reply(int state, const QByteArray &json)
{
    CirraIpcResult result;
    result.state = state;
    result.resultString = json.toStdString();
    return result;
}

// Every expected fragment appears in a later line than the one before.
void verifyLinesInOrder(const QStringList &lines, const QStringList &expected)
{
    int at = 0;
    for (const QString &fragment : expected) {
        while (at < lines.size() && !lines.at(at).contains(fragment))
            ++at;
        QVERIFY2(at < lines.size(), qPrintable(QStringLiteral("missing \"%1\" in:\n%2")
                                                   .arg(fragment, lines.join(QLatin1Char('\n')))));
        ++at;
    }
}

const QByteArray kOldList = R"({"msg":"success","data":{"devices":[
    {"device_id":"old","device_name":"Old","Tags":[{"tagId":"t0"}]}]}})";

// A cache of one device "old" with one tag.
void seedOldList(KWorkAreaLabelSync &sync)
{
    QVERIFY(sync.getSoftBussDeviceListCallBack(true, QStringLiteral("cr-1"), reply(0, kOldList)));
}

} // namespace

class tst_KWorkAreaLabelSync : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void broadcast_data();
    void broadcast();
    void deviceListReply_data();
    void deviceListReply();
    void replyWithoutRequest_data();
    void replyWithoutRequest();
    void tagOpenAnswers_data();
    void tagOpenAnswers();
};

void tst_KWorkAreaLabelSync::broadcast_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<QStringList>("logged");

    const QString myDevice = QStringLiteral(R"(act=broadcast&broadcastFromSendMyDeviceMsg={"data":"%1"})");
    QTest::newRow("prefix missing") << QStringLiteral(R"(fileLabelMessageNotice={"a":1})") << false << QStringList();
    QTest::newRow("prefix in other case") << QStringLiteral(R"(act=Broadcast&fileLabelMessageNotice={"a":1})")
                                          << false << QStringList();
    QTest::newRow("message notice") << QStringLiteral(R"(act=broadcast&fileLabelMessageNotice={"a":1})") << false
                                    << QStringList{QStringLiteral(R"(onFileLabelMessageNotice:{"a":1})")};
    QTest::newRow("part without '=' is skipped")
        << QStringLiteral(R"(act=broadcast&junk&fileLabelMessageNotice={"a":2})") << false
        << QStringList{QStringLiteral(R"(onFileLabelMessageNotice:{"a":2})")};
    QTest::newRow("value holding '='") << QStringLiteral(R"(act=broadcast&fileLabelMessageNotice={"a":"x=y"})")
                                       << false
                                       << QStringList{QStringLiteral(R"(onFileLabelMessageNotice:{"a":"x=y"})")};
    QTest::newRow("files sent to my device")
        << myDevice.arg(QLatin1String(QByteArray(R"({"files":["a.txt"]})").toBase64())) << true
        << QStringList{QStringLiteral("onFromSendMyDeviceMsg begin infoJson"),
                       QStringLiteral("onFromSendMyDeviceMsg entries:1")};
    QTest::newRow("bad json") << QStringLiteral("act=broadcast&fileLabelMessageNotice={oops") << false
                              << QStringList{QStringLiteral("onFileLabelMessageNotice:{oops"),
                                             QStringLiteral("(errorCode:"),
                                             QStringLiteral("onFileLabelMessageNotice: read json error")};
    QTest::newRow("empty value") << QStringLiteral("act=broadcast&fileLabelMessageNotice=") << false
                                 << QStringList{QStringLiteral("empty content for parsing: "),
                                                QStringLiteral("onFileLabelMessageNotice: read json error")};
    QTest::newRow("json array") << QStringLiteral("act=broadcast&fileLabelMessageNotice=[1]") << false
                                << QStringList{QStringLiteral("empty or invalid json content: [1]"),
                                               QStringLiteral("onFileLabelMessageNotice: read json error")};
    QTest::newRow("my device data not json") << myDevice.arg(QLatin1String(QByteArray("not json").toBase64()))
                                             << false
                                             << QStringList{QStringLiteral("onFromSendMyDeviceMsg loadQString error")};
    QTest::newRow("my device data empty")
        << myDevice.arg(QString()) << false << QStringList{QStringLiteral("onFromSendMyDeviceMsg")};
}

void tst_KWorkAreaLabelSync::broadcast()
{
    QFETCH(QString, line);
    QFETCH(bool, handled);
    QFETCH(QStringList, logged);

    KWorkAreaLabelSync sync;
    RecordLogTail tail;
    QCOMPARE(sync.onNotifyBroadcast(line), handled);
    const QStringList lines = tail.lines();
    verifyLinesInOrder(lines, logged);
    if (logged.isEmpty())
        QVERIFY2(lines.filter(QStringLiteral("[crossterminalpanel]")).isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
}

void tst_KWorkAreaLabelSync::deviceListReply_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("deviceIds");
    QTest::addColumn<int>("totalTags");

    const QStringList old{QStringLiteral("old")};
    QTest::newRow("success") << true << 0 << QByteArray(R"({"msg":"success","data":{"devices":[
        {"device_id":"a","device_name":"A","status":1,"register_time":5,"Tags":[{"tagId":"1"}]},
        {"device_id":"b","status":"0","Tags":[{"tagId":"2"},{"tagId":"3"}]}]}})")
                             << QStringList{QStringLiteral("a"), QStringLiteral("b")} << 3;
    QTest::newRow("tags whole, with an extra key, wrong-typed") << true << 0 << QByteArray(R"({"msg":"success","data":{
        "devices":[{"device_id":"a","Tags":[{"tagId":"u","uuid":"u","name":"n","suffix":"txt","type":"local",
        "fileId":"","ftype":"txt"},{"tagId":"v","uuid":"v","name":"n","suffix":"","type":"local","fileId":"",
        "ftype":"txt","extra":1},{"tagId":7,"name":["x"]},"not an object"]}]}})")
                                                                << QStringList{QStringLiteral("a")} << 4;
    QTest::newRow("success without devices") << true << 0 << QByteArray(R"({"msg":"success"})") << QStringList() << 0;
    QTest::newRow("entries that are not objects") << true << 0
                                                  << QByteArray(R"({"msg":"success","data":{"devices":[1,"x",
                                                       {"device_id":"a"}]}})")
                                                  << QStringList{QStringLiteral("a")} << 0;
    QTest::newRow("other msg keeps the cache")
        << true << 0 << QByteArray(R"({"msg":"failed","data":{"devices":[{"device_id":"a"}]}})") << old << 1;
    QTest::newRow("failed call keeps the cache") << false << 0 << QByteArray() << old << 1;
    QTest::newRow("service state keeps the cache") << true << 401 << QByteArray(R"({"msg":"success"})") << old << 1;
    QTest::newRow("not json keeps the cache") << true << 0 << QByteArray("garbage") << old << 1;
}

void tst_KWorkAreaLabelSync::deviceListReply()
{
    QFETCH(bool, ok);
    QFETCH(int, state);
    QFETCH(QByteArray, json);
    QFETCH(QStringList, deviceIds);
    QFETCH(int, totalTags);

    KWorkAreaLabelSync sync;
    seedOldList(sync);
    QSignalSpy counts(&sync, &KWorkAreaLabelSync::sigTotalTagsCountChanged);
    RecordLogTail tail;
    const bool success = ok && state == 0 && deviceIds != QStringList{QStringLiteral("old")};
    QCOMPARE(sync.getSoftBussDeviceListCallBack(ok, QStringLiteral("cr-2"), reply(state, json)), success);

    QStringList ids;
    const QList<KLabelSyncDevice> devices = sync.devices();
    for (const KLabelSyncDevice &d : devices)
        ids.append(d.deviceId);
    QCOMPARE(ids, deviceIds);
    QCOMPARE(sync.totalTagsCount(), totalTags);
    QCOMPARE(counts.count(), success ? 1 : 0);
    if (success) {
        QCOMPARE(counts.first().first().toInt(), totalTags);
        verifyLinesInOrder(tail.lines(), QStringList{QStringLiteral("getSoftBussDeviceListCallBack: deviceSize:")});
    } else {
        verifyLinesInOrder(tail.lines(), QStringList{QStringLiteral("getSoftBussDeviceList: errorCode: ")});
    }
    // The page object carries the fields the pages read.
    const QJsonObject data = sync.softbussDeviceAndTagsData();
    QCOMPARE(data.keys(), (QStringList{QStringLiteral("callStatus"), QStringLiteral("data"), QStringLiteral("dataType")}));
    if (!devices.isEmpty()) {
        const QJsonObject device = data.value(QStringLiteral("data")).toArray().first().toObject();
        // Every tag as the pages read it: the seven texts, whatever the service sent.
        const QStringList tagKeys{QStringLiteral("fileId"), QStringLiteral("ftype"), QStringLiteral("name"),
                                  QStringLiteral("suffix"), QStringLiteral("tagId"), QStringLiteral("type"),
                                  QStringLiteral("uuid")};
        for (const QJsonValue &tag : device.value(QStringLiteral("Tags")).toArray()) {
            QCOMPARE(tag.toObject().keys(), tagKeys);
            for (const QJsonValue &text : tag.toObject())
                QVERIFY(text.isString());
        }
    }
}

void tst_KWorkAreaLabelSync::replyWithoutRequest_data()
{
    QTest::addColumn<QByteArray>("slot");
    for (const char *slot :
         {"onRenameSoftBussDeviceCallBack", "onQueryFilesTagsCallBack", "onGetSoftBussDeviceListFromRelayTag"})
        QTest::newRow(slot) << QByteArray(slot);
}

// A reply nobody asked for changes nothing.
void tst_KWorkAreaLabelSync::replyWithoutRequest()
{
    QFETCH(QByteArray, slot);
    KWorkAreaLabelSync sync;
    seedOldList(sync);
    QSignalSpy renames(&sync, &KWorkAreaLabelSync::sigNotifyRenameResult);
    QVERIFY(QMetaObject::invokeMethod(&sync, slot.constData(), Qt::DirectConnection, Q_ARG(bool, true),
                                      Q_ARG(QString, QStringLiteral("cr-9")),
                                      Q_ARG(CirraIpcResult, reply(0, R"({"msg":"success"})"))));
    QCOMPARE(renames.count(), 0);
    QCOMPARE(sync.devices().first().deviceName, QStringLiteral("Old"));
}

void tst_KWorkAreaLabelSync::tagOpenAnswers_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("call failed") << false << 0 << QByteArray("{}");
    QTest::newRow("relay failed in the service")
        << true << 500 << QByteArray(R"({"msg":"the source device went away"})");
    QTest::newRow("not JSON") << true << 0 << QByteArray("{oops");
    QTest::newRow("no path") << true << 0 << QByteArray(R"({"msg":"success","data":{}})");
    QTest::newRow("path of a missing file")
        << true << 0 << QByteArray(R"({"msg":"success","data":{"path":"/nonexistent/a.txt"}})");
}

// One tag open in flight: a second one waits; whatever the answer, the guard opens again and the cache stays.
void tst_KWorkAreaLabelSync::tagOpenAnswers()
{
    QFETCH(bool, ok);
    QFETCH(int, state);
    QFETCH(QByteArray, text);
    KCloudSvrProxy proxy; // never connected: calls wait for it
    KWorkAreaLabelSync sync(nullptr, &proxy);
    QVERIFY(sync.getSoftBussDeviceListCallBack(
        true, QStringLiteral("cr-1"),
        reply(0, R"({"msg":"success","data":{"devices":[{"device_id":"desk","device_name":"Desk",
                 "ability_info":"sync_file_tag","version":"1.0","Tags":[{"uuid":"u1","name":"a.txt"}]}]}})")));
    RecordLogTail tail;
    QVERIFY(sync.openSoftbussDeviceTag(QStringLiteral("desk"), QStringLiteral("u1"), QString(), QStringLiteral("txt"),
                                       QStringLiteral("a.txt")));
    QVERIFY(sync.isRelaying());
    QVERIFY(!sync.openSoftbussDeviceTag(QStringLiteral("desk"), QStringLiteral("u1"), QString(), QStringLiteral("txt"),
                                        QStringLiteral("a.txt")));
    const QStringList lines = tail.lines().filter(QStringLiteral("localDocRelayHandle: requestId:"));
    QCOMPARE(lines.size(), 1);
    const QString requestId = lines.first().section(QStringLiteral("requestId:"), 1).trimmed();
    QVERIFY(!sync.onQueryFilesTagsCallBack(ok, requestId, reply(state, text)));
    QVERIFY(!sync.isRelaying());
    QCOMPARE(sync.devices().size(), 1);
    // A second answer for the same request finds nothing.
    QVERIFY(!sync.onQueryFilesTagsCallBack(true, requestId, reply(0, R"({"msg":"success"})")));
}

QTEST_GUILESS_MAIN(tst_KWorkAreaLabelSync)
#include "tst_kworkarealabelsync.moc"
