// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The SoftBus transport end to end: KCommunicatorIpc -> host cloud proxy ->
// cirrad's "requestSoftBusCommunicator" -> broadcast lines back.
#include "kcirradprocess.h"
#include "kcommunicatoripc.h"
#include "protocol/deviceinfolist.h"
#include "protocol/deviceresponse.h"
#include "protocol/devicestatus.h"
#include "protocol/noticestatus.h"
#include "softbusrecordtext.h"

#include <memory>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QtTest>

using namespace SoftBus;
using namespace SoftBus::Business;
using Protocol::Internal::CommunicationContent;

namespace {

struct Result
{
    int code = -1;
    CommunicationContent content;
    QThread *thread = nullptr;
};

KCloudSvrProxy::ClientInfo client(const QString &device)
{
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("alice");
    info.deviceId = device;
    info.deviceName = QStringLiteral("Desk ") + device;
    info.appName = QStringLiteral("tst_softbuscirrad");
    return info;
}

// Sends one request and waits for its result.
Result request(IKCommunicator *communicator, ChannelAbility::Operation op, const QString &data)
{
    CommunicationContent content;
    content.operation = op;
    content.data = data;
    auto result = std::make_shared<Result>();
    const int handed = communicator->send(content, [result](int code, const CommunicationContent &c) {
        *result = {code, c, QThread::currentThread()};
        return Export::Alive;
    });
    if (handed == IKCommunicator::Accepted)
        (void)QTest::qWaitFor([&] { return result->thread != nullptr; }, 10000);
    return *result;
}

} // namespace

class tst_SoftBusCirrad : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestsAndNotices();
};

void tst_SoftBusCirrad::requestsAndNotices()
{
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    KCloudSvrProxy *proxy = zelvaApp->cloudSvrProxy();
    proxy->setClientInfo(client(QStringLiteral("dev-1")));
    QTRY_VERIFY_WITH_TIMEOUT(proxy->isConnected(), 10000);
    KCommunicatorIpc ipc;

    // Device status notices: registered once the IPC call completed.
    QList<Protocol::NoticeStatus> notices;
    QSignalSpy finished(proxy, &KCloudSvrProxy::callFinished);
    QCOMPARE(ipc.listenMessage({1, 3}, [&notices](int code, const CommunicationContent &c) {
        QList<Protocol::NoticeStatus> list;
        if (code == 0 && Protocol::recordsFromText(c.data, &list))
            notices.append(list);
        return Export::Alive;
    }), 0);
    QVERIFY(finished.wait(10000));

    // The device list, answered from the user's registry on the GUI thread.
    const Result list = request(&ipc, {2, 2}, Protocol::recordToText(Protocol::DeviceStatus{0}));
    QCOMPARE(list.code, 0);
    QCOMPARE(list.thread, QThread::currentThread());
    QVERIFY(list.content.isLast);
    Protocol::DeviceResponse<Protocol::DeviceInfoList> devices;
    QVERIFY2(Protocol::recordFromText(list.content.data, &devices), qPrintable(list.content.data));
    QCOMPARE(devices.code, 0);
    QCOMPARE(devices.data.devices.size(), 1);
    QCOMPARE(devices.data.devices.first().identify.deviceId, QStringLiteral("dev-1"));
    QCOMPARE(devices.data.devices.first().identify.deviceName, QStringLiteral("Desk dev-1"));
    QCOMPARE(devices.data.devices.first().status, 1);
    const QJsonObject argMap = cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("requestSoftBusCommunicator"))
                                   .last()
                                   .value(QStringLiteral("arg"))
                                   .toObject()
                                   .value(QStringLiteral("argMap"))
                                   .toObject();
    QCOMPARE(argMap.value(QStringLiteral("__method__")).toString(), QStringLiteral("send"));

    // Another device of the user comes online: the listener hears it.
    auto second = std::make_unique<KCloudSvrProxy>();
    second->setClientInfo(client(QStringLiteral("dev-2")));
    QTRY_VERIFY_WITH_TIMEOUT(!notices.isEmpty(), 10000);
    QCOMPARE(notices.last().device.deviceId, QStringLiteral("dev-2"));
    QCOMPARE(notices.last().action, QStringLiteral("online"));
    QCOMPARE(notices.last().status, 1);

    // The list the service keeps built follows every change: a shell coming, a rename, a shell going.
    const auto listed = [&ipc](const QString &id) {
        Protocol::DeviceResponse<Protocol::DeviceInfoList> answer;
        (void)Protocol::recordFromText(request(&ipc, {2, 2}, QStringLiteral("{}")).content.data, &answer);
        for (const Protocol::DeviceInfo &d : answer.data.devices)
            if (d.identify.deviceId == id)
                return QStringLiteral("%1/%2").arg(d.identify.deviceName).arg(d.status);
        return QString();
    };
    QCOMPARE(listed(QStringLiteral("dev-2")), QStringLiteral("Desk dev-2/1"));
    QCOMPARE(request(&ipc, {2, 7}, QStringLiteral(R"({"device_id":"dev-2","device_name":"Attic"})")).code, 0);
    QCOMPARE(listed(QStringLiteral("dev-2")), QStringLiteral("Attic/1"));
    second.reset();
    QTRY_COMPARE_WITH_TIMEOUT(listed(QStringLiteral("dev-2")), QStringLiteral("Attic/0"), 10000);

    // An operation the service does not know: its own code comes through.
    QCOMPARE(request(&ipc, {9, 9}, QString()).code, 404);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_SoftBusCirrad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_softbuscirrad.moc"
