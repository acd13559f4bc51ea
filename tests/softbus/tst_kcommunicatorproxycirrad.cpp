// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The process-wide communicator proxy against a real cirrad, with cirrad's
// call log as the oracle: one registration per operation, messages and
// their offline counts, discovery with its stored switch, and every
// registration made again after cirrad restarts.
#include "kcirradprocess.h"
#include "kcommunicatorproxy.h"
#include "softbusrecordtext.h"

#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QtTest>

using namespace SoftBus;
using namespace SoftBus::Business;
using qoz::cirra::CirraIpcResult;

namespace {

KCloudSvrProxy::ClientInfo client(const QString &device)
{
    KCloudSvrProxy::ClientInfo info;
    info.userId = QStringLiteral("alice");
    info.deviceId = device;
    info.deviceName = QStringLiteral("Desk ") + device;
    info.appName = QStringLiteral("tst_kcommunicatorproxycirrad");
    return info;
}

// Another device of the user: sends SoftBus requests without reading their results.
class OtherDevice : public QObject
{
    Q_OBJECT
public:
    OtherDevice() { m_proxy.setClientInfo(client(QStringLiteral("dev-2"))); }
    KCloudSvrProxy &proxy() { return m_proxy; }
    void sendMsg(const QString &to, const QString &text)
    {
        Protocol::SendMsgReq req;
        req.to.deviceId = to;
        req.action = QStringLiteral("chat");
        req.content = text;
        Protocol::Internal::CommunicationContent content;
        content.operation = {1, 6};
        content.data = Protocol::recordToText(req);
        qoz::cirra::CirraIpcArg arg;
        arg.method = "requestSoftBusCommunicator";
        arg.argMap = {{"__method__", "send"}, {"content", Protocol::recordToText(content).toStdString()}};
        QVERIFY(!m_proxy.asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, this, QStringLiteral("done"))
                     .isEmpty());
    }
public Q_SLOTS:
    void done(bool, QString, CirraIpcResult) {}

private:
    KCloudSvrProxy m_proxy;
};

// The SoftBus requests cirrad logged, as "send a,b data" / "listen a,b".
QStringList softBusCalls(KCirradProcess &cirrad)
{
    QStringList calls;
    const QList<QJsonObject> log =
        cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("requestSoftBusCommunicator"));
    for (const QJsonObject &entry : log) {
        const QJsonObject argMap =
            entry.value(QStringLiteral("arg")).toObject().value(QStringLiteral("argMap")).toObject();
        const bool send = argMap.value(QStringLiteral("__method__")).toString() == QLatin1String("send");
        Protocol::Internal::CommunicationContent content;
        ChannelAbility::Operation op;
        if (send && Protocol::recordFromText(argMap.value(QStringLiteral("content")).toString(), &content))
            op = content.operation;
        else if (!send)
            Protocol::recordFromText(argMap.value(QStringLiteral("operation")).toString(), &op);
        calls << QStringLiteral("%1 %2,%3 %4")
                     .arg(send ? QStringLiteral("send") : QStringLiteral("listen"))
                     .arg(op.ability)
                     .arg(op.action)
                     .arg(send && op.ability != 2 ? content.data : QString())
                     .trimmed();
    }
    return calls;
}

// Receives the answers of this process's own host calls.
class Sink : public QObject
{
    Q_OBJECT
public:
    QList<int> states;
public Q_SLOTS:
    void done(bool ok, QString, CirraIpcResult result) { states << (ok ? result.state : -1); }
};

QString startTask(Sink *sink, const QString &path, const QString &device,
                  KCloudSvrProxy *from = zelvaApp->cloudSvrProxy())
{
    qoz::cirra::CirraIpcArg arg;
    arg.method = "sendFileToDevice";
    arg.argMap = {{"path", path.toStdString()}, {"deviceId", device.toStdString()}, {"ownerId", "qoz-office"}};
    return from->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, sink, QStringLiteral("done"));
}

// "<code> <name>/<status>" of one device in the list the proxy gets, "none" when it is not listed.
QString listed(const QString &id)
{
    QString found = QStringLiteral("none");
    bool answered = false;
    KCommunicatorProxy::instance()->getDeviceInfoList(
        {0}, [&](int code, const Protocol::DeviceResponse<Protocol::DeviceInfoList> &r) {
            for (const Protocol::DeviceInfo &d : r.data.devices)
                if (d.identify.deviceId == id)
                    found = QStringLiteral("%1 %2/%3").arg(code).arg(d.identify.deviceName).arg(d.status);
            answered = true;
        });
    (void)QTest::qWaitFor([&] { return answered; }, 10000);
    return found;
}

} // namespace

class tst_KCommunicatorProxyCirrad : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messagesDiscoveryAndRestart();
    void fileTasks();
};

void tst_KCommunicatorProxyCirrad::messagesDiscoveryAndRestart()
{
    auto cirrad = std::make_unique<KCirradProcess>();
    QVERIFY(cirrad->start());
    KCloudSvrProxy *cloud = zelvaApp->cloudSvrProxy();
    cloud->setClientInfo(client(QStringLiteral("dev-1")));
    QTRY_VERIFY_WITH_TIMEOUT(cloud->isConnected(), 10000);
    OtherDevice other;
    QTRY_VERIFY_WITH_TIMEOUT(other.proxy().isConnected(), 10000);
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();

    // A message for dev-1 before it listens waits in cirrad.
    other.sendMsg(QStringLiteral("dev-1"), QStringLiteral("while away"));
    QTRY_COMPARE_WITH_TIMEOUT(softBusCalls(*cirrad).size(), 1, 10000);

    QStringList heard;
    proxy->listenOfflineMsgNotice("chat", [&](int code, const Protocol::UnreadNumItem &item) {
        heard << QStringLiteral("unread %1 %2 from %3").arg(code).arg(item.unreadNum).arg(item.from.deviceId);
        return Export::Alive;
    });
    for (const char *name : {"a", "b"}) {
        proxy->listenMsg("chat", [&heard, name](int code, const Protocol::KMsg &m) {
            heard << QStringLiteral("%1 %2 %3 from %4")
                         .arg(QLatin1String(name))
                         .arg(code)
                         .arg(m.content, m.from.deviceId);
            return Export::Alive;
        });
    }
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 3, 10000);
    QCOMPARE(heard, QStringList({QStringLiteral("unread 0 1 from dev-2"), QStringLiteral("a 0 while away from dev-2"),
                                 QStringLiteral("b 0 while away from dev-2")}));
    // Two listeners, one registration.
    QCOMPARE(softBusCalls(*cirrad).filter(QStringLiteral("listen 1,6")).size(), 1);

    // The device list cirrad keeps built follows a rename, and the status listeners hear it.
    // The proxy outlives this test: its listener holds the list.
    const auto changes = std::make_shared<QStringList>();
    proxy->listenDeviceInfoChange([changes](int code, const Protocol::NoticeStatus &n) {
        *changes << QStringLiteral("%1 %2 %3/%4").arg(code).arg(n.action, n.device.deviceId).arg(n.status);
        return Export::Alive;
    });
    QCOMPARE(listed(QStringLiteral("dev-2")), QStringLiteral("0 Desk dev-2/1"));
    Protocol::Device renamed;
    renamed.deviceId = QStringLiteral("dev-2");
    proxy->renameDevice(renamed, "Attic", nullptr);
    QTRY_COMPARE(*changes, QStringList(QStringLiteral("0 rename dev-2/1")));
    QCOMPARE(listed(QStringLiteral("dev-2")), QStringLiteral("0 Attic/1"));

    heard.clear();
    other.sendMsg(QStringLiteral("dev-1"), QStringLiteral("now"));
    QString answered;
    proxy->sendMsg(
        {{QString(), QString(), QStringLiteral("dev-9"), QString()}, QStringLiteral("chat"), QStringLiteral("x")},
        [&](int code, const Protocol::DeviceResponse<Protocol::KMsg> &r) {
            answered = QStringLiteral("%1 %2 %3").arg(code).arg(r.code).arg(r.msg);
        });
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 2, 10000);
    QCOMPARE(heard, QStringList({QStringLiteral("a 0 now from dev-2"), QStringLiteral("b 0 now from dev-2")}));
    QTRY_COMPARE(answered, QStringLiteral("0 404 device not found"));

    // Discovery: publishing tells this device's own listeners (state 2) and is kept in a 0600 file.
    QList<int> states;
    proxy->listenDiscoverServiceSearch("svc", [&](int, const Protocol::DiscoverServiceInfoResult &r) {
        states << r.state;
        return Export::Alive;
    });
    QTRY_VERIFY(softBusCalls(*cirrad).contains(QStringLiteral("listen 7,4")));
    proxy->discoverServiceSearch({QStringLiteral("svc"), 0, QString()}, nullptr);
    QTRY_COMPARE(states, QList<int>({2}));
    const QString switchFile = cirrad->stateDir() + QStringLiteral("/softbus/alice/dev-1.json");
    QVERIFY(QFile::exists(switchFile));
    // User, group and other bits: read/write for the user only.
    QCOMPARE(int(QFile::permissions(switchFile) & 0x0777), int(QFile::ReadUser | QFile::WriteUser));
    QCOMPARE(int(QFile::permissions(QFileInfo(switchFile).absolutePath()) & 0x0777),
             int(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser));

    // After a restart every key, owner id, ability and operation is registered again, in that order.
    Protocol::Ability ability;
    ability.name = QStringLiteral("relay");
    proxy->appendDeviceAbility(ability, nullptr);
    proxy->listenFileTaskInfo("qoz-office", [](int, const Protocol::KFileTaskInfo &) { return Export::Alive; });
    const Protocol::DiscoverServiceInfo search{QStringLiteral("svc"), 2, QString()};
    proxy->discoverServiceSearch(search, nullptr);
    QTRY_VERIFY(softBusCalls(*cirrad).contains(QStringLiteral("send 7,2 ") + Protocol::recordToText(search)));
    cirrad->kill();
    cirrad = std::make_unique<KCirradProcess>();
    QVERIFY(cirrad->start());
    const QStringList expected = {QStringLiteral("send 1,13 chat"),
                                  QStringLiteral("send 5,1 qoz-office"),
                                  QStringLiteral("send 2,5"),
                                  QStringLiteral("listen 1,3"),
                                  QStringLiteral("listen 1,6"),
                                  QStringLiteral("listen 7,4"),
                                  QStringLiteral("send 7,2 ") + Protocol::recordToText(search)};
    QTRY_COMPARE_WITH_TIMEOUT(softBusCalls(*cirrad), expected, 15000);

    // The registrations are real: a message reaches both listeners again.
    QTRY_VERIFY_WITH_TIMEOUT(other.proxy().isConnected(), 10000);
    heard.clear();
    other.sendMsg(QStringLiteral("dev-1"), QStringLiteral("back"));
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 2, 10000);
    QCOMPARE(heard.last(), QStringLiteral("b 0 back from dev-2"));
}

void tst_KCommunicatorProxyCirrad::fileTasks()
{
    // 4 MiB at 4 MiB/s: about a second to pause, resume and cancel in.
    qputenv("KZELVA_RELAY_RATE", QByteArray::number(4 * 1024 * 1024));
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    qunsetenv("KZELVA_RELAY_RATE");
    QTRY_VERIFY_WITH_TIMEOUT(zelvaApp->cloudSvrProxy()->isConnected(), 10000);
    auto other = std::make_unique<OtherDevice>();
    QTRY_VERIFY_WITH_TIMEOUT(other->proxy().isConnected(), 10000);
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();

    struct Notice
    {
        int state;
        quint64 done;
    };
    QList<Notice> notices;
    proxy->listenFileTaskInfo("qoz-office", [&](int code, const Protocol::KFileTaskInfo &info) {
        if (code == 0 && info.isSender)
            notices.append({info.state, info.doneSize});
        return Export::Alive;
    });
    QTRY_VERIFY(softBusCalls(cirrad).contains(QStringLiteral("send 5,1 qoz-office")));

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("report.txt"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray bytes(4 * 1024 * 1024, 'x');
    for (int i = 0; i < bytes.size(); i += 4093)
        bytes[i] = char('a' + i % 26);
    file.write(bytes);
    file.close();
    const QString received = cirrad.stateDir() + QStringLiteral("/relay/alice/dev-2");
    const auto lastState = [&] { return notices.isEmpty() ? -1 : notices.last().state; };

    // Failures: a missing source fails at once and says so; an unknown owner id has no task.
    Sink sink;
    QVERIFY(!startTask(&sink, dir.filePath(QStringLiteral("missing")), QStringLiteral("dev-2")).isEmpty());
    QTRY_COMPARE(sink.states, QList<int>({500}));
    QTRY_COMPARE(lastState(), 4);

    // Pause, resume and cancel between chunks: no ".part" and no file remain.
    notices.clear();
    QVERIFY(!startTask(&sink, source, QStringLiteral("dev-2")).isEmpty());
    QTRY_VERIFY(!notices.isEmpty() && notices.last().done > 0);
    proxy->pauseTaskByOwnerId("qoz-office");
    QTRY_COMPARE(lastState(), 2);
    proxy->resumeTaskByOwnerId("qoz-office");
    QTRY_COMPARE(lastState(), 1);
    proxy->cancelTaskByOwnerId("qoz-office");
    QTRY_COMPARE_WITH_TIMEOUT(lastState(), 5, 10000);
    for (int i = 1; i < notices.size(); ++i)
        QVERIFY(notices.at(i).done >= notices.at(i - 1).done);
    QCOMPARE(QDir(received).entryList(QDir::Files), QStringList());

    // The receiver goes away: the task waits; it comes back: the task ends with equal bytes.
    notices.clear();
    QVERIFY(!startTask(&sink, source, QStringLiteral("dev-2")).isEmpty());
    QTRY_VERIFY(!notices.isEmpty());
    other.reset();
    QTRY_COMPARE(lastState(), 0);
    QCOMPARE(listed(QStringLiteral("dev-2")), QStringLiteral("0 Desk dev-2/0"));
    other = std::make_unique<OtherDevice>();
    QTRY_COMPARE_WITH_TIMEOUT(lastState(), 3, 15000);
    QFile copy(received + QStringLiteral("/report.txt"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(QCryptographicHash::hash(copy.readAll(), QCryptographicHash::Sha256),
             QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));

    // 16 MiB, four seconds: the sender's connection drops mid-way, as under kill -9. The receiving side hears
    // the task fail in words; neither the file nor its ".part" stays.
    const QString big = dir.filePath(QStringLiteral("big.bin"));
    QVERIFY(QFile::copy(source, big) && QFile(big).resize(16 * 1024 * 1024));
    QString receiverHeard;
    proxy->listenFileTaskInfo("qoz-office", [&](int code, const Protocol::KFileTaskInfo &info) {
        if (code == 0 && !info.isSender && info.state >= 3)
            receiverHeard = QStringLiteral("%1 %2").arg(info.state).arg(info.error);
        return Export::Alive;
    });
    const QString inbox = cirrad.stateDir() + QStringLiteral("/relay/alice/dev-1");
    QTRY_VERIFY_WITH_TIMEOUT(other->proxy().isConnected(), 10000);
    QVERIFY(!startTask(&sink, big, QStringLiteral("dev-1"), &other->proxy()).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inbox + QStringLiteral("/big.bin.part")), 10000);
    other.reset();
    QTRY_COMPARE_WITH_TIMEOUT(receiverHeard, QStringLiteral("4 sender_offline"), 10000);
    QCOMPARE(QDir(inbox).entryList(QDir::Files), QStringList());

    // cirrad is killed mid-way: its ".part" stays behind until cirrad runs again, never the final name.
    other = std::make_unique<OtherDevice>();
    QTRY_VERIFY_WITH_TIMEOUT(other->proxy().isConnected(), 10000);
    QVERIFY(!startTask(&sink, big, QStringLiteral("dev-2")).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(received + QStringLiteral("/big.bin.part")), 10000);
    cirrad.kill();
    QVERIFY(!QFile::exists(received + QStringLiteral("/big.bin")));
    KCirradProcess restarted;
    QVERIFY(restarted.start({QStringLiteral("--state-dir"), cirrad.stateDir()}));
    QCOMPARE(QDir(received).entryList(QDir::Files), QStringList(QStringLiteral("report.txt")));
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KCommunicatorProxyCirrad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kcommunicatorproxycirrad.moc"
