// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// SoftBus records: text forms, decode failures, page forms and envelopes.
#include "communicationcontent.h"
#include "data/deviceinfo.h"
#include "ksoftbuspage.h"
#include "protocol/deviceinfolist.h"
#include "protocol/deviceresponse.h"
#include "protocol/discoverserviceinforesult.h"
#include "protocol/kfiletaskinfo.h"
#include "protocol/kmsg.h"
#include "protocol/lastmodifiedtime.h"
#include "protocol/noticestatus.h"
#include "softbusdispatch.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>

using namespace SoftBus;
using namespace SoftBus::Protocol;
using Internal::CommunicationContent;

// Decodes a text form and writes the record again ("" when it does not decode).
using Reader = std::function<QString(const QString &)>;
Q_DECLARE_METATYPE(Reader)

namespace {

template<class T>
Reader reader()
{
    return [](const QString &text) {
        T record;
        return recordFromText(text, &record) ? recordToText(record) : QString();
    };
}

// The content reads QJsonDocument's text and writes it again with its own writer.
Reader contentReader()
{
    return [](const QString &text) {
        CommunicationContent content;
        return recordFromText(text, &content) ? QString::fromUtf8(content.toText()) : QString();
    };
}

QString documentText(const CommunicationContent &content)
{
    return QString::fromUtf8(QJsonDocument(content.toJson()).toJson(QJsonDocument::Compact));
}

Device device(const QString &id)
{
    return {QStringLiteral("qoz-office"), QStringLiteral("alice"), id, QStringLiteral("Desk ") + id};
}

DeviceInfo fullDevice()
{
    DeviceInfo d;
    d.identify = device(QStringLiteral("d1"));
    d.clientVersion = QStringLiteral("1.2");
    d.clientChannel = QStringLiteral("beta");
    d.clientType = QStringLiteral("zelvashell");
    d.osType = QStringLiteral("linux");
    d.osLevel = QStringLiteral("6");
    d.osBrand = QStringLiteral("debian");
    d.netType = QStringLiteral("lan");
    d.ip = QStringLiteral("10.0.0.2");
    d.ports = {80, -1, 65535};
    d.status = 1;
    d.registerTime = 9007199254740992ull;
    d.lastModifiedTime = 1700000000123ull;
    d.abilities = QStringList{QStringLiteral("relay"), QStringLiteral("label")};
    d.ext = QStringLiteral("PC");
    return d;
}

} // namespace

class tst_SoftBusRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void badText_data();
    void badText();
    void devicePageForm();
    void pageAnswer_data();
    void pageAnswer();
};

void tst_SoftBusRecords::roundTrip_data()
{
    QTest::addColumn<Reader>("read");
    QTest::addColumn<QString>("text");

    CommunicationContent content;
    content.cobId = std::numeric_limits<qint64>::min();
    content.operation = {7, -3};
    content.data = QStringLiteral("{\"a\":\"&=\"}");
    content.isLast = true;
    content.status = -9;
    QTest::newRow("content, every field, int64 extreme") << contentReader() << documentText(content);
    QTest::newRow("content, null data stays null") << contentReader() << documentText(CommunicationContent());
    content.data = QLatin1String("");
    QTest::newRow("content, empty data stays empty") << contentReader() << documentText(content);
    content.data = QStringLiteral("\"\\/\b\f\n\r\t\x01\x1f\x7f ü \U0001F600 ") + QChar(0xdfff) + QChar(0xd800);
    QTest::newRow("content, escapes, UTF-8 and lone surrogates") << contentReader() << documentText(content);

    DeviceResponse<DeviceInfoList> list;
    list.code = 404;
    list.msg = QStringLiteral("ünïcode");
    list.data.devices = {fullDevice(), DeviceInfo()};
    QTest::newRow("device list response") << reader<DeviceResponse<DeviceInfoList>>() << recordToText(list);
    QTest::newRow("last modified time, 2^53") << reader<DeviceResponse<LastModifiedTime>>()
                                              << recordToText(DeviceResponse<LastModifiedTime>{0, {}, {9007199254740992ull}});
    QTest::newRow("message") << reader<KMsg>()
                             << recordToText(KMsg{QStringLiteral("m1"), device(QStringLiteral("d2")), QStringLiteral("relay"),
                                                  QStringLiteral("x"), 12});
    QTest::newRow("notice") << reader<NoticeStatus>()
                            << recordToText(NoticeStatus{device(QStringLiteral("d3")), 0, QStringLiteral("offline"), 5});
    QTest::newRow("file task") << reader<KFileTaskInfo>()
                               << recordToText(KFileTaskInfo{
                                      QStringLiteral("t"), QStringLiteral("o"), QStringLiteral("f.txt"), 100, 40, 4,
                                      true, device(QStringLiteral("d4")), QStringLiteral("file_missing")});
    QTest::newRow("discovered service") << reader<DiscoverServiceInfoResult>()
                                        << recordToText(DiscoverServiceInfoResult{QStringLiteral("qoz_softbus_service_discovery"),
                                                                                  device(QStringLiteral("d5")), QStringLiteral("{}"), 1});
}

void tst_SoftBusRecords::roundTrip()
{
    QFETCH(Reader, read);
    QFETCH(QString, text);
    QCOMPARE(read(text), text);
}

void tst_SoftBusRecords::badText_data()
{
    QTest::addColumn<Reader>("read");
    QTest::addColumn<QString>("text");

    const Reader content = reader<CommunicationContent>();
    const Reader devices = reader<DeviceResponse<DeviceInfoList>>();
    QTest::newRow("not JSON") << content << QStringLiteral("cobId=1");
    QTest::newRow("empty text") << content << QString();
    QTest::newRow("array, not object") << content << QStringLiteral("[]");
    QTest::newRow("cobId not a number") << content << QStringLiteral(R"({"cobId":"12x"})");
    QTest::newRow("cobId fraction") << content << QStringLiteral(R"({"cobId":1.5})");
    QTest::newRow("action beyond int32") << content << QStringLiteral(R"({"operation":{"ability":1,"action":2147483648}})");
    QTest::newRow("operation not an object") << content << QStringLiteral(R"({"operation":"1,3"})");
    QTest::newRow("data a number") << content << QStringLiteral(R"({"data":5})");
    QTest::newRow("isLast a string") << content << QStringLiteral(R"({"isLast":"true"})");
    QTest::newRow("negative time") << devices << QStringLiteral(R"({"data":{"devices":[{"register_time":-1}]}})");
    QTest::newRow("port a string") << devices << QStringLiteral(R"({"data":{"devices":[{"net_info":{"ports":["80"]}}]}})");
    QTest::newRow("device not an object") << devices << QStringLiteral(R"({"data":{"devices":[7]}})");
    QTest::newRow("nested identify wrong") << devices
                                           << QStringLiteral(R"({"data":{"devices":[{"identify_info":{"device_id":3}}]}})");
}

void tst_SoftBusRecords::badText()
{
    QFETCH(Reader, read);
    QFETCH(QString, text);
    QCOMPARE(read(text), QString());
}

void tst_SoftBusRecords::devicePageForm()
{
    DeviceInfo info = fullDevice();
    info.ports.clear();
    const QJsonObject page = Business::Data::DeviceInfo(info, true).toPage();
    QCOMPARE(page.keys(), (QStringList{QStringLiteral("client_info"), QStringLiteral("identify_info"),
                                      QStringLiteral("last_modified_time"), QStringLiteral("local"),
                                      QStringLiteral("net_info"), QStringLiteral("os_info"),
                                      QStringLiteral("register_time"), QStringLiteral("status")}));
    QCOMPARE(page.value(QStringLiteral("net_info")).toObject().value(QStringLiteral("ports")).toArray(), QJsonArray());
    QCOMPARE(page.value(QStringLiteral("identify_info")).toObject().keys(),
             (QStringList{QStringLiteral("app_id"), QStringLiteral("device_id"), QStringLiteral("device_name"),
                          QStringLiteral("user_id")}));
    QCOMPARE(page.value(QStringLiteral("local")), QJsonValue(true));
    QCOMPARE(page.value(QStringLiteral("os_info")).toObject().value(QStringLiteral("brand")).toString(),
             QStringLiteral("debian"));

    // A page's device keys: any value read as text, absent keys empty.
    const auto identify = Business::Data::DeviceIdentify::fromPage(
        {{QStringLiteral("device_id"), 42}, {QStringLiteral("app_id"), QStringLiteral("a")}});
    QCOMPARE(identify.toPage(), (QJsonObject{{QStringLiteral("app_id"), QStringLiteral("a")},
                                             {QStringLiteral("user_id"), QString()},
                                             {QStringLiteral("device_id"), QStringLiteral("42")},
                                             {QStringLiteral("device_name"), QString()}}));
}

void tst_SoftBusRecords::pageAnswer_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QString>("answer");

    QTest::newRow("success, object") << 0 << QVariant(QVariantMap{{QStringLiteral("online"), true}})
                                     << QStringLiteral(R"({"code":0,"data":{"online":true},"success":true})");
    QTest::newRow("success, array") << 0 << QVariant(QVariantList{1, 2})
                                    << QStringLiteral(R"({"code":0,"data":[1,2],"success":true})");
    QTest::newRow("scalar flag") << 0 << QVariant(false) << QStringLiteral(R"({"code":0,"data":false,"success":true})");
    QTest::newRow("bad argument, no data") << 3 << QVariant() << QStringLiteral(R"({"code":3,"data":null,"success":false})");
    QTest::newRow("IPC failure") << 0x01000005 << QVariant(QStringLiteral("x"))
                                 << QStringLiteral(R"({"code":16777221,"data":"x","success":false})");
}

void tst_SoftBusRecords::pageAnswer()
{
    QFETCH(int, code);
    QFETCH(QVariant, data);
    QFETCH(QString, answer);
    using Business::KSoftBusPage;
    QCOMPARE(QString::fromUtf8(QJsonDocument(KSoftBusPage::answer(code, data)).toJson(QJsonDocument::Compact)), answer);
    // Events carry the same, "code" only where asked for.
    QCOMPARE(KSoftBusPage::event(code, QJsonValue::fromVariant(data), true), KSoftBusPage::answer(code, data));
    QJsonObject withoutCode = QJsonDocument::fromJson(answer.toUtf8()).object();
    withoutCode.remove(QStringLiteral("code"));
    QCOMPARE(KSoftBusPage::event(code, QJsonValue::fromVariant(data), false), withoutCode);
}

QTEST_GUILESS_MAIN(tst_SoftBusRecords)
#include "tst_softbusrecords.moc"
