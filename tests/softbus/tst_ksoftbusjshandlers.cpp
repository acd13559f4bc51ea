// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The SoftBus page handlers through the page-API dispatcher against a real
// cirrad: answers and their envelopes, bad arguments (code 3, cirrad not
// asked), a handler gone before its answer.
#include "kcirradprocess.h"
#include "kcommunicatorjshandler.h"
#include "kdevicejshandler.h"
#include "softbusexport.h"

#include <kcloudsvrproxy.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewjsanswer.h>
#include <kzelvaapplication.h>

#include <QtTest>

using namespace SoftBus::Business::JsApiHander;

class tst_KSoftBusJsHandlers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pageCalls_data();
    void pageCalls();
    void handlerGoneBeforeItsAnswer();

private:
    int softBusCalls()
    {
        return m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("requestSoftBusCommunicator")).size();
    }

    KCirradProcess m_cirrad;
    KxWebViewAsynJSObject m_page;
};

void tst_KSoftBusJsHandlers::initTestCase()
{
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("alice");
    info.deviceId = QStringLiteral("dev-1");
    info.deviceName = QStringLiteral("Desk");
    info.appName = QStringLiteral("tst_ksoftbusjshandlers");
    zelvaApp->cloudSvrProxy()->setClientInfo(info);
    QVERIFY(m_cirrad.start());
    QTRY_VERIFY_WITH_TIMEOUT(zelvaApp->cloudSvrProxy()->isConnected(), 10000);
    QVERIFY(m_page.registerHandler(QStringLiteral("softbus.communicator"), new KCommunicatorJSHandler(this, &m_page)));
    QVERIFY(m_page.registerHandler(QStringLiteral("softbus.device"), new KDeviceJSHandler(this, &m_page)));
}

void tst_KSoftBusJsHandlers::pageCalls_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QJsonObject>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("data"); // a key path whose value is checked: "key=value", or empty

    const auto row = [](const char *name, const char *handler, const char *method, const QString &args, int code,
                        const char *data = "") {
        QTest::newRow(name) << QString::fromLatin1(handler) << QString::fromLatin1(method)
                            << QJsonDocument::fromJson(args.toUtf8()).object() << code << QString::fromLatin1(data);
    };
    const auto json = [](const char *text) { return QString::fromLatin1(text); };
    QString deep = json(R"({"x":1})");
    for (int i = 0; i < 12; ++i)
        deep = json(R"({"x":%1})").arg(deep);
    const QString big(100 * 1024, QLatin1Char('m'));
    const QString owner4k(4096, QLatin1Char('o'));
    const char *bus = "softbus.communicator";
    const char *dev = "softbus.device";

    row("online", bus, "isDeviceOnline", json("{}"), 0, "=true");
    row("list, status missing", bus, "getDeviceInfoList", json("{}"), 0, "code=0");
    row("list, status a string", bus, "getDeviceInfoList", json(R"({"deviceStatus":"1"})"), 3);
    row("list, status a fraction", bus, "getDeviceInfoList", json(R"({"deviceStatus":0.5})"), 3);
    row("current device", bus, "getCurrentDeviceInfo", json("{}"), 0, "msg=success");
    row("device (decoded nowhere)", bus, "getDeviceInfo", json(R"({"device":{"device_id":"dev-1"}})"), 3);
    row("message to itself", bus, "sendMsg",
        json(R"({"req":{"to":{"device_id":"dev-1"},"action":"chat","content":"hi"}})"), 0, "msg=queued");
    row("message, req missing", bus, "sendMsg", json("{}"), 3);
    row("message, req a string", bus, "sendMsg", json(R"({"req":"hi"})"), 3);
    row("message, no target", bus, "sendMsg", json(R"({"req":{"content":"hi"}})"), 3);
    // Within the bridge's limits but past the handler's content cap.
    row("message, 100 KiB", bus, "sendMsg", json(R"({"req":{"to":{"device_id":"dev-1"},"content":"%1"}})").arg(big),
        3);
    row("message, nested deep", bus, "sendMsg", json(R"({"req":%1})").arg(deep), 3);
    row("ability", bus, "appendDeviceAbility", json(R"({"ability":{"ability":"relay"}})"), 0, "code=0");
    row("ability, no name", bus, "appendDeviceAbility", json(R"({"ability":{}})"), 3);
    row("file tasks, owner empty", bus, "listenFileTaskInfo", json(R"({"action":""})"), 3);
    row("file tasks, owner 4 KiB", bus, "listenFileTaskInfo", json(R"({"action":"%1"})").arg(owner4k), 3);
    row("file tasks, owner a number", bus, "listenFileTaskInfo", json(R"({"action":5})"), 3);
    row("pause unknown owner", bus, "pauseTaskByOwnerId", json(R"({"ownerId":"nobody"})"), 0);
    row("cancel, owner missing", bus, "cancelTaskByOwnerId", json("{}"), 3);
    row("discovery listen", bus, "listenDiscoverServiceSearch", json(R"({"serviceName":"svc"})"), 0);
    row("raw send", bus, "send", json(R"({"content":"{}"})"), 3);
    row("devices", dev, "getDeviceInfoList", json("{}"), 0);
    row("this device", dev, "getCurrentDeviceInfo", json("{}"), 0, "local=true");
    row("one device", dev, "getDeviceInfo", json(R"({"device_id":"dev-1"})"), 0, "local=true");
    row("one device, id missing", dev, "getDeviceInfo", json("{}"), 3);
    row("rename, name missing", dev, "renameDevice", json(R"({"device_id":"dev-1"})"), 3);
    row("rename, id a number", dev, "renameDevice", json(R"({"device_id":7,"device_name":"x"})"), 3);
    row("delete, online device", dev, "deleteDeviceInfo", json(R"({"device_id":"dev-1"})"), int(Error::IpcFailed));
}

void tst_KSoftBusJsHandlers::pageCalls()
{
    QFETCH(QString, handler);
    QFETCH(QString, method);
    QFETCH(QJsonObject, args);
    QFETCH(int, code);
    QFETCH(QString, data);

    const int before = softBusCalls();
    QJsonObject answer;
    bool answered = false;
    m_page.call(handler, method, args, [&](const KxWebViewJSAnswer &a) {
        answered = true;
        if (a.isOk())
            answer = QJsonDocument::fromJson(
                         QJsonDocument::fromJson(a.value).object().value(QStringLiteral("result")).toString().toUtf8())
                         .object();
    });
    QTRY_VERIFY_WITH_TIMEOUT(answered, 10000);
    QCOMPARE(answer.value(QStringLiteral("code")).toInt(-1), code);
    QCOMPARE(answer.value(QStringLiteral("success")).toBool(), code == 0);
    if (code == 3)
        QVERIFY(answer.value(QStringLiteral("data")).isNull());
    if (code == 3 || code == -1) {
        QCOMPARE(softBusCalls(), before);
    }
    if (!data.isEmpty()) {
        const QString key = data.section(QLatin1Char('='), 0, 0);
        const QJsonValue value = key.isEmpty() ? answer.value(QStringLiteral("data"))
                                               : answer.value(QStringLiteral("data")).toObject().value(key);
        const QString text = value.isBool()     ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                             : value.isDouble() ? QString::number(value.toInt())
                                                : value.toString();
        QCOMPARE(text, data.section(QLatin1Char('='), 1));
    }
}

void tst_KSoftBusJsHandlers::handlerGoneBeforeItsAnswer()
{
    KxWebViewAsynJSObject page;
    auto *handler = new KCommunicatorJSHandler(nullptr, &page);
    QVERIFY(page.registerHandler(QStringLiteral("softbus.communicator"), handler));
    KxWebViewJSAnswer::Status status = KxWebViewJSAnswer::Ok;
    bool answered = false;
    page.call(QStringLiteral("softbus.communicator"), QStringLiteral("isDeviceOnline"), QJsonObject(),
              [&](const KxWebViewJSAnswer &a) {
                  answered = true;
                  status = a.status;
              });
    delete handler;
    // The answer arrives, finds the handler gone and is dropped: nothing is published.
    QTRY_VERIFY_WITH_TIMEOUT(answered, 10000);
    QCOMPARE(status, KxWebViewJSAnswer::NoAnswer);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KSoftBusJsHandlers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ksoftbusjshandlers.moc"
