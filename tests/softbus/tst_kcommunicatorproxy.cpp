// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// KCommunicatorProxy over a recording communicator: operations and their
// (ability, action), one-shot answers, fan-out of keyed and operation
// notices, the order of re-registration.
#include "callbackiflive.h"
#include "kcommunicatorproxy.h"
#include "softbusrecordtext.h"

#include <QtTest>

using namespace SoftBus;
using namespace SoftBus::Business;
using Protocol::Internal::CommunicationContent;

namespace {

struct Request
{
    bool listen;
    ChannelAbility::Operation op;
    QString data;
    ContentCallback callback;
};

class RecordingCommunicator : public IKCommunicator
{
public:
    explicit RecordingCommunicator(std::shared_ptr<QList<Request>> log)
        : m_log(std::move(log))
    {
    }
    int send(const CommunicationContent &content, ContentCallback callback) override
    {
        m_log->append({false, content.operation, content.data, std::move(callback)});
        return Accepted;
    }
    int listenMessage(const ChannelAbility::Operation &operation, ContentCallback callback) override
    {
        m_log->append({true, operation, QString(), std::move(callback)});
        return Accepted;
    }

private:
    std::shared_ptr<QList<Request>> m_log;
};

CommunicationContent withData(const QString &data)
{
    CommunicationContent c;
    c.data = data;
    return c;
}

QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list << QString::fromUtf8(item);
    return list;
}

QString opText(const Request &h)
{
    return QStringLiteral("%1%2,%3 %4")
        .arg(h.listen ? QStringLiteral("listen ") : QString())
        .arg(h.op.ability)
        .arg(h.op.action)
        .arg(h.data);
}

QStringList opTexts(const QList<Request> &requests)
{
    QStringList list;
    for (const Request &h : requests)
        list << opText(h);
    return list;
}

} // namespace

class tst_KCommunicatorProxy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void oneShotAnswers_data();
    void oneShotAnswers();
    void discoveryModes_data();
    void discoveryModes();
    void operationListenersShareOneRegistration();
    void fileTaskFanOut();
    void reRegistrationOrder();
    void callbackIfLiveFollowsItsOwner();

private:
    std::shared_ptr<QList<Request>> m_log;
    std::unique_ptr<KCommunicatorProxy> m_proxy;
};

void tst_KCommunicatorProxy::init()
{
    m_log = std::make_shared<QList<Request>>();
    m_proxy.reset(new KCommunicatorProxy(std::make_unique<RecordingCommunicator>(m_log)));
}

void tst_KCommunicatorProxy::oneShotAnswers_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("expectedCode");
    QTest::addColumn<QString>("expectedName");

    const QString device = QStringLiteral(R"({"code":0,"msg":"","data":{"identify_info":{"device_name":"Desk"}}})");
    QTest::newRow("answer") << 0 << device << 0 << QStringLiteral("Desk");
    QTest::newRow("undecodable") << 0 << QStringLiteral("{nope") << int(Error::BadAnswer) << QString();
    QTest::newRow("wrong type") << 0 << QStringLiteral(R"({"code":"0"})") << int(Error::BadAnswer) << QString();
    QTest::newRow("ipc failure") << int(Error::IpcFailed | 5) << device << int(Error::IpcFailed | 5) << QString();
    QTest::newRow("service code") << 404 << QString() << 404 << QString();
}

void tst_KCommunicatorProxy::oneShotAnswers()
{
    QFETCH(int, code);
    QFETCH(QString, data);
    QList<QPair<int, QString>> answers;
    const int sent = m_proxy->getCurrentDeviceInfo([&](int c, const Protocol::DeviceResponse<Protocol::DeviceInfo> &r) {
        answers.append({c, r.data.identify.deviceName});
    });
    QCOMPARE(sent, 0);
    QCOMPARE(opTexts(*m_log), texts({"2,8 "}));
    const CommunicationContent content = code == 0 ? withData(data) : CommunicationContent();
    // The answer closes the request: the transport drops it after the first.
    QCOMPARE(m_log->first().callback(code, content), Export::Finished);
    QCOMPARE(answers.size(), 1);
    QTEST(answers.first().first, "expectedCode");
    QTEST(answers.first().second, "expectedName");
}

void tst_KCommunicatorProxy::discoveryModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("operation");
    for (int mode = 0; mode <= 3; ++mode)
        QTest::addRow("mode %d", mode) << mode << QStringLiteral("7,%1").arg(mode);
    QTest::newRow("mode -1") << -1 << QStringLiteral("0,0");
    QTest::newRow("mode 4") << 4 << QStringLiteral("0,0");
}

void tst_KCommunicatorProxy::discoveryModes()
{
    QFETCH(int, mode);
    Protocol::DiscoverServiceInfo info;
    info.serviceName = QStringLiteral("qoz_softbus_service_discovery");
    info.mode = mode;
    quint64 time = 0;
    m_proxy->discoverServiceSearch(info, [&](int, quint64 t) { time = t; });
    QCOMPARE(m_log->size(), 1);
    QTEST(QStringLiteral("%1,%2").arg(m_log->first().op.ability).arg(m_log->first().op.action), "operation");
    Protocol::DiscoverServiceInfo sent;
    QVERIFY(Protocol::recordFromText(m_log->first().data, &sent));
    QCOMPARE(sent.mode, mode);
    m_log->first().callback(0, withData(QStringLiteral(R"({"last_modified_time":77})")));
    QCOMPARE(time, quint64(77));
}

void tst_KCommunicatorProxy::operationListenersShareOneRegistration()
{
    QStringList heard;
    m_proxy->listenMsg("a", [&](int, const Protocol::KMsg &m) {
        heard << QStringLiteral("a:") + m.content;
        return Export::Finished;
    });
    m_proxy->listenMsg("b", [&](int, const Protocol::KMsg &m) {
        heard << QStringLiteral("b:") + m.content;
        return Export::Alive;
    });
    m_proxy->listenDeviceInfoChange([&](int, const Protocol::NoticeStatus &n) {
        heard << QStringLiteral("status:") + n.action;
        return Export::Alive;
    });
    QCOMPARE(opTexts(*m_log), texts({"listen 1,6 ", "listen 1,3 "}));

    const QString two = QStringLiteral(R"([{"content":"x"},{"content":"y"}])");
    QCOMPARE(m_log->at(0).callback(0, withData(two)), Export::Alive);
    QCOMPARE(m_log->at(0).callback(0, withData(QStringLiteral(R"([{"content":"z"}])"))), Export::Alive);
    // "a" answered Finished on its first message and fell away; the registration stays.
    QCOMPARE(heard, texts({"a:x", "a:y", "b:x", "b:y", "b:z"}));

    heard.clear();
    m_log->at(1).callback(0, withData(QStringLiteral(R"([{"action":"online"},{"action":"rename"}])")));
    m_log->at(1).callback(0, withData(QStringLiteral("not json")));
    QCOMPARE(heard, texts({"status:online", "status:rename", "status:"}));

    // An online listener asks afresh on every notice and stops after Finished.
    QList<bool> online;
    m_proxy->listenCurrentDeviceOnlineChange([&](int, bool on) {
        online << on;
        return online.size() == 2 ? Export::Finished : Export::Alive;
    });
    QCOMPARE(m_log->size(), 2);
    for (int i = 0; i < 3; ++i) {
        m_log->at(1).callback(0, withData(QStringLiteral("[]")));
        if (m_log->last().op == ChannelAbility::Operation{2, 9})
            m_log->last().callback(
                0, withData(i == 0 ? QStringLiteral(R"({"online":true})") : QStringLiteral(R"({"online":false})")));
    }
    QCOMPARE(online, QList<bool>({true, false}));
}

void tst_KCommunicatorProxy::fileTaskFanOut()
{
    QStringList heard;
    const auto listener = [&](const QString &name, Export::CobLifeState answer) {
        return [&heard, name, answer](int code, const Protocol::KFileTaskInfo &info) {
            heard << QStringLiteral("%1:%2:%3").arg(name).arg(code).arg(info.doneSize);
            return answer;
        };
    };
    m_proxy->listenFileTaskInfo("qoz-office", listener(QStringLiteral("first"), Export::Finished));
    m_proxy->listenFileTaskInfo("qoz-office", listener(QStringLiteral("second"), Export::Alive));
    m_proxy->listenFileTaskInfo("other", listener(QStringLiteral("other"), Export::Alive));
    m_proxy->listenFileTaskInfo("qoz-office", listener(QStringLiteral("third"), Export::Alive));
    // A send on every listen, with the owner id as data.
    QCOMPARE(opTexts(*m_log), texts({"5,1 qoz-office", "5,1 qoz-office", "5,1 other", "5,1 qoz-office"}));

    // Notices are posted to the event loop, never fanned out inside the transport's call.
    QCOMPARE(m_log->at(0).callback(0, withData(QStringLiteral(R"({"done_size":10})"))), Export::Alive);
    QVERIFY(heard.isEmpty());
    QTRY_COMPARE(heard, texts({"first:0:10", "second:0:10", "third:0:10"}));
    heard.clear();
    m_log->at(3).callback(0, withData(QStringLiteral(R"({"done_size":20})")));
    m_log->at(3).callback(0, withData(QStringLiteral("{")));
    QTRY_COMPARE(heard.size(), 4);
    QCOMPARE(heard, texts({"second:0:20", "third:0:20", "second:4:0", "third:4:0"}));
}

void tst_KCommunicatorProxy::reRegistrationOrder()
{
    const auto alive = [](int, const auto &) { return Export::Alive; };
    m_proxy->listenOfflineMsgNotice("b", alive);
    m_proxy->listenFileTaskInfo("owner-2", alive);
    m_proxy->listenMsg("chat", alive);
    m_proxy->listenOfflineMsgNotice("a", alive);
    m_proxy->listenFileTaskInfo("owner-1", alive);
    Protocol::Ability ability;
    ability.name = QStringLiteral("relay");
    m_proxy->appendDeviceAbility(ability, nullptr);
    m_proxy->listenDiscoverServiceSearch("svc", alive);
    m_proxy->listenDeviceInfoChange(alive);
    // Open searches are made again, stopped ones not, a repeated one once.
    const Protocol::DiscoverServiceInfo search{QStringLiteral("svc"), 2, QString()};
    for (const Protocol::DiscoverServiceInfo &info :
         {search, {QStringLiteral("gone"), 2, QString()}, search, {QStringLiteral("gone"), 3, QString()}})
        m_proxy->discoverServiceSearch(info, nullptr);
    m_log->clear();

    m_proxy->reRegisterListen();
    QStringList expected = texts({"1,13 a", "1,13 b", "5,1 owner-1", "5,1 owner-2"});
    expected << QStringLiteral("2,5 ") + Protocol::recordToText(ability);
    expected << texts({"listen 1,3 ", "listen 1,6 ", "listen 7,4 "});
    expected << QStringLiteral("7,2 ") + Protocol::recordToText(search);
    QCOMPARE(opTexts(*m_log), expected);
}

void tst_KCommunicatorProxy::callbackIfLiveFollowsItsOwner()
{
    auto owner = std::make_shared<int>(0);
    int calls = 0;
    auto listener = callbackIfLive(owner, [&](int, bool) { ++calls; });
    QCOMPARE(listener(0, true), Export::Alive);
    owner.reset();
    QCOMPARE(listener(0, true), Export::Finished);
    QCOMPARE(calls, 1);
}

QTEST_GUILESS_MAIN(tst_KCommunicatorProxy)
#include "tst_kcommunicatorproxy.moc"
