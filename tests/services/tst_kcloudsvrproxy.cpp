// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The host's cloud proxy against a real cirrad process.
#include "cirrawire.h"
#include "kcirradprocess.h"
#include "ktestcloudproxy.h"

#include <kcirraeventobject.h>
#include <kcirrapaths.h>
#include <kcloudsvrproxy.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

using namespace qoz::cirra;

// Completion slots declared the way the plug-in declares them: by bare
// record class name, invoked by name.
class Receiver : public QObject
{
    Q_OBJECT
public:
    struct Completion
    {
        bool ok;
        QString id;
        QString type;
        int state;
    };
    QList<Completion> completions;
    QStringList order; // "reply" / "event" as they arrive

public Q_SLOTS:
    void onResult(bool ok, QString id, CirraIpcResult result)
    {
        completions.append({ok, id, QStringLiteral("CirraIpcResult"), result.state});
        order.append(QStringLiteral("reply"));
    }
    void onStorage(bool ok, QString id, GetStorageInfoResult result)
    {
        completions.append(
            {ok, id, QStringLiteral("GetStorageInfoResult"), int(result.state * 1000 + result.usedSize)});
    }
    void onFileInfo(bool ok, QString id, GetCloudFileInfoResult result)
    {
        completions.append({ok, id, QString::fromStdString(result.itemInfo.name), result.state});
    }
    void onDone(bool ok, QString id)
    {
        completions.append({ok, id, QString(), 0});
        order.append(QStringLiteral("reply"));
    }
    void onBroadcast(const QString &line) { events.append(line); }
    void onWebPageEvent(const NotifyWebPageEventArg &arg)
    {
        events.append(QString::fromStdString(arg.message));
        order.append(QStringLiteral("event"));
    }
    void onActionsMap(const QMap<QString, QString> &map) { events.append(map.value(QStringLiteral("k"))); }
    void onOpenLocation(const NotifyOpenCloudLocationActionArg &arg)
    {
        events.append(QString::fromStdString(arg.fileId));
    }

public:
    QStringList events;
};

namespace {

// Generous: a loaded machine holds cirrad or this process off the CPU for seconds.
constexpr int kWaitMs = 30000;

CirraIpcArg ipcArg(const std::string &method)
{
    CirraIpcArg arg;
    arg.method = method;
    arg.argMap = {{"src", "crossterminalpanel"}};
    return arg;
}

// A "cirraIpcCall" of `method` answered to receiver's onResult; the request id.
QString callIpc(KCloudSvrProxy *proxy, QObject *receiver, const std::string &method = "showTransferHelperDlg")
{
    const CirraIpcArg arg = ipcArg(method);
    return proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, receiver,
                            receiver ? QStringLiteral("onResult") : QString());
}

// The signal and slot texts the plug-in's code connects with.
void connectEvents(KCloudSvrProxy *proxy, Receiver *receiver)
{
    QObject *events = proxy->cirraEventObject();
    QVERIFY(QObject::connect(events, SIGNAL(signal_broadcast(const QString&)), receiver,
                             SLOT(onBroadcast(const QString&))));
    QVERIFY(QObject::connect(events, SIGNAL(signal_notifyWebPageEvent(const NotifyWebPageEventArg&)), receiver,
                             SLOT(onWebPageEvent(const NotifyWebPageEventArg&))));
    QVERIFY(QObject::connect(events, SIGNAL(signal_notifyActionsMapForAtoMix(const QMap<QString, QString>&)),
                             receiver, SLOT(onActionsMap(const QMap<QString, QString>&))));
    QVERIFY(QObject::connect(events, SIGNAL(signal_notifyOpenCloudLocation(const NotifyOpenCloudLocationActionArg&)),
                             receiver, SLOT(onOpenLocation(const NotifyOpenCloudLocationActionArg&))));
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(KCirradProcess &)>)
using Fault = std::function<void(KCirradProcess &)>;

class tst_KCloudSvrProxy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void callReachesSlot_data();
    void callReachesSlot();
    void refusedCalls_data();
    void refusedCalls();
    void eventsReachEveryProxyOfTheUser_data();
    void eventsReachEveryProxyOfTheUser();
    void reconnectsAfterRestart();
    void pendingCallsFail_data();
    void pendingCallsFail();
    void badServiceIsDropped_data();
    void badServiceIsDropped();

private:
    std::unique_ptr<KCirradProcess> m_cirrad;
};

void tst_KCloudSvrProxy::init()
{
    m_cirrad = std::make_unique<KCirradProcess>();
    QString error;
    QVERIFY2(m_cirrad->start({}, &error), qPrintable(error));
}

void tst_KCloudSvrProxy::cleanup()
{
    m_cirrad.reset();
}

void tst_KCloudSvrProxy::callReachesSlot_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<KCirraRecord>("record");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("state");

    GetStorageInfoArg storage;
    GetCloudFileInfoArg file;
    file.extraParam = {{"type", "device"}, {"deviceUuid", "dev-1"}};
    NotifyWebPageEventArg page;

    const auto row = [](const char *name, const char *function, const KCirraRecord &record, const char *slot,
                        const char *type, int state) {
        QTest::newRow(name) << QString::fromLatin1(function) << record << QString::fromLatin1(slot)
                            << QString::fromLatin1(type) << state;
    };
    const KCirraRecord ipc = KCirraRecord::make(ipcArg("showTransferHelperDlg"));
    row("cirraIpcCall", "cirraIpcCall", ipc, "onResult", "CirraIpcResult", 0);
    // More than the socket takes at once: the rest leaves as the service reads.
    CirraIpcArg large = ipcArg("showTransferHelperDlg");
    large.argMap["blob"] = std::string(2 << 20, 'b');
    row("cirraIpcCall of 2 MiB", "cirraIpcCall", KCirraRecord::make(large), "onResult", "CirraIpcResult", 0);
    row("slot given as SLOT() text", "cirraIpcCall", ipc, "1onResult(bool,QString,CirraIpcResult)", "CirraIpcResult", 0);
    row("getStorageInfo", "getStorageInfo", KCirraRecord::make(storage), "onStorage", "GetStorageInfoResult",
        1536 * 1024 * 1024);
    row("getCloudFileInfo", "getCloudFileInfo", KCirraRecord::make(file), "onFileInfo", "Device dev-1", 0);
    row("notifyWebPageEvent", "notifyWebPageEvent", KCirraRecord::make(page), "onDone", "", 0);
}

void tst_KCloudSvrProxy::callReachesSlot()
{
    QFETCH(QString, function);
    QFETCH(KCirraRecord, record);
    QFETCH(QString, slot);
    QFETCH(QString, type);
    QFETCH(int, state);

    auto proxy = makeTestCloudProxy(QStringLiteral("dev-1"));
    Receiver receiver;
    connectEvents(proxy.get(), &receiver);
    const QString id = proxy->asyncCall(function, {record.base(), record.typeName()}, &receiver, slot);
    QVERIFY(!id.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 1, kWaitMs);
    const Receiver::Completion c = receiver.completions.first();
    QVERIFY(c.ok);
    QCOMPARE(c.id, id);
    QCOMPARE(c.type, type);
    QCOMPARE(c.state, state);
    QCOMPARE(m_cirrad->callsOf(function).size(), 1);
    if (function == QLatin1String("notifyWebPageEvent")) // relayed to the other processes, not back
        QCOMPARE(receiver.order, QStringList{QStringLiteral("reply")});
}

void tst_KCloudSvrProxy::refusedCalls_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("typeName");
    QTest::addColumn<bool>("nullRecord");

    QTest::newRow("unknown function") << QStringLiteral("formatDisk") << QByteArray("CirraIpcArg") << false;
    QTest::newRow("record the function does not take")
        << QStringLiteral("getStorageInfo") << QByteArray("CirraIpcArg") << false;
    QTest::newRow("no type name") << QStringLiteral("cirraIpcCall") << QByteArray() << false;
    QTest::newRow("no record") << QStringLiteral("cirraIpcCall") << QByteArray("CirraIpcArg") << true;
}

void tst_KCloudSvrProxy::refusedCalls()
{
    QFETCH(QString, function);
    QFETCH(QByteArray, typeName);
    QFETCH(bool, nullRecord);

    auto proxy = makeTestCloudProxy(QStringLiteral("dev-1"));
    const CirraIpcArg arg = ipcArg("showTransferHelperDlg");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^refusing call")));
    const QString id = proxy->asyncCall(function, {nullRecord ? nullptr : &arg,
                                                   typeName.isEmpty() ? nullptr : typeName.constData()},
                                        nullptr, QString());
    QVERIFY(id.isEmpty());
}

void tst_KCloudSvrProxy::eventsReachEveryProxyOfTheUser_data()
{
    QTest::addColumn<QString>("request"); // "key=value ..." of the emitEvent control request
    QTest::addColumn<QString>("expected");

    QTest::newRow("broadcast") << QStringLiteral("signal=broadcast text=line_1") << QStringLiteral("line_1");
    // Read in more than one pass on both sides (the request to the service, the event to the proxies).
    const QString large(2 << 20, QLatin1Char('x'));
    QTest::newRow("broadcast of 2 MiB") << QStringLiteral("signal=broadcast text=") + large << large;
    QTest::newRow("notifyWebPageEvent")
        << QStringLiteral("signal=notifyWebPageEvent message={\"a\":1}") << QStringLiteral("{\"a\":1}");
    QTest::newRow("notifyActionsMapForAtoMix") << QStringLiteral("signal=notifyActionsMapForAtoMix arg.k=v")
                                               << QStringLiteral("v");
    QTest::newRow("notifyOpenCloudLocation") << QStringLiteral("signal=notifyOpenCloudLocation fileId=f1")
                                             << QStringLiteral("f1");
}

void tst_KCloudSvrProxy::eventsReachEveryProxyOfTheUser()
{
    QFETCH(QString, request);
    QFETCH(QString, expected);

    auto first = makeTestCloudProxy(QStringLiteral("dev-1"));
    auto second = makeTestCloudProxy(QStringLiteral("dev-2"));
    auto stranger = makeTestCloudProxy(QStringLiteral("dev-3"), QStringLiteral("bob"));
    Receiver r1, r2, r3;
    connectEvents(first.get(), &r1);
    connectEvents(second.get(), &r2);
    connectEvents(stranger.get(), &r3);
    QTRY_VERIFY_WITH_TIMEOUT(first->isConnected() && second->isConnected() && stranger->isConnected(), kWaitMs);

    QMap<QString, QString> args{{QStringLiteral("user"), QStringLiteral("alice")}};
    const QStringList words = request.split(QLatin1Char(' '));
    for (const QString &word : words)
        args.insert(word.section(QLatin1Char('='), 0, 0), word.section(QLatin1Char('='), 1));
    QVERIFY(m_cirrad->control(QStringLiteral("emitEvent"), args));
    QTRY_COMPARE_WITH_TIMEOUT(r1.events, QStringList{expected}, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(r2.events, QStringList{expected}, kWaitMs);
    // bob's proxy gets nothing: a later event to bob arrives alone.
    QVERIFY(m_cirrad->control(QStringLiteral("emitEvent"), {{QStringLiteral("user"), QStringLiteral("bob")},
                                                            {QStringLiteral("signal"), QStringLiteral("broadcast")},
                                                            {QStringLiteral("text"), QStringLiteral("bob")}}));
    QTRY_COMPARE_WITH_TIMEOUT(r3.events, QStringList{QStringLiteral("bob")}, kWaitMs);
}

// A call made while the service is down waits for it; a restarted service is
// found again and announced.
void tst_KCloudSvrProxy::reconnectsAfterRestart()
{
    m_cirrad->stop();
    auto proxy = makeTestCloudProxy(QStringLiteral("dev-1"));
    QSignalSpy connected(proxy.get(), &KCloudSvrProxy::socketConnected);
    QSignalSpy eventConnected(proxy->cirraEventObject(), &KCirraEventObject::SocketConnected);
    QSignalSpy disconnected(proxy.get(), &KCloudSvrProxy::socketDisconnected);
    Receiver receiver;
    QSignalSpy finished(proxy.get(), &KCloudSvrProxy::callFinished);
    QVERIFY(!callIpc(proxy.get(), &receiver).isEmpty());
    // The first connect fails at once; a call failed with it would finish here.
    QVERIFY2(!finished.wait(300), "a call failed while the service was down");
    QVERIFY(receiver.completions.isEmpty() && !proxy->isConnected());
    QVERIFY(m_cirrad->start());
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 1, kWaitMs);
    QVERIFY(receiver.completions.first().ok);
    QCOMPARE(connected.count(), 1);
    QVERIFY(proxy->checkCirraRunning());

    QTest::ignoreMessage(QtWarningMsg, "connection to the cloud service lost; 0 pending calls failed");
    m_cirrad->kill();
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, kWaitMs);
    QVERIFY(!proxy->isConnected());
    QVERIFY(!proxy->checkCirraRunning());

    QVERIFY(m_cirrad->start());
    QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, kWaitMs);
    QCOMPARE(eventConnected.count(), 2);
    callIpc(proxy.get(), &receiver);
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 2, kWaitMs);
    QVERIFY(receiver.completions.last().ok);
}

void tst_KCloudSvrProxy::pendingCallsFail_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Fault>("after");
    QTest::addColumn<int>("timeoutMs"); // 0: the default

    QTest::newRow("service killed while the call is held")
        << QStringLiteral("hold") << Fault([](KCirradProcess &c) { c.kill(); }) << 0;
    QTest::newRow("service dies in the middle of the reply") << QStringLiteral("die") << Fault() << 0;
    QTest::newRow("connection dropped") << QStringLiteral("drop") << Fault() << 0;
    QTest::newRow("service refuses") << QStringLiteral("fail") << Fault() << 0;
    // The held reply is released after the call failed: it must not be delivered then.
    QTest::newRow("call times out") << QStringLiteral("hold") << Fault() << 300;
}

void tst_KCloudSvrProxy::pendingCallsFail()
{
    QFETCH(QString, fault);
    QFETCH(Fault, after);
    QFETCH(int, timeoutMs);

    auto proxy = makeTestCloudProxy(QStringLiteral("dev-1"));
    if (timeoutMs > 0)
        proxy->setCallTimeout(timeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(proxy->isConnected(), kWaitMs);
    QVERIFY(m_cirrad->control(fault, {{QStringLiteral("function"), QStringLiteral("cirraIpcCall")},
                                      {QStringLiteral("method"), QStringLiteral("slow")}}));
    Receiver receiver;
    QVERIFY(!callIpc(proxy.get(), &receiver, "slow").isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("(pending calls|cr-1) failed|timed out$")));
    if (after) {
        QTRY_COMPARE_WITH_TIMEOUT(m_cirrad->callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("slow")).size(), 1,
                                  kWaitMs);
        after(*m_cirrad);
    }
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 1, kWaitMs);
    QVERIFY(!receiver.completions.first().ok);
    QCOMPARE(receiver.completions.first().state, 0); // a default record
    if (timeoutMs > 0)
        QVERIFY(m_cirrad->control(QStringLiteral("release")));
    // Nothing is delivered twice, and the proxy still works afterwards.
    if (m_cirrad->process().state() == QProcess::NotRunning)
        QVERIFY(m_cirrad->start());
    const QString next = callIpc(proxy.get(), &receiver);
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 2, kWaitMs);
    QVERIFY(receiver.completions.last().ok);
    QCOMPARE(receiver.completions.last().id, next);
}

void tst_KCloudSvrProxy::badServiceIsDropped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("4 GiB length") << QByteArray("\xff\xff\xff\xff", 4);
    QTest::newRow("truncated frame, then close") << QByteArray("\x00\x00\x00\x40\x0c\x00", 6);
    CirraFrame reply;
    reply.__set_reply(CirraReply());
    QTest::newRow("reply before hello") << cirraFrameBytes(reply);
}

void tst_KCloudSvrProxy::badServiceIsDropped()
{
    QFETCH(QByteArray, bytes);
    m_cirrad->stop();
    // A fake service at the socket path answers the hello with `bytes`.
    QLocalServer fake;
    QLocalServer::removeServer(KCirraPaths::socketPath());
    QVERIFY(fake.listen(KCirraPaths::socketPath()));
    auto proxy = makeTestCloudProxy(QStringLiteral("dev-1"));
    Receiver receiver;
    callIpc(proxy.get(), &receiver);
    QTRY_VERIFY_WITH_TIMEOUT(fake.hasPendingConnections(), kWaitMs);
    QLocalSocket *peer = fake.nextPendingConnection();
    QTRY_VERIFY_WITH_TIMEOUT(peer->bytesAvailable() > 0, kWaitMs);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^connection to the cloud service lost")));
    peer->write(bytes);
    peer->flush();
    if (bytes.size() == 6)
        peer->disconnectFromServer();
    // The call fails once the connection is given up, and the proxy is not connected.
    QTRY_COMPARE_WITH_TIMEOUT(receiver.completions.size(), 1, kWaitMs);
    QVERIFY(!receiver.completions.first().ok);
    QVERIFY(!proxy->isConnected());
}

QTEST_GUILESS_MAIN(tst_KCloudSvrProxy)
#include "tst_kcloudsvrproxy.moc"
