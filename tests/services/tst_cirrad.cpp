// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// cirrad as a process, spoken to over its socket byte by byte.
#include "kcirradprocess.h"
#include "kcirratestshell.h"
#include "cirrawire.h"

#include <kcirracodec.h>
#include <kcirrapaths.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QtTest>

#include <sys/stat.h>

using namespace qoz::cirra;
using W = CirraWire;

namespace {

CirraHello shellHello(const std::string &user, const std::string &device = "dev-1")
{
    return KCirraTestShell::hello(user, device);
}

const KCirraRecord kTransferHelper = KCirraTestShell::ipc("showTransferHelperDlg");

// Waits until the service closes `socket`; false when it stays open.
bool closedByService(QLocalSocket *socket, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (socket->state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        socket->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        socket->readAll();
    }
    return socket->state() != QLocalSocket::ConnectedState;
}

} // namespace

class tst_Cirrad : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void socketIsPrivate();
    void badInputClosesConnection_data();
    void badInputClosesConnection();
    void refusedCalls_data();
    void refusedCalls();
    void answers_data();
    void answers();

private:
    std::unique_ptr<KCirradProcess> m_cirrad;
};

void tst_Cirrad::init()
{
    m_cirrad = std::make_unique<KCirradProcess>();
    QString error;
    QVERIFY2(m_cirrad->start({QStringLiteral("--hello-timeout-ms"), QStringLiteral("500")}, &error),
             qPrintable(error));
}

void tst_Cirrad::cleanup()
{
    m_cirrad.reset();
}

// Only this user reaches the socket.
void tst_Cirrad::socketIsPrivate()
{
    const QList<QPair<QString, mode_t>> expected{{m_cirrad->socketPath(), 0600}, {KCirraPaths::runtimeDir(), 0700}};
    for (const auto &entry : expected) {
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(entry.first).constData(), &st), 0);
        QVERIFY2((st.st_mode & 0777) == entry.second, qPrintable(entry.first));
    }
}

void tst_Cirrad::badInputClosesConnection_data()
{
    QTest::addColumn<bool>("sayHello");
    QTest::addColumn<QByteArray>("bytes");

    CirraFrame reply;
    reply.__set_reply(CirraReply());
    CirraFrame hello;
    hello.__set_hello(shellHello("alice"));
    CirraFrame call;
    call.__set_call(CirraCall());
    call.call.functionName = "cirraIpcCall";

    QTest::newRow("4 GiB length prefix") << true << QByteArray("\xff\xff\xff\xff", 4);
    QTest::newRow("zero length") << true << QByteArray(4, '\0');
    QTest::newRow("garbage") << true << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    QTest::newRow("undecodable payload") << true << cirraPrefixed("\x0b\x00\x01\xff\xff");
    QTest::newRow("reply from a client") << true << cirraFrameBytes(reply);
    QTest::newRow("second hello") << true << cirraFrameBytes(hello);
    QTest::newRow("call before hello") << false << cirraFrameBytes(call);
    CirraFrame badUser;
    badUser.__set_hello(shellHello("../../etc"));
    QTest::newRow("user id that is a path") << false << cirraFrameBytes(badUser);
    QTest::newRow("client that never speaks") << false << QByteArray();
}

void tst_Cirrad::badInputClosesConnection()
{
    QFETCH(bool, sayHello);
    QFETCH(QByteArray, bytes);

    KCirraClient client(m_cirrad->socketPath());
    QVERIFY(sayHello ? client.open(shellHello("alice")) : client.connectOnly());
    if (!bytes.isEmpty())
        QVERIFY(client.writeRaw(bytes));
    // The hello time-out is 500 ms; everything else is refused at once.
    QVERIFY(closedByService(client.socket(), 3000));
    // ...and the service goes on serving others.
    KCirraClient other(m_cirrad->socketPath());
    QVERIFY(other.open(shellHello("bob")));
    CirraReply reply;
    QVERIFY(other.call(QStringLiteral("cirraIpcCall"), kTransferHelper, &reply));
    QVERIFY(reply.ok);
}

void tst_Cirrad::refusedCalls_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("recordType");
    QTest::addColumn<std::string>("record");
    QTest::addColumn<QString>("error");

    std::string arg;
    KCirraCodec::encode(*kTransferHelper.as<CirraIpcArg>(), &arg);

    const auto row = [](const char *name, const char *function, const char *type, const std::string &record,
                        const char *error) {
        QTest::newRow(name) << QString::fromLatin1(function) << QByteArray(type) << record << QString::fromLatin1(error);
    };
    row("unknown function", "formatDisk", "CirraIpcArg", arg, "unknown function");
    row("record type the function does not take", "getStorageInfo", "CirraIpcArg", arg, "takes");
    row("unknown record type", "cirraIpcCall", "NoSuchArg", arg, "takes");
    row("required field missing", "getStorageInfo", "GetStorageInfoArg", W().stop().bytes, "bad GetStorageInfoArg");
}

void tst_Cirrad::refusedCalls()
{
    QFETCH(QString, function);
    QFETCH(QByteArray, recordType);
    QFETCH(std::string, record);
    QFETCH(QString, error);

    KCirraClient client(m_cirrad->socketPath());
    QVERIFY(client.open(shellHello("alice")));
    CirraFrame frame;
    frame.__set_call(CirraCall());
    frame.call.requestId = "r1";
    frame.call.functionName = function.toStdString();
    frame.call.recordType = recordType.toStdString();
    frame.call.record = record;
    QVERIFY(client.writeRaw(cirraFrameBytes(frame)));
    CirraFrame answer;
    QVERIFY2(client.readFrame(&answer, 3000), qPrintable(client.errorString()));
    QVERIFY(answer.__isset.reply);
    QCOMPARE(answer.reply.requestId, std::string("r1"));
    QVERIFY(!answer.reply.ok);
    QVERIFY2(QString::fromStdString(answer.reply.error).contains(error), answer.reply.error.c_str());
    // The connection stays usable.
    CirraReply reply;
    QVERIFY(client.call(QStringLiteral("cirraIpcCall"), kTransferHelper, &reply));
    QVERIFY(reply.ok);
}

void tst_Cirrad::answers_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("function");
    QTest::addColumn<KCirraRecord>("argument");
    QTest::addColumn<int>("state");

    GetStorageInfoArg own;
    own.userId = "alice";
    GetStorageInfoArg other;
    other.userId = "bob";
    GetCloudFileInfoArg device;
    device.extraParam = {{"type", "device"}, {"deviceUuid", "dev-1"}};
    GetCloudFileInfoArg unknownDevice;
    unknownDevice.extraParam = {{"type", "device"}, {"deviceUuid", "dev-9"}};
    GetCloudFileInfoArg pathDevice;
    pathDevice.extraParam = {{"type", "device"}, {"deviceUuid", "../dev-1"}};

    // Control requests "method key=value ..." separated by ';', then one call.
    const auto row = [](const char *name, const char *setup, const char *function, const KCirraRecord &arg, int state) {
        QTest::newRow(name) << QString::fromLatin1(setup).split(QLatin1Char(';'), Qt::SkipEmptyParts)
                            << QString::fromLatin1(function) << arg << state;
    };
    row("transfer helper", "", "cirraIpcCall", kTransferHelper, 0);
    row("unknown method", "", "cirraIpcCall", KCirraTestShell::ipc("formatDisk"), 404);
    row("method while logged out", "logout user=alice", "cirraIpcCall", kTransferHelper, 401);
    row("own storage", "setStorage user=alice used=5 total=9", "getStorageInfo", KCirraRecord::make(own), 0);
    row("another user's storage", "", "getStorageInfo", KCirraRecord::make(other), 403);
    row("own device folder", "", "getCloudFileInfo", KCirraRecord::make(device), 0);
    row("unknown device", "", "getCloudFileInfo", KCirraRecord::make(unknownDevice), 404);
    row("device id that is a path", "", "getCloudFileInfo", KCirraRecord::make(pathDevice), 422);
}

void tst_Cirrad::answers()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, function);
    QFETCH(KCirraRecord, argument);
    QFETCH(int, state);

    KCirraClient client(m_cirrad->socketPath());
    QVERIFY(client.open(shellHello("alice", "dev-1")));
    for (const QString &request : qAsConst(setup)) {
        const QStringList words = request.split(QLatin1Char(' '));
        QMap<QString, QString> args;
        for (const QString &word : words.mid(1))
            args.insert(word.section(QLatin1Char('='), 0, 0), word.section(QLatin1Char('='), 1));
        QVERIFY(m_cirrad->control(words.first(), args));
    }
    client.takeEvents();

    CirraReply reply;
    KCirraRecord answer;
    QVERIFY2(client.call(function, argument, &reply, &answer), qPrintable(client.errorString()));
    QVERIFY(reply.ok);
    QCOMPARE(QByteArray::fromStdString(reply.recordType), KCirraRecords::answerType(function));
    if (const auto *r = answer.as<CirraIpcResult>()) {
        QCOMPARE(r->state, state);
    } else if (const auto *r = answer.as<GetStorageInfoResult>()) {
        QCOMPARE(r->state, state);
        if (state == 0)
            QVERIFY(r->usedSize == 5 && r->totalSize == 9);
    } else if (const auto *r = answer.as<GetCloudFileInfoResult>()) {
        QCOMPARE(r->state, state);
        if (state == 0) {
            QCOMPARE(r->itemInfo.name, std::string("Device dev-1"));
            QVERIFY(QDir(QString::fromStdString(r->path)).exists());
            QVERIFY(QString::fromStdString(r->path).startsWith(m_cirrad->stateDir()));
        }
    } else {
        QFAIL("no answer record");
    }
}

QTEST_GUILESS_MAIN(tst_Cirrad)
#include "tst_cirrad.moc"
