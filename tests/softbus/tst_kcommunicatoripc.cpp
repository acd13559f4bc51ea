// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The SoftBus transport: IPC completions, broadcast lines, the registries,
// reconnection, the transport-less communicator and delivery on a thread.
#include "callbacktothreadof.h"
#include "kcommunicator.h"
#include "kcommunicatoripc.h"
#include "recordlogtail.h"
#include "softbusrecordtext.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QtTest>

using namespace SoftBus;
using namespace SoftBus::Business;
using Protocol::Internal::CommunicationContent;

namespace {

constexpr qint64 kCobId = 7;

struct Call
{
    int code;
    CommunicationContent content;
};

// A callback that records its calls and answers `answer`.
ContentCallback recorder(QList<Call> *calls, Export::CobLifeState answer = Export::Alive)
{
    return [calls, answer](int code, const CommunicationContent &content) {
        calls->append({code, content});
        return answer;
    };
}

CirraIpcResult ipcResult(int state, const char *ret)
{
    CirraIpcResult result;
    result.state = state;
    if (ret)
        result.resultMap["__return__"] = ret;
    return result;
}

// Completes a request the way the host proxy does: the named slot, by name.
void complete(KCommunicatorIpc *ipc, const char *slot, bool ok, const QString &id, const CirraIpcResult &result)
{
    QVERIFY(QMetaObject::invokeMethod(ipc, slot, Qt::DirectConnection, Q_ARG(bool, ok), Q_ARG(QString, id),
                                      Q_ARG(CirraIpcResult, result)));
}

// A line as the proxy's event object hands it over.
void broadcast(const QString &line)
{
    Q_EMIT zelvaApp->cloudSvrProxy()->cirraEventObject()->signal_broadcast(line);
}

const QString kForced = QStringLiteral("force=true&act=broadcast&SoftBusEvent=");

// The Base64 of a JSON event, with or without "=" padding (JSON may end in blanks).
QString encode(const QJsonObject &event, bool padded)
{
    QByteArray json = QJsonDocument(event).toJson(QJsonDocument::Compact);
    while ((json.size() % 3 != 0) != padded)
        json.append(' ');
    return QString::fromLatin1(json.toBase64());
}

QJsonObject sendResult(qint64 cobId, int code = 0, bool isLast = false)
{
    CommunicationContent content;
    content.cobId = cobId;
    content.operation = {2, 2};
    content.data = QStringLiteral("payload");
    content.isLast = isLast;
    return {{QStringLiteral("__method__"), QStringLiteral("send")},
            {QStringLiteral("__return__"), Protocol::recordToText(content)},
            {QStringLiteral("__code__"), code}};
}

QJsonObject notice(int ability, int action)
{
    const ChannelAbility::Operation op{ability, action};
    CommunicationContent content;
    content.operation = op;
    content.data = QStringLiteral("[]");
    return {{QStringLiteral("__method__"), QStringLiteral("listenMessage")},
            {QStringLiteral("__action__"), Protocol::recordToText(op)},
            {QStringLiteral("__return__"), Protocol::recordToText(content)}};
}

} // namespace

class tst_KCommunicatorIpc : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void ipcCompletion_data();
    void ipcCompletion();
    void broadcastLines_data();
    void broadcastLines();
    void resultLifetime_data();
    void resultLifetime();
    void listenersInOrder();
    void reconnectionDropsEverything();
    void withoutTransport();
    void callbackToThread_data();
    void callbackToThread();

private:
    // One request; returns the id the proxy gave it (ids are "cr-N", in order).
    QString sendOne(KCommunicatorIpc *ipc, QList<Call> *calls, Export::CobLifeState answer = Export::Alive);
    QString listenOne(KCommunicatorIpc *ipc, ChannelAbility::Operation op, QList<Call> *calls,
                      Export::CobLifeState answer = Export::Alive);
};

void tst_KCommunicatorIpc::initTestCase()
{
    KCommunicatorIpc ipc;
    QVERIFY(ipc.qt_metacast("IKCommunicator"));
    QVERIFY(ipc.qt_metacast("SoftBus::Business::KCommunicatorIpc"));
}

// A probe call learns the proxy's next id without a receiver.
static QString nextRequestId()
{
    qoz::cirra::CirraIpcArg probe;
    const QString before = zelvaApp->cloudSvrProxy()->asyncCall(QStringLiteral("cirraIpcCall"), {&probe, "CirraIpcArg"},
                                                                nullptr, QString());
    return QStringLiteral("cr-%1").arg(before.mid(3).toInt() + 1);
}

QString tst_KCommunicatorIpc::sendOne(KCommunicatorIpc *ipc, QList<Call> *calls, Export::CobLifeState answer)
{
    CommunicationContent request;
    request.operation = {2, 2};
    const QString id = nextRequestId();
    return ipc->send(request, recorder(calls, answer)) == IKCommunicator::Accepted ? id : QString();
}

QString tst_KCommunicatorIpc::listenOne(KCommunicatorIpc *ipc, ChannelAbility::Operation op, QList<Call> *calls,
                                        Export::CobLifeState answer)
{
    const QString id = nextRequestId();
    return ipc->listenMessage(op, recorder(calls, answer)) == IKCommunicator::Accepted ? id : QString();
}

void tst_KCommunicatorIpc::ipcCompletion_data()
{
    QTest::addColumn<bool>("listen");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("ret");
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("send, proxy failed") << false << false << 0 << QByteArray("7") << QList<int>{0x01000000};
    QTest::newRow("send, service state 5") << false << true << 5 << QByteArray("7") << QList<int>{0x01000005};
    QTest::newRow("send, no __return__") << false << true << 0 << QByteArray() << QList<int>{0x01000000};
    QTest::newRow("send, __return__ not decimal") << false << true << 0 << QByteArray("0x7") << QList<int>{0x01000000};
    QTest::newRow("send, accepted: waits") << false << true << 0 << QByteArray("7") << QList<int>{};
    QTest::newRow("listen, proxy failed") << true << false << 0 << QByteArray() << QList<int>{0x01000000};
    QTest::newRow("listen, service state 401") << true << true << 401 << QByteArray() << QList<int>{0x01000191};
    QTest::newRow("listen, accepted: waits") << true << true << 0 << QByteArray() << QList<int>{};
}

void tst_KCommunicatorIpc::ipcCompletion()
{
    QFETCH(bool, listen);
    QFETCH(bool, ok);
    QFETCH(int, state);
    QFETCH(QByteArray, ret);
    QFETCH(QList<int>, codes);

    KCommunicatorIpc ipc;
    QList<Call> calls;
    const QString id = listen ? listenOne(&ipc, {1, 3}, &calls) : sendOne(&ipc, &calls);
    QVERIFY(!id.isEmpty());
    complete(&ipc, listen ? "ipc_listenMessage" : "ipc_send", ok, id,
             ipcResult(state, ret.isEmpty() ? nullptr : ret.constData()));
    // A second completion of the same id is ignored.
    complete(&ipc, listen ? "ipc_listenMessage" : "ipc_send", false, id, ipcResult(0, nullptr));
    QList<int> got;
    for (const Call &c : qAsConst(calls)) {
        got.append(c.code);
        QCOMPARE(Protocol::recordToText(c.content), Protocol::recordToText(CommunicationContent()));
    }
    QCOMPARE(got, codes);
}

void tst_KCommunicatorIpc::broadcastLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("log");

    const auto row = [](const char *name, const QString &line, const QList<int> &codes, const char *log = "") {
        QTest::newRow(name) << line << codes << QString::fromLatin1(log);
    };
    const QString act = QStringLiteral("act=broadcast&SoftBusEvent=");
    const QString &forced = kForced;
    const auto method = [](const char *name, const QJsonObject &rest = {}) {
        QJsonObject event = rest;
        event.insert(QStringLiteral("__method__"), QString::fromLatin1(name));
        return encode(event, true);
    };
    const char *noReturn = "send result without a readable __return__";
    const QString padded = encode(sendResult(kCobId), true);
    QVERIFY(padded.endsWith(QLatin1Char('=')));
    QJsonObject asObject = sendResult(kCobId);
    asObject.insert(QStringLiteral("__return__"),
                    QJsonDocument::fromJson(asObject.value(QStringLiteral("__return__")).toString().toUtf8()).object());

    row("padded Base64, exact pairs: skipped", act + padded, {});
    row("padded Base64 with force=true", act + padded + QStringLiteral("&force=true"), {0});
    row("unpadded Base64, exact pairs",
        QStringLiteral("x=&act=broadcast&=y&SoftBusEvent=") + encode(sendResult(kCobId), false), {0});
    row("padding stripped, exact pairs", act + padded.section(QLatin1Char('='), 0, 0), {0});
    row("later duplicate wins", forced + QStringLiteral("%%&SoftBusEvent=") + padded, {0});
    row("content as an object", forced + encode(asObject, true), {0});
    QJsonObject beside = asObject;
    beside.insert(QStringLiteral("__return__"), QJsonObject{{QStringLiteral("cobId"), QString::number(kCobId)}});
    row("data beside the event", forced + encode(beside, true) + QStringLiteral("&SoftBusData=cGF5bG9hZA=="), {0});
    row("data beside not Base64", forced + encode(beside, true) + QStringLiteral("&SoftBusData=*"), {},
        "SoftBusData is not Base64: *");
    asObject.insert(QStringLiteral("__return__"), QJsonObject{{QStringLiteral("cobId"), true}});
    row("content object unreadable", forced + encode(asObject, true), {}, noReturn);
    row("service code passes through", forced + encode(sendResult(kCobId, 77), true), {77});
    row("action word is case-sensitive", QStringLiteral("act=Broadcast&force=true&SoftBusEvent=") + padded, {});
    row("label sync broadcast: not ours", QStringLiteral("act=broadcast&fileLabelDeviceStatus={}"), {});
    row("empty SoftBusEvent", act, {});
    row("unknown cobId", forced + encode(sendResult(kCobId + 1), true), {});
    row("not Base64", act + QStringLiteral("*not*"), {}, "SoftBusEvent is not Base64 text: *not*");
    row("no __method__", act + QStringLiteral("WzFd"), {}, "SoftBusEvent without __method__: [1]");
    row("unknown method", forced + method("ping"), {},
        "[info] [ksoftbusbusiness] KCommunicatorIpc::onNotifyBroadcast : Unknown SoftBus Listen Result: ping");
    row("unreadable __return__", forced + method("send", {{QStringLiteral("__return__"), 5}}), {}, noReturn);
    row("unreadable __action__",
        forced + method("listenMessage", {{QStringLiteral("__action__"), QStringLiteral("1,3")}}), {},
        "listen notice without a readable __action__: 1,3");
}

void tst_KCommunicatorIpc::broadcastLines()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, codes);
    QFETCH(QString, log);

    KCommunicatorIpc ipc;
    QList<Call> calls;
    const QString id = sendOne(&ipc, &calls);
    complete(&ipc, "ipc_send", true, id, ipcResult(0, "7"));
    RecordLogTail tail;
    broadcast(line);

    QList<int> got;
    for (const Call &c : qAsConst(calls)) {
        got.append(c.code);
        QCOMPARE(c.content.cobId, c.code == 0 ? kCobId : -1);
        QCOMPARE(c.content.data, c.code == 0 ? QStringLiteral("payload") : QString());
    }
    QCOMPARE(got, codes);
    const QStringList lines = tail.lines().filter(QStringLiteral("[ksoftbusbusiness]"));
    if (log.isEmpty())
        QCOMPARE(lines, QStringList());
    else
        QVERIFY2(lines.size() == 1 && lines.first().contains(log), qPrintable(lines.join(QLatin1Char('\n'))));
}

void tst_KCommunicatorIpc::resultLifetime_data()
{
    QTest::addColumn<bool>("isLast");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("calls");

    QTest::newRow("alive, not last: every result") << false << int(Export::Alive) << 3;
    QTest::newRow("last result closes") << true << int(Export::Alive) << 1;
    QTest::newRow("finished closes") << false << int(Export::Finished) << 1;
}

void tst_KCommunicatorIpc::resultLifetime()
{
    QFETCH(bool, isLast);
    QFETCH(int, answer);
    QFETCH(int, calls);

    KCommunicatorIpc ipc;
    QList<Call> got;
    complete(&ipc, "ipc_send", true, sendOne(&ipc, &got, Export::CobLifeState(answer)), ipcResult(0, "7"));
    for (int i = 0; i < 3; ++i)
        broadcast(kForced + encode(sendResult(kCobId, 0, isLast), true));
    QCOMPARE(got.size(), calls);
}

void tst_KCommunicatorIpc::listenersInOrder()
{
    KCommunicatorIpc ipc;
    QList<Call> first;
    QList<Call> second;
    QList<Call> other;
    complete(&ipc, "ipc_listenMessage", true, listenOne(&ipc, {1, 3}, &first, Export::Finished), ipcResult(0, nullptr));
    complete(&ipc, "ipc_listenMessage", true, listenOne(&ipc, {1, 3}, &second), ipcResult(0, nullptr));
    complete(&ipc, "ipc_listenMessage", true, listenOne(&ipc, {1, 6}, &other), ipcResult(0, nullptr));
    for (int i = 0; i < 2; ++i)
        broadcast(kForced + encode(notice(1, 3), true));
    QCOMPARE(first.size(), 1);
    QCOMPARE(second.size(), 2);
    QCOMPARE(second.first().content.data, QStringLiteral("[]"));
    QCOMPARE(other.size(), 0);
}

void tst_KCommunicatorIpc::reconnectionDropsEverything()
{
    KCommunicatorIpc ipc;
    QList<Call> calls;
    const QString pending = sendOne(&ipc, &calls);
    complete(&ipc, "ipc_send", true, sendOne(&ipc, &calls), ipcResult(0, "7"));
    complete(&ipc, "ipc_listenMessage", true, listenOne(&ipc, {1, 3}, &calls), ipcResult(0, nullptr));
    const QString pendingListen = listenOne(&ipc, {1, 6}, &calls);

    RecordLogTail tail;
    Q_EMIT zelvaApp->cloudSvrProxy()->cirraEventObject()->SocketConnected();
    // The communicator proxy takes over and registers its standing listeners again.
    QVERIFY(tail.lines().filter(QStringLiteral("KCommunicatorProxy::reRegisterListen : re-register listen")).size()
            == 1);

    complete(&ipc, "ipc_send", false, pending, ipcResult(0, nullptr));
    complete(&ipc, "ipc_listenMessage", false, pendingListen, ipcResult(0, nullptr));
    broadcast(kForced + encode(sendResult(kCobId), true));
    broadcast(kForced + encode(notice(1, 3), true));
    QCOMPARE(calls.size(), 0);
}

void tst_KCommunicatorIpc::withoutTransport()
{
    KCommunicator communicator;
    QList<Call> calls;
    QCOMPARE(communicator.send(CommunicationContent(), recorder(&calls)), 0);
    QCOMPARE(communicator.listenMessage({1, 3}, recorder(&calls)), 0);
    QCOMPARE(calls.size(), 2);
    for (const Call &c : qAsConst(calls)) {
        QCOMPARE(c.code, 1);
        QCOMPARE(Protocol::recordToText(c.content), Protocol::recordToText(CommunicationContent()));
    }
}

void tst_KCommunicatorIpc::callbackToThread_data()
{
    QTest::addColumn<bool>("onWorker");
    QTest::addColumn<bool>("deleteTarget"); // the wrapper then answers Finished
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("runs");
    QTest::newRow("own thread, direct") << false << false << int(Export::Alive) << 2;
    QTest::newRow("worker thread, queued") << true << false << int(Export::Alive) << 2;
    QTest::newRow("finished: suppressed, still registered") << false << false << int(Export::Finished) << 1;
    QTest::newRow("target gone") << true << true << int(Export::Alive) << 0;
}

void tst_KCommunicatorIpc::callbackToThread()
{
    QFETCH(bool, onWorker);
    QFETCH(bool, deleteTarget);
    QFETCH(int, answer);
    const int wrapperAnswer = deleteTarget ? Export::Finished : Export::Alive;
    const QList<int> wrapperAnswers{wrapperAnswer, wrapperAnswer};
    QFETCH(int, runs);

    QThread worker;
    auto *target = new QObject;
    if (onWorker) {
        worker.start();
        target->moveToThread(&worker);
    }
    QAtomicInt ran;
    QThread *ranOn = nullptr;
    QString argsSeen;
    auto wrapped = callbackToThreadOf(target, [&](int code, const QString &text) {
        ranOn = QThread::currentThread();
        argsSeen = QString::number(code) + text;
        ran.ref();
        return Export::CobLifeState(answer);
    });
    auto oneShot = callbackToThreadOf(target, [&](int) { ran.ref(); });
    if (deleteTarget) {
        QMetaObject::invokeMethod(
            target, [target] { delete target; }, Qt::BlockingQueuedConnection);
        oneShot(1);
    }
    QList<int> answers;
    for (int i = 0; i < wrapperAnswers.size(); ++i) {
        answers.append(wrapped(5, QStringLiteral("t")));
        // Let a queued call finish before the next delivery.
        QTRY_COMPARE(ran.loadAcquire(), std::min(i + 1, runs));
    }
    QCOMPARE(answers, wrapperAnswers);
    QCOMPARE(ran.loadAcquire(), runs);
    if (runs) {
        QCOMPARE(ranOn, onWorker ? &worker : QThread::currentThread());
        QCOMPARE(argsSeen, QStringLiteral("5t"));
    }
    if (!deleteTarget)
        QMetaObject::invokeMethod(
            target, [target] { delete target; }, onWorker ? Qt::BlockingQueuedConnection : Qt::DirectConnection);
    worker.quit();
    worker.wait();
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KCommunicatorIpc test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kcommunicatoripc.moc"
