// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The dispatcher and the message protocol in-process: which calls reach a
// method, what the page gets back, asynchronous answers, events.

#include "kxwebtestconnection.h"
#include "kxwebtesthandler.h"

#include "kxwebviewjsdispatcher.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewjseventhandler.h>

#include <QJsonArray>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

namespace {

QJsonObject withParams(const QJsonObject &params)
{
    return QJsonObject{{QStringLiteral("params"), params}};
}

// A JSON value from its text, so that table rows read like what pages send.
QJsonValue js(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

QJsonValue nested(int depth)
{
    QJsonValue value = QStringLiteral("leaf");
    for (int i = 0; i < depth; ++i)
        value = QJsonArray{value};
    return value;
}

} // namespace

class tst_KxWebViewJSDispatcher : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KxWebViewAsynJSObject> m_page;
    KxWebTestHandler *m_handler = nullptr;

    // Calls through the dispatcher and returns the answer given before call() returned.
    std::optional<KxWebViewJSAnswer> callNow(const QString &handler, const QString &method, const QJsonValue &args,
                                             int *replies = nullptr)
    {
        std::optional<KxWebViewJSAnswer> answer;
        auto count = std::make_shared<int>(0);
        m_page->call(handler, method, args, [&answer, count](const KxWebViewJSAnswer &a) {
            ++*count;
            answer = a;
        });
        if (replies)
            *replies = *count;
        return answer;
    }

private Q_SLOTS:
    void init()
    {
        m_page = std::make_unique<KxWebViewAsynJSObject>();
        m_page->setObjectName(QStringLiteral("testpage"));
        m_handler = new KxWebTestHandler(m_page.get(), m_page.get());
        QVERIFY(m_page->registerHandler(QStringLiteral("common"), m_handler));
    }

    void cleanup() { m_page.reset(); }

    // Answers and refusals pages_bridge sees too (an echo, typed arguments,
    // an unknown handler, deleteLater, a 10000-element list) are its rows.
    void synchronousCalls_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QJsonValue>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("result"); // "result" text for Ok answers
        QTest::addColumn<bool>("ran");

        using A = KxWebViewJSAnswer;
        const auto row = [](const char *name, const char *handler, const char *method, const QJsonValue &args,
                            int status, const char *result = "") {
            QTest::newRow(name) << QString::fromLatin1(handler) << QString::fromLatin1(method) << args << status
                                << QString::fromLatin1(result) << (status == A::Ok);
        };
        const QJsonValue none;
        row("missing arguments", "common", "add", none, A::Ok, "{\"isSuccess\":false}");
        row("wrong-typed argument", "common", "add", js("{\"params\":{\"a\":\"1\",\"b\":2}}"), A::Ok,
            "{\"isSuccess\":false}");
        row("unknown method", "common", "missing", none, A::UnknownMethod);
        row("a signal", "common", "touched", none, A::UnknownMethod);
        row("a private slot", "common", "secret", none, A::UnknownMethod);
        row("signature in the name", "common", "echo(KxWebViewJSContext&)", none, A::BadRequest);
        row("bad handler name", "com mon", "echo", none, A::BadRequest);
        row("arguments a number", "common", "echo", QJsonValue(5), A::BadRequest);
        row("1 MiB string", "common", "echo",
            withParams({{QStringLiteral("text"), QString(1024 * 1024, QLatin1Char('x'))}}), A::TooLarge);
        row("nested 40 deep", "common", "echo", withParams({{QStringLiteral("deep"), nested(40)}}), A::TooLarge);
        QJsonObject many;
        for (int i = 0; i < 8; ++i)
            many.insert(QString::number(i), QString(40 * 1024, QLatin1Char('y')));
        row("320 KiB of strings in all", "common", "echo", withParams(many), A::TooLarge);
    }

    void synchronousCalls()
    {
        QFETCH(QString, handler);
        QFETCH(QString, method);
        QFETCH(QJsonValue, args);
        QFETCH(int, status);
        QFETCH(QString, result);
        QFETCH(bool, ran);

        if (status != KxWebViewJSAnswer::Ok)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("testpage: call .* refused \\(%1\\)")
                                                                      .arg(KxWebViewJSAnswer::codeName(
                                                                          KxWebViewJSAnswer::Status(status)))));
        int replies = 0;
        const std::optional<KxWebViewJSAnswer> answer = callNow(handler, method, args, &replies);
        QCOMPARE(replies, 1);
        QCOMPARE(int(answer->status), status);
        QCOMPARE(m_handler->calls > 0, ran);
        if (status == KxWebViewJSAnswer::Ok) {
            const QJsonObject value = QJsonDocument::fromJson(answer->value).object();
            QCOMPARE(value.value(QStringLiteral("result")).toString(), result);
        } else {
            QVERIFY(!answer->error.isEmpty());
        }
    }

    void answerText_data()
    {
        QTest::addColumn<QByteArray>("text");    // value of "v", UTF-8
        QTest::addColumn<QByteArray>("written"); // expected answer text
        QTest::newRow("plain") << QByteArray("abc") << QByteArray("{\"v\":\"abc\"}");
        QTest::newRow("quote and backslash") << QByteArray("a\"b\\c") << QByteArray("{\"v\":\"a\\\"b\\\\c\"}");
        QTest::newRow("control characters")
            << QByteArray("\n\t\x01\x1f") << QByteArray("{\"v\":\"\\n\\t\\u0001\\u001f\"}");
        QTest::newRow("non-ASCII passes") << QByteArray("\xc3\xa9\xf0\x9f\x90\xa2") << QByteArray("{\"v\":\"\xc3\xa9\xf0\x9f\x90\xa2\"}");
    }

    void answerText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        KxWebViewJSContext context;
        context.returnValue()["v"] = Json::Value(text.constData(), text.constData() + text.size());
        const QByteArray answer = KxWebViewJSDispatcher::serialize(context);
        QCOMPARE(answer, written);
        QCOMPARE(QJsonDocument::fromJson(answer).object().value(QStringLiteral("v")).toString(), QString::fromUtf8(text));
    }

    // A held call answers once: published (never twice), dropped (NoAnswer),
    // or, its page gone, not at all.
    void heldCallsAnswerOnce()
    {
        int replies = 0;
        std::optional<KxWebViewJSAnswer> answer;
        const auto hold = [&] {
            m_page->call(QStringLiteral("common"), QStringLiteral("hold"), QJsonValue(),
                         [&](const KxWebViewJSAnswer &a) {
                             ++replies;
                             answer = a;
                         });
        };
        hold();
        QVERIFY(m_page->publishResult(m_handler->kept.first()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("publishResult for common.hold: answered before")));
        QVERIFY(!m_page->publishResult(m_handler->kept.first()));
        QCOMPARE(replies, 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("a context of no page call")));
        QVERIFY(!m_page->publishResult(KxWebViewJSContext(QStringLiteral("common"), QStringLiteral("echo"), {})));
        m_handler->kept.clear();

        hold();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("common.hold: asynchronous call dropped")));
        m_handler->kept.clear();
        QCOMPARE(replies, 2);
        QCOMPARE(answer->status, KxWebViewJSAnswer::NoAnswer);

        hold();
        KxWebViewJSContext copy = m_handler->kept.takeFirst();
        m_page.reset();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("asynchronous call dropped")));
        copy = KxWebViewJSContext();
        QCOMPARE(replies, 2);
    }

    void deletedHandlerIsForgotten()
    {
        // A handler deleted under its page: the page forgets it.
        KxWebTestHandler other(nullptr, m_page.get());
        delete m_handler;
        QVERIFY(m_page->handlerNames().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused \\(unknownHandler\\)")));
        QCOMPARE(callNow(QStringLiteral("common"), QStringLiteral("echo"), QJsonValue())->status,
                 KxWebViewJSAnswer::UnknownHandler);
        QVERIFY(m_page->registerHandler(QStringLiteral("common"), &other));
    }

    void parseContextArgs_data()
    {
        QTest::addColumn<QJsonValue>("args");
        QTest::addColumn<bool>("decodeText");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("warns");
        QTest::newRow("object") << js("{\"a\":1,\"b\":\"x\"}") << true << 2 << false;
        QTest::newRow("text, decoded") << QJsonValue(QStringLiteral("{\"a\":1}")) << true << 1 << false;
        QTest::newRow("text, not decoded") << QJsonValue(QStringLiteral("{\"a\":1}")) << false << 0 << true;
        QTest::newRow("text of an array") << QJsonValue(QStringLiteral("[1]")) << true << 0 << true;
        QTest::newRow("number") << QJsonValue(3) << true << 0 << true;
        QTest::newRow("absent") << QJsonValue() << true << 0 << false;
    }

    void parseContextArgs()
    {
        QFETCH(QJsonValue, args);
        QFETCH(bool, decodeText);
        QFETCH(int, size);
        QFETCH(bool, warns);
        if (warns)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("h.m: arguments are not an object")));
        const QVariantMap map = ::parseContextArgs(KxWebViewJSContext(QStringLiteral("h"), QStringLiteral("m"), args),
                                                   decodeText);
        QCOMPARE(map.size(), size);
        QVERIFY(!map.value(QStringLiteral("absent")).isValid());
    }

    void malformedMessages_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("id"); // of the badRequest reply; -1: null
        QTest::newRow("not JSON") << "{" << -1;
        QTest::newRow("nested too deep") << QString(2000, QLatin1Char('[')) + QString(2000, QLatin1Char(']')) << -1;
        QTest::newRow("unknown type") << "{\"t\":\"x\",\"id\":1}" << 1;
        QTest::newRow("call without id") << "{\"t\":\"call\",\"h\":\"common\",\"m\":\"echo\"}" << -1;
        QTest::newRow("fractional id") << "{\"t\":\"call\",\"id\":1.5,\"h\":\"common\",\"m\":\"echo\"}" << -1;
        QTest::newRow("handler a number") << "{\"t\":\"call\",\"id\":3,\"h\":5,\"m\":\"echo\"}" << 3;
        QTest::newRow("bad event name") << "{\"t\":\"on\",\"id\":4,\"e\":\"a b\"}" << 4;
    }

    void malformedMessages()
    {
        QFETCH(QString, message);
        QFETCH(int, id);
        KxWebTestConnection connection(m_page.get(), false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("testpage: malformed message")));
        connection.receiveText(message);
        QCOMPARE(connection.malformedCount(), 1);
        QCOMPARE(connection.sent.size(), 1);
        QCOMPARE(connection.last().value(QStringLiteral("code")).toString(), QStringLiteral("badRequest"));
        QCOMPARE(connection.last().value(QStringLiteral("ok")).toBool(true), false);
        QCOMPARE(connection.last().value(QStringLiteral("id")), id < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(id));
        QCOMPARE(m_handler->calls, 0);
    }

    void oversizedMessageIsDroppedUnread()
    {
        KxWebTestConnection connection(m_page.get(), false);
        connection.setMaxMessageLength(100);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("exceed the limit of 100")));
        connection.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":1,\"h\":\"common\",\"m\":\"echo\",\"a\":{\"params\":{\"t\":\"")
                               + QString(200, QLatin1Char('z')) + QStringLiteral("\"}}}"));
        QCOMPARE(connection.sent.size(), 1); // a badRequest answer without an id: the text is not read
        QVERIFY(connection.last().value(QStringLiteral("id")).isNull());
        QCOMPARE(m_handler->calls, 0);
    }

    void eventsReachSubscribedPagesOnly()
    {
        KxWebTestConnection listening(m_page.get(), false);
        KxWebTestConnection silent(m_page.get(), false);
        QVERIFY(!m_page->eventHandler());
        listening.receiveText(QStringLiteral("{\"t\":\"on\",\"e\":\"softbus.event.x\"}"));
        QVERIFY(m_page->eventHandler());
        QCOMPARE(m_page->eventHandler()->sendEvent(QStringLiteral("softbus.event.x"), QStringLiteral("{\"n\":1}")), 1);
        QCOMPARE(m_page->eventHandler()->sendEvent(QStringLiteral("other"), QStringLiteral("{}")), 0);
        // Events raised in one pass reach the page together, in order, after what was sent before them.
        QCOMPARE(
            m_page->eventHandler()->sendEvent(QStringLiteral("softbus.event.x"), QJsonObject{{QStringLiteral("n"), 2}}),
            1);
        listening.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":9,\"h\":\"common\",\"m\":\"echo\",\"a\":{}}"));
        QCOMPARE(listening.sent.size(), 2);
        const QJsonObject first{{QStringLiteral("t"), QStringLiteral("event")},
                                {QStringLiteral("e"), QStringLiteral("softbus.event.x")},
                                {QStringLiteral("d"), QStringLiteral("{\"n\":1}")}};
        const QJsonObject second{{QStringLiteral("t"), QStringLiteral("event")},
                                 {QStringLiteral("e"), QStringLiteral("softbus.event.x")},
                                 {QStringLiteral("v"), QJsonObject{{QStringLiteral("n"), 2}}}};
        QCOMPARE(QJsonDocument::fromJson(listening.sent.first().toUtf8()).object(),
                 (QJsonObject{{QStringLiteral("t"), QStringLiteral("batch")},
                              {QStringLiteral("m"), QJsonArray{first, second}}}));
        QCOMPARE(listening.last().value(QStringLiteral("id")).toInt(), 9);
        // A batch stays within its size: the queue goes out before it would grow past it.
        const QString half(KxWebBridgeConnection::kMaxBatchBytes / 2, QLatin1Char('z'));
        m_page->eventHandler()->sendEvent(QStringLiteral("softbus.event.x"), half);
        m_page->eventHandler()->sendEvent(QStringLiteral("softbus.event.x"), half);
        QCOMPARE(listening.sent.size(), 3);
        QCOMPARE(QJsonDocument::fromJson(listening.sent.last().toUtf8()).object().value(QStringLiteral("d")),
                 QJsonValue(half));
        QTRY_COMPARE(listening.sent.size(), 4);
        QVERIFY(silent.sent.isEmpty());
    }

    void subscriptionsAreCapped()
    {
        KxWebTestConnection connection(m_page.get(), false);
        for (int i = 0; i < 256; ++i)
            connection.receiveText(QStringLiteral("{\"t\":\"on\",\"e\":\"e%1\"}").arg(i));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("too many event subscriptions")));
        connection.receiveText(QStringLiteral("{\"t\":\"on\",\"e\":\"one-more\"}"));
        QVERIFY(!connection.isSubscribed(QStringLiteral("one-more")));
    }

    void scriptsGoToRemotePagesOnly()
    {
        KxWebTestConnection remote(m_page.get(), false);
        KxWebTestConnection inView(m_page.get(), true);
        QCOMPARE(m_page->runScriptInRemotePages(QStringLiteral("onRefreshCallback()")), 1);
        QCOMPARE(remote.last().value(QStringLiteral("c")).toString(), QStringLiteral("onRefreshCallback()"));
        QVERIFY(inView.sent.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_KxWebViewJSDispatcher)
#include "tst_kxwebviewjsdispatcher.moc"
