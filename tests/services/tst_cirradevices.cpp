// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// cirrad's device and document registry and its relay, spoken to by three
// shells over the socket: A and B of one user, C of another.
#include "kcirraclient.h"
#include "kcirradprocess.h"

#include <kcirracodec.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace qoz::cirra;

namespace {

CirraHello hello(const std::string &user, const std::string &device)
{
    CirraHello h;
    h.protocolVersion = KCirraRecords::kProtocolVersion;
    h.appName = "tst_cirradevices";
    h.appVersion = "1.0";
    h.userId = user;
    h.deviceId = device;
    h.deviceName = "Device " + device;
    h.abilities = {"sync_file_tag"};
    return h;
}

KCirraRecord ipc(const std::string &method, std::map<std::string, std::string> args = {},
                 const std::string &nameSpace = std::string())
{
    CirraIpcArg arg;
    arg.nameSpace = nameSpace;
    arg.method = method;
    arg.argMap = std::move(args);
    return KCirraRecord::make(arg);
}

// The "tags" text of a report of documents {uuid, name}.
std::string tagsJson(std::initializer_list<std::pair<const char *, const char *>> docs)
{
    std::string tags;
    for (const auto &d : docs)
        tags += std::string(tags.empty() ? "[" : ",") + R"({"uuid":")" + d.first + R"(","name":")" + d.second
                + R"(","suffix":"txt","type":"local","ftype":"txt"})";
    return tags + "]";
}

// The "cirraIpcCall" answer: state and the JSON object of resultString.
int callIpc(KCirraClient &client, const KCirraRecord &arg, QJsonObject *answer = nullptr)
{
    CirraReply reply;
    KCirraRecord record;
    if (!client.call(QStringLiteral("cirraIpcCall"), arg, &reply, &record) || !reply.ok)
        return -1;
    const auto *result = record.as<CirraIpcResult>();
    if (answer)
        *answer = QJsonDocument::fromJson(QByteArray::fromStdString(result->resultString)).object();
    return result->state;
}

// The next broadcast value under `key` that `client` receives.
bool nextBroadcast(KCirraClient &client, const QString &key, QJsonObject *value, int timeoutMs = 5000)
{
    const QString prefix = QStringLiteral("act=broadcast&") + key + QLatin1Char('=');
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (const CirraEvent &e : client.takeEvents()) {
            const QString text = QString::fromStdString(e.text);
            if (text.startsWith(prefix)) {
                *value = QJsonDocument::fromJson(text.mid(prefix.size()).toUtf8()).object();
                return true;
            }
        }
        if (deadline.hasExpired() || !client.waitForEvents(1, int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
}

// The answer to the call sent earlier with sendCall.
bool awaitReply(KCirraClient &client, CirraReply *reply)
{
    CirraFrame frame;
    do {
        if (!client.readFrame(&frame, 10000))
            return false;
    } while (!frame.__isset.reply);
    *reply = frame.reply;
    return true;
}

QJsonObject deviceOf(KCirraClient &client, const QString &deviceId)
{
    QJsonObject answer;
    callIpc(client, ipc("getSoftBussDeviceList", {{"status", "0"}, {"ability", "1"}, {"app_id", "qoz-office"}}),
            &answer);
    for (const QJsonValue &d : answer.value(QStringLiteral("data"))[QStringLiteral("devices")].toArray()) {
        if (d[QStringLiteral("device_id")].toString() == deviceId)
            return d.toObject();
    }
    return QJsonObject();
}

int status(KCirraClient &client, const char *deviceId)
{
    return deviceOf(client, QLatin1String(deviceId)).value(QStringLiteral("status")).toInt();
}

QStringList tagNames(const QJsonObject &device)
{
    QStringList names;
    for (const QJsonValue &t : device.value(QStringLiteral("Tags")).toArray())
        names.append(t.toObject().value(QStringLiteral("name")).toString());
    return names;
}

} // namespace

class tst_CirraDevices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void documentsListedPerUser();
    void twoProcessesOfOneDeviceMerge();
    void badReportChangesNothing_data();
    void badReportChangesNothing();
    void deviceRequests_data();
    void deviceRequests();
    void forceOffline();
    void renameOutlivesRestart();
    void sendMyDeviceMsg();
    void relay();
    void relayFailures_data();
    void relayFailures();

private:
    std::unique_ptr<KCirradProcess> m_cirrad;
    std::unique_ptr<KCirraClient> m_a, m_b, m_c;
};

void tst_CirraDevices::init()
{
    m_cirrad = std::make_unique<KCirradProcess>();
    QString error;
    QVERIFY2(m_cirrad->start({}, &error), qPrintable(error));
    m_a = std::make_unique<KCirraClient>(m_cirrad->socketPath());
    m_b = std::make_unique<KCirraClient>(m_cirrad->socketPath());
    m_c = std::make_unique<KCirraClient>(m_cirrad->socketPath());
    QVERIFY(m_a->open(hello("alice", "dev-a")));
    QVERIFY(m_b->open(hello("alice", "dev-b")));
    QVERIFY(m_c->open(hello("carol", "dev-c")));
    // B follows the labels, as an open panel does.
    QCOMPARE(
        callIpc(*m_b, ipc("sendFileLabelOnlineMsg", {{"data", R"({"command":"get_labels","app_id":"qoz-office"})"}})),
        0);
    QCOMPARE(callIpc(*m_a, ipc("reportFileLabels", {{"tags", (tagsJson({{"doc-1", "plan.txt"}}))}})), 0);
}

void tst_CirraDevices::cleanup()
{
    m_a.reset();
    m_b.reset();
    m_c.reset();
    m_cirrad.reset();
}

void tst_CirraDevices::documentsListedPerUser()
{
    QJsonObject notice;
    QVERIFY(nextBroadcast(*m_b, QStringLiteral("fileLabelMessageNotice"), &notice));
    QCOMPARE(notice.value(QStringLiteral("device_id")).toString(), QStringLiteral("dev-a"));
    QCOMPARE(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))), QStringList{QStringLiteral("plan.txt")});
    const QJsonObject tag = deviceOf(*m_b, QStringLiteral("dev-a")).value(QStringLiteral("Tags"))[0].toObject();
    QCOMPARE(tag[QStringLiteral("tagId")].toString(), QStringLiteral("doc-1"));
    QVERIFY(tag.contains(QStringLiteral("fileId")));
    QVERIFY(deviceOf(*m_c, QStringLiteral("dev-a")).isEmpty());
    // Closing the document (an empty report) and closing the shell both empty the list.
    QCOMPARE(callIpc(*m_a, ipc("reportFileLabels", {{"tags", "[]"}})), 0);
    QVERIFY(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))).isEmpty());
    QCOMPARE(callIpc(*m_a, ipc("reportFileLabels", {{"tags", (tagsJson({{"doc-1", "plan.txt"}}))}})), 0);
    m_a->close();
    QTRY_VERIFY(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))).isEmpty());
    QCOMPARE(status(*m_b, "dev-a"), 0);
}

void tst_CirraDevices::twoProcessesOfOneDeviceMerge()
{
    KCirraClient second(m_cirrad->socketPath());
    QVERIFY(second.open(hello("alice", "dev-a")));
    QCOMPARE(callIpc(second,
                     ipc("reportFileLabels", {{"tags", (tagsJson({{"doc-1", "plan.txt"}, {"doc-2", "memo.txt"}}))}})),
             0);
    QCOMPARE(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))),
             (QStringList{QStringLiteral("memo.txt"), QStringLiteral("plan.txt")}));
    second.close();
    QTRY_COMPARE(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))), QStringList{QStringLiteral("plan.txt")});
    QCOMPARE(status(*m_b, "dev-a"), 1);
}

void tst_CirraDevices::badReportChangesNothing_data()
{
    QTest::addColumn<QByteArray>("tags");
    QTest::newRow("not JSON") << QByteArray("{oops");
    QTest::newRow("object, not array") << QByteArray(R"({"uuid":"x"})");
    QTest::newRow("entry not an object") << QByteArray(R"([1])");
    QTest::newRow("uuid that is a path") << QByteArray(R"([{"uuid":"../x","name":"a"}])");
    QTest::newRow("empty name") << QByteArray(R"([{"uuid":"d","name":""}])");
    QTest::newRow("control character in name") << QByteArray("[{\"uuid\":\"d\",\"name\":\"a\\u0007b\"}]");
    QTest::newRow("wrong-typed suffix") << QByteArray(R"([{"uuid":"d","name":"a","suffix":5}])");
    QTest::newRow("name of 1 MiB") << (QByteArray(R"([{"uuid":"d","name":")") + QByteArray(1024 * 1024, 'n') + "\"}]");
    QByteArray many = "[";
    for (int i = 0; i < 1001; ++i)
        many += QByteArray(i ? "," : "") + R"({"uuid":"d)" + QByteArray::number(i) + R"(","name":"n"})";
    QTest::newRow("1001 entries") << many + "]";
}

void tst_CirraDevices::badReportChangesNothing()
{
    QFETCH(QByteArray, tags);
    QCOMPARE(callIpc(*m_a, ipc("reportFileLabels", {{"tags", tags.toStdString()}})), 422);
    QCOMPARE(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))), QStringList{QStringLiteral("plan.txt")});
}

void tst_CirraDevices::deviceRequests_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("nameSpace");
    QTest::addColumn<QString>("userId");
    QTest::addColumn<QString>("deviceId");
    QTest::addColumn<int>("state");
    const auto row = [](const char *name, const char *method, const char *nameSpace, const char *userId,
                        const char *deviceId, int state) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromLatin1(nameSpace)
                            << QString::fromLatin1(userId) << QString::fromLatin1(deviceId) << state;
    };
    row("offline: another user's device", "forceOfflineSoftBussDevice", "", "", "dev-c", 404);
    row("offline: forged user id", "forceOfflineSoftBussDevice", "", "carol", "dev-c", 403);
    row("offline: device id that is a path", "forceOfflineSoftBussDevice", "", "", "../dev-a", 422);
    row("logout: wrong name space", "logoutRemoteDevice", "cloud", "", "dev-a", 422);
    row("logout: another user's device", "logoutRemoteDevice", "softBuss", "", "dev-c", 404);
    row("relay: forged user id", "batchQueryFilesTags", "", "carol", "dev-c", 403);
    row("relay: another user's device", "batchQueryFilesTags", "", "", "dev-c", 404);
    row("relay: to itself", "batchQueryFilesTags", "", "", "dev-b", 422);
    row("add mobile device", "showAddMobileDeviceDlg", "", "", "", 0);
}

void tst_CirraDevices::deviceRequests()
{
    QFETCH(QString, method);
    QFETCH(QString, nameSpace);
    QFETCH(QString, userId);
    QFETCH(QString, deviceId);
    QFETCH(int, state);
    std::map<std::string, std::string> args{{"device_id", deviceId.toStdString()}, {"uuid", "doc-1"}};
    if (!userId.isEmpty())
        args["user_id"] = userId.toStdString();
    QCOMPARE(callIpc(*m_b, ipc(method.toStdString(), args, nameSpace.toStdString())), state);
    // Nobody was logged out or lost a document.
    QCOMPARE(status(*m_c, "dev-c"), 1);
    QCOMPARE(status(*m_b, "dev-a"), 1);
    QCOMPARE(tagNames(deviceOf(*m_b, QStringLiteral("dev-a"))), QStringList{QStringLiteral("plan.txt")});
}

void tst_CirraDevices::forceOffline()
{
    QCOMPARE(callIpc(*m_b, ipc("forceOfflineSoftBussDevice",
                               {{"app_id", "qoz-office"}, {"user_id", "alice"}, {"device_id", "dev-a"}})),
             0);
    QVERIFY(m_a->waitForEvents(1, 5000));
    bool loggedOut = false;
    for (const CirraEvent &e : m_a->takeEvents())
        loggedOut |=
            e.signalName == KCirraRecords::kEventLoginStatusChanged && e.text.find("false") != std::string::npos;
    QVERIFY(loggedOut);
    QCOMPARE(status(*m_b, "dev-a"), 0);
    QCOMPARE(callIpc(*m_b, ipc("logoutRemoteDevice", {{"device_id", "dev-a"}}, "softBuss")), 0);
    // A new shell of the device brings it back.
    KCirraClient again(m_cirrad->socketPath());
    QVERIFY(again.open(hello("alice", "dev-a")));
    QCOMPARE(status(*m_b, "dev-a"), 1);
}

void tst_CirraDevices::renameOutlivesRestart()
{
    const std::string data =
        R"({"app_id":"qoz-office","user_id":"alice","device_id":"dev-a","device_name":"Kitchen","update_keys":["device_name"]})";
    QCOMPARE(callIpc(*m_b, ipc("updateSoftBussDeviceInfo", {{"data", data}})), 0);
    m_a.reset();
    m_b.reset();
    m_c.reset();
    QVERIFY(m_cirrad->stop());
    QVERIFY(m_cirrad->start());
    KCirraClient a(m_cirrad->socketPath());
    QVERIFY(a.open(hello("alice", "dev-a"))); // its hello names it "Device dev-a"; the user's name stays
    QCOMPARE(deviceOf(a, QStringLiteral("dev-a")).value(QStringLiteral("device_name")).toString(),
             QStringLiteral("Kitchen"));
}

void tst_CirraDevices::sendMyDeviceMsg()
{
    QCOMPARE(callIpc(*m_a, ipc("sendMyDeviceMsg", {{"data", R"([{"name":"a.txt"}])"}})), 0);
    QJsonObject value;
    QVERIFY(nextBroadcast(*m_b, QStringLiteral("broadcastFromSendMyDeviceMsg"), &value));
    QCOMPARE(QByteArray::fromBase64(value.value(QStringLiteral("data")).toString().toLatin1()),
             QByteArray(R"([{"name":"a.txt"}])"));
    QCOMPARE(callIpc(*m_a, ipc("sendMyDeviceMsg", {{"data", ""}})), 422);
    QVERIFY(!nextBroadcast(*m_c, QStringLiteral("broadcastFromSendMyDeviceMsg"), &value, 200));
}

void tst_CirraDevices::relay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.txt"));
    QFile source(path);
    QVERIFY(source.open(QIODevice::WriteOnly) && source.write("A's edited text") > 0);
    source.close();

    QVERIFY(m_b->sendCall(QStringLiteral("relay-1"), QStringLiteral("cirraIpcCall"),
                          ipc("batchQueryFilesTags", {{"device_id", "dev-a"}, {"uuid", "doc-1"}})));
    QJsonObject ask;
    QVERIFY(nextBroadcast(*m_a, QStringLiteral("relayFileLabel"), &ask));
    QCOMPARE(ask.value(QStringLiteral("uuid")).toString(), QStringLiteral("doc-1"));
    // A second relay of the same document while the first runs is refused.
    KCirraClient b2(m_cirrad->socketPath());
    QVERIFY(b2.open(hello("alice", "dev-b")));
    QCOMPARE(callIpc(b2, ipc("batchQueryFilesTags", {{"device_id", "dev-a"}, {"uuid", "doc-1"}})), 409);

    const std::string relayId = ask.value(QStringLiteral("relayId")).toString().toStdString();
    QCOMPARE(callIpc(*m_a, ipc("relayFileLabelReady", {{"relayId", relayId}, {"path", path.toStdString()}})), 0);
    CirraReply reply;
    QVERIFY(awaitReply(*m_b, &reply));
    QCOMPARE(reply.requestId, std::string("relay-1"));
    CirraIpcResult result;
    QVERIFY(KCirraCodec::decode(reply.record, &result));
    QCOMPARE(result.state, 0);
    const QString copy = QJsonDocument::fromJson(QByteArray::fromStdString(
        result.resultString))[QStringLiteral("data")][QStringLiteral("path")]
                             .toString();
    QVERIFY2(copy.startsWith(m_cirrad->stateDir() + QStringLiteral("/relay/alice/dev-b/")), qPrintable(copy));
    QFile copied(copy);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("A's edited text"));
    QJsonObject done;
    QVERIFY(nextBroadcast(*m_a, QStringLiteral("relayFileLabelDone"), &done));
    QVERIFY(done.value(QStringLiteral("ok")).toBool());
}

void tst_CirraDevices::relayFailures_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("source shell killed before handing over") << QStringLiteral("close");
    QTest::newRow("source cannot save") << QStringLiteral("error");
    QTest::newRow("source hands over a FIFO") << QStringLiteral("fifo");
    QTest::newRow("document not open on the device") << QStringLiteral("unknown");
}

void tst_CirraDevices::relayFailures()
{
    QFETCH(QString, how);
    const std::string uuid = how == QLatin1String("unknown") ? "doc-9" : "doc-1";
    QVERIFY(m_b->sendCall(QStringLiteral("relay-1"), QStringLiteral("cirraIpcCall"),
                          ipc("batchQueryFilesTags", {{"device_id", "dev-a"}, {"uuid", uuid}})));
    QJsonObject ask;
    QTemporaryDir dir;
    if (how != QLatin1String("unknown")) {
        QVERIFY(nextBroadcast(*m_a, QStringLiteral("relayFileLabel"), &ask));
        const std::string relayId = ask.value(QStringLiteral("relayId")).toString().toStdString();
        if (how == QLatin1String("close")) {
            m_a->close();
        } else if (how == QLatin1String("error")) {
            QCOMPARE(callIpc(*m_a, ipc("relayFileLabelReady", {{"relayId", relayId}, {"error", "disk full"}})), 0);
        } else {
            const QString fifo = dir.filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            QCOMPARE(callIpc(*m_a, ipc("relayFileLabelReady", {{"relayId", relayId}, {"path", fifo.toStdString()}})),
                     422);
        }
    }
    CirraReply reply;
    QVERIFY(awaitReply(*m_b, &reply));
    CirraIpcResult result;
    QVERIFY(KCirraCodec::decode(reply.record, &result));
    QCOMPARE(result.state, how == QLatin1String("unknown") ? 404 : 500);
    QVERIFY(QDir(m_cirrad->stateDir() + QStringLiteral("/relay/alice/dev-b")).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(tst_CirraDevices)
#include "tst_cirradevices.moc"
