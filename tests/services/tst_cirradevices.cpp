// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// cirrad's device and document registry and its relay, spoken to by three
// shells over the socket: A and B of one user, C of another.
#include "kcirradprocess.h"
#include "kcirratestshell.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace qoz::cirra;

namespace {

// The "tags" text of a report of documents {uuid, name}.
std::string tagsJson(std::initializer_list<std::pair<const char *, const char *>> docs)
{
    std::string tags;
    for (const auto &d : docs)
        tags += std::string(tags.empty() ? "[" : ",") + R"({"uuid":")" + d.first + R"(","name":")" + d.second
                + R"(","suffix":"txt","type":"local","ftype":"txt"})";
    return tags + "]";
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
    void twoProcessesOfOneDeviceMerge();
    void badReportChangesNothing_data();
    void badReportChangesNothing();
    void deviceRequests_data();
    void deviceRequests();
    void relayFailures_data();
    void relayFailures();

private:
    QStringList tagsOfA() { return tagNames(m_b->device(QStringLiteral("dev-a"))); }

    std::unique_ptr<KCirradProcess> m_cirrad;
    std::unique_ptr<KCirraTestShell> m_a, m_b, m_c;
};

void tst_CirraDevices::init()
{
    m_cirrad = std::make_unique<KCirradProcess>();
    QString error;
    QVERIFY2(m_cirrad->start({}, &error), qPrintable(error));
    m_a = std::make_unique<KCirraTestShell>(m_cirrad->socketPath(), "alice", "dev-a");
    m_b = std::make_unique<KCirraTestShell>(m_cirrad->socketPath(), "alice", "dev-b");
    m_c = std::make_unique<KCirraTestShell>(m_cirrad->socketPath(), "carol", "dev-c");
    QVERIFY(m_a->isOpen() && m_b->isOpen() && m_c->isOpen());
    // B follows the labels, as an open panel does.
    QCOMPARE(m_b->call("sendFileLabelOnlineMsg", {{"data", R"({"command":"get_labels","app_id":"qoz-office"})"}}), 0);
    QCOMPARE(m_a->call("reportFileLabels", {{"tags", tagsJson({{"doc-1", "plan.txt"}})}}), 0);
}

void tst_CirraDevices::cleanup()
{
    m_a.reset();
    m_b.reset();
    m_c.reset();
    m_cirrad.reset();
}

void tst_CirraDevices::twoProcessesOfOneDeviceMerge()
{
    // B hears of A's documents; C, another user, does not see A at all.
    QJsonObject notice;
    QVERIFY(m_b->broadcast("fileLabelMessageNotice", &notice));
    QCOMPARE(notice.value(QStringLiteral("device_id")).toString(), QStringLiteral("dev-a"));
    QVERIFY(m_c->device(QStringLiteral("dev-a")).isEmpty());
    KCirraTestShell second(m_cirrad->socketPath(), "alice", "dev-a");
    QCOMPARE(second.call("reportFileLabels", {{"tags", tagsJson({{"doc-1", "plan.txt"}, {"doc-2", "memo.txt"}})}}), 0);
    QCOMPARE(tagsOfA(), (QStringList{QStringLiteral("memo.txt"), QStringLiteral("plan.txt")}));
    second.client().close();
    QTRY_COMPARE(tagsOfA(), QStringList{QStringLiteral("plan.txt")});
    QCOMPARE(m_b->status(QStringLiteral("dev-a")), 1);
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
    QCOMPARE(m_a->call("reportFileLabels", {{"tags", tags.toStdString()}}), 422);
    QCOMPARE(tagsOfA(), QStringList{QStringLiteral("plan.txt")});
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
    QCOMPARE(m_b->call(method.toStdString(), args, nullptr, nameSpace.toStdString()), state);
    // Nobody was logged out or lost a document.
    QCOMPARE(m_c->status(QStringLiteral("dev-c")), 1);
    QCOMPARE(m_b->status(QStringLiteral("dev-a")), 1);
    QCOMPARE(tagsOfA(), QStringList{QStringLiteral("plan.txt")});
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
    QVERIFY(
        m_b->client().sendCall(QStringLiteral("relay-1"), QStringLiteral("cirraIpcCall"),
                               KCirraTestShell::ipc("batchQueryFilesTags", {{"device_id", "dev-a"}, {"uuid", uuid}})));
    QJsonObject ask;
    QTemporaryDir dir;
    if (how != QLatin1String("unknown")) {
        QVERIFY(m_a->broadcast("relayFileLabel", &ask));
        const std::string relayId = ask.value(QStringLiteral("relayId")).toString().toStdString();
        if (how == QLatin1String("close")) {
            m_a->client().close();
        } else if (how == QLatin1String("error")) {
            QCOMPARE(m_a->call("relayFileLabelReady", {{"relayId", relayId}, {"error", "disk full"}}), 0);
        } else {
            const QString fifo = dir.filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            QCOMPARE(m_a->call("relayFileLabelReady", {{"relayId", relayId}, {"path", fifo.toStdString()}}), 422);
        }
    }
    CirraReply reply;
    CirraIpcResult result;
    QVERIFY(m_b->awaitResult(&reply, &result));
    QCOMPARE(result.state, how == QLatin1String("unknown") ? 404 : 500);
    QVERIFY(QDir(m_cirrad->stateDir() + QStringLiteral("/relay/alice/dev-b")).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(tst_CirraDevices)
#include "tst_cirradevices.moc"
