// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Mixed-transfer messages in one process: what the bubble shows, what is
// sent to every process (seen as the service sends it back) and what is
// logged; the user's cancel and close, the notice time-out, connection loss
// and logout.
#include "kcirradprocess.h"
#include "kzelvaatomixbubble.h"
#include "kzelvaatomixbubblemgr.h"
#include "kzelvaprogressbubblecontentwidget.h"
#include "recordlogtail.h"

#include <kaccountsdkproxy.h>
#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kdcinfo.h>
#include <ktoast.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QAbstractButton>
#include <QDir>
#include <QJsonDocument>
#include <QLabel>
#include <QLockFile>
#include <QTimer>

#include <QtTest>

using Message = QMap<QString, QString>;
using Messages = QList<Message>;
Q_DECLARE_METATYPE(Messages)

namespace {

const QString kMarker = QStringLiteral("endOfRow");

Message pageAction(const QByteArray &pageInfo, const QString &pageType = QStringLiteral("1"))
{
    return {{QStringLiteral("Int_IpcPageType"), pageType},
            {QStringLiteral("Str_IpcActionType"), QStringLiteral("IpcAction_AtoMixPageAction")},
            {QStringLiteral("Str_IpcPageInfo"), QString::fromUtf8(pageInfo)}};
}

Message pageNotify(int action, const QString &pageType = QStringLiteral("1"))
{
    return {
        {QStringLiteral("Int_IpcPageType"), pageType},
        {QStringLiteral("Str_IpcActionType"), QStringLiteral("IpcAction_AtoMixPageNotify")},
        {QStringLiteral("Str_IpcPageNotify"), QStringLiteral(R"({"page_action":%1,"session_id":"s1"})").arg(action)}};
}

Message page(int action, int progress = 0, const QString &title = QStringLiteral("Receiving"))
{
    return pageAction(QStringLiteral(R"({"page_action":%1,"session_id":"s1","action":"scan","page_title":"%2",)"
                                     R"("page_content":"page 2 of 5","page_progress":%3})")
                          .arg(action)
                          .arg(title)
                          .arg(progress)
                          .toUtf8());
}

QList<QJsonObject> dcEvents(const QString &name)
{
    QList<QJsonObject> found;
    QFile file(getDcInfo()->eventFile());
    if (!file.open(QIODevice::ReadOnly))
        return found;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        if (event.value(QStringLiteral("event")).toString() == name)
            found.append(event.value(QStringLiteral("args")).toObject());
    }
    return found;
}

} // namespace

class tst_KZelvaAtoMixBubbleMgr : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void messages_data();
    void messages();
    void userActions_data();
    void userActions();
    void closedFromOutside_data();
    void closedFromOutside();

private:
    // The page actions this process sent to every process since the row began,
    // in order; waits until the service has sent back everything sent so far.
    QList<int> sentPageActions();

    KCirradProcess m_cirrad;
    QPointer<KZelvaMainWindow> m_window;
    KZelvaAtoMixBubbleMgr *m_manager = nullptr;
    QSignalSpy *m_events = nullptr;
};

void tst_KZelvaAtoMixBubbleMgr::initTestCase()
{
    QVERIFY(QDir().mkpath(qEnvironmentVariable("TMPDIR")));
    QFile::remove(KZelvaAtoMixBubble::lockFilePath());
    QString error;
    QVERIFY2(m_cirrad.start({}, &error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(zelvaApp->cloudSvrProxy()->isConnected(), 10000);
    zelvaApp->getAccountSDK()->completeLogin(QStringLiteral("local"));
}

void tst_KZelvaAtoMixBubbleMgr::init()
{
    m_window = zelvaApp->createMainWindow(false);
    m_window->setGeometry(100, 100, 1000, 700);
    m_window->show();
    zelvaApp->setCurrentMainWindow(m_window);
    m_manager = new KZelvaAtoMixBubbleMgr;
    m_events = new QSignalSpy(zelvaApp->cloudSvrProxy()->cirraEventObject(),
                              &KCirraEventObject::signal_notifyActionsMapForAtoMix);
}

void tst_KZelvaAtoMixBubbleMgr::cleanup()
{
    delete m_events;
    delete m_manager;
    delete m_window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!QFile::exists(KZelvaAtoMixBubble::lockFilePath()));
}

QList<int> tst_KZelvaAtoMixBubbleMgr::sentPageActions()
{
    qoz::cirra::NotifyActionsMapArg marker;
    marker.mapArgs = {{"Int_IpcPageType", "0"}, {kMarker.toStdString(), "1"}};
    zelvaApp->cloudSvrProxy()->asyncCall(QStringLiteral("notifyAllClientActionsMap"), {&marker, "NotifyActionsMapArg"},
                                         nullptr, QString());
    auto markerSeen = [this] {
        for (const QList<QVariant> &args : qAsConst(*m_events))
            if (args.value(0).value<Message>().contains(kMarker))
                return true;
        return false;
    };
    [&] { QTRY_VERIFY_WITH_TIMEOUT(markerSeen(), 10000); }();
    QList<int> actions;
    for (const QList<QVariant> &args : qAsConst(*m_events)) {
        const Message map = args.value(0).value<Message>();
        if (map.value(QStringLiteral("Str_IpcActionType")) != QLatin1String("IpcAction_AtoMixPageNotify"))
            continue;
        const QJsonObject notify =
            QJsonDocument::fromJson(map.value(QStringLiteral("Str_IpcPageNotify")).toUtf8()).object();
        actions.append(notify.value(QStringLiteral("page_action")).toInt());
    }
    m_events->clear();
    return actions;
}

void tst_KZelvaAtoMixBubbleMgr::messages_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<bool>("lockedElsewhere");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<QStringList>("logged");

    // Well-formed messages: what shows and what is sent.
    const QString transfer = QStringLiteral("transfer");
    const auto row = [](const char *name, const Messages &messages, bool locked, bool shown, const QString &notice,
                        int progress, const QList<int> &sent) {
        QTest::newRow(name) << messages << locked << shown << notice << progress << sent << QStringList();
    };
    row("show", {page(1, 10)}, false, true, transfer, 10, {});
    row("progress never goes back", {page(1, 10), page(3, 60), page(3, 40)}, false, true, transfer, 60, {});
    row("progress above 100", {page(1), page(3, 250)}, false, true, transfer, 100, {});
    row("show while visible", {page(1), page(3, 30), page(1, 30, QStringLiteral("Again"))}, false, true, transfer, 30,
        {});
    row("warning notice", {page(1, 50), page(4, 95)}, false, true, QStringLiteral("wraning"), 0, {});
    row("cancel notice without bubble", {page(5)}, false, true, QStringLiteral("error"), 0, {});
    row("done", {page(1), page(2)}, false, false, QString(), 0, {2});
    row("done without bubble", {page(2)}, false, false, QString(), 0, {6});
    row("update without bubble", {page(3, 20)}, false, false, QString(), 0, {});
    row("another process holds the lock", {page(1), page(3, 20)}, true, false, QString(), 0, {});
    row("notify done closes", {page(1), pageNotify(2)}, false, false, QString(), 0, {});
    row("notify page deleted keeps it", {page(1, 5), pageNotify(6)}, false, true, transfer, 5, {});
    row("notify without bubble", {pageNotify(2)}, false, false, QString(), 0, {});
    row("notify of another page type", {page(1), pageNotify(2, QStringLiteral("2"))}, false, true, transfer, 0, {});

    // Malformed messages: a log line, nothing sent, and a bubble only if a good message showed one first.
    const auto bad = [&](const char *name, const Messages &messages, const char *log) {
        const bool shown = messages.size() > 1;
        QTest::newRow(name) << messages << false << shown << (shown ? transfer : QString()) << 0 << QList<int>()
                            << (*log ? QStringList{QString::fromUtf8(log)} : QStringList());
    };
    const char *lessThan = "pagetype less than 0";
    Message noType = page(1);
    noType.remove(QStringLiteral("Int_IpcPageType"));
    Message unknownAction = page(1);
    unknownAction.insert(QStringLiteral("Str_IpcActionType"), QStringLiteral("IpcAction_Other"));
    Message badNotify = pageNotify(2);
    badNotify.insert(QStringLiteral("Str_IpcPageNotify"), QString());
    bad("page type missing", {noType}, lessThan);
    bad("page type not a number", {pageAction("{}", QStringLiteral("x1"))}, lessThan);
    bad("page type 2", {pageAction(R"({"page_action":1})", QStringLiteral("2"))},
        "handlePageAction not ProgressBubble");
    bad("unknown action type", {unknownAction}, "unknown actionType");
    bad("page info not json", {pageAction("{oops")}, "Str_IpcPageInfo is not a json object: {oops");
    bad("page notify empty", {page(1), badNotify}, "Str_IpcPageNotify is not a json object: ");
    bad("page action missing", {pageAction(R"({"session_id":"s1"})")}, "");
    bad("unknown page action", {page(1), page(9)}, "unknown pageAction:9");
    bad("page action as text", {pageAction(R"({"page_action":"1","session_id":7,"page_progress":"50"})")}, "");
}

void tst_KZelvaAtoMixBubbleMgr::messages()
{
    QFETCH(Messages, messages);
    QFETCH(bool, lockedElsewhere);
    QFETCH(bool, shown);
    QFETCH(QString, notice);
    QFETCH(int, progress);
    QFETCH(QList<int>, sent);
    QFETCH(QStringList, logged);
    const QString transfer = QStringLiteral("transfer");

    QLockFile otherProcess(KZelvaAtoMixBubble::lockFilePath());
    if (lockedElsewhere)
        QVERIFY(otherProcess.tryLock(0));
    RecordLogTail tail;
    for (const Message &message : qAsConst(messages))
        m_manager->slot_notifyActionsMapForAtoMix(message);
    const QString log = tail.lines().join(QLatin1Char('\n'));
    for (const QString &fragment : qAsConst(logged))
        QVERIFY2(log.contains(fragment), qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(fragment, log)));

    KZelvaAtoMixBubble *bubble = m_manager->bubble();
    QCOMPARE(bubble && bubble->isVisible(), shown);
    if (shown) {
        QVERIFY(bubble->ownsLock());
        QCOMPARE(bubble->parentWidget(), m_window);
        QVERIFY(m_window->geometry().contains(bubble->geometry()));
        QCOMPARE(bubble->contentWidget()->noticeName(), notice);
        QCOMPARE(bubble->contentWidget()->progress(), progress);
        // Only a running transfer offers to cancel.
        QCOMPARE(bubble->contentWidget()->findChild<QLabel *>(QStringLiteral("cancelLink"))->isVisibleTo(bubble),
                 notice == transfer);
    }
    QCOMPARE(sentPageActions(), sent);
}

void tst_KZelvaAtoMixBubbleMgr::userActions_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("closeReason");
    QTest::addColumn<QString>("notice");

    QTest::newRow("cancel link") << QStringLiteral("cancel") << 5 << QString() << QStringLiteral("transfer");
    QTest::newRow("close button") << QStringLiteral("close") << 2 << QStringLiteral("close")
                                  << QStringLiteral("transfer");
    QTest::newRow("warning times out") << QStringLiteral("timeout") << 2 << QStringLiteral("timeout")
                                       << QStringLiteral("wraning");
}

void tst_KZelvaAtoMixBubbleMgr::userActions()
{
    QFETCH(QString, how);
    QFETCH(int, sent);
    QFETCH(QString, closeReason);
    QFETCH(QString, notice);

    const int closesBefore = dcEvents(QStringLiteral("print_tranfer_notice_close")).size();
    m_manager->slot_notifyActionsMapForAtoMix(page(1));
    if (how == QLatin1String("timeout"))
        m_manager->slot_notifyActionsMapForAtoMix(page(4));
    QPointer<KZelvaAtoMixBubble> bubble = m_manager->bubble();
    QVERIFY(bubble && bubble->isVisible());
    KZelvaProgressBubbleContentWidget *content = bubble->contentWidget();
    if (how == QLatin1String("cancel")) {
        QMetaObject::invokeMethod(content->findChild<QLabel *>(QStringLiteral("cancelLink")), "linkActivated",
                                  Q_ARG(QString, QStringLiteral("cancel")));
        auto *toast = m_window->findChild<KToast *>(QStringLiteral("atomixCancelToast"));
        QVERIFY(toast && toast->isVisible());
        QCOMPARE(toast->text(), QStringLiteral("Canceled accepting scanned file"));
    } else if (how == QLatin1String("close")) {
        content->findChild<QAbstractButton *>(QStringLiteral("closeButton"))->click();
    } else {
        QVERIFY(content->isAutoClosing());
        QTimer *timer = nullptr;
        for (QTimer *candidate : content->findChildren<QTimer *>())
            if (candidate->interval() == KZelvaProgressBubbleContentWidget::AutoCloseMs)
                timer = candidate;
        QVERIFY(timer && timer->isActive() && timer->isSingleShot());
        timer->start(1); // the ten seconds, shortened
    }
    QTRY_VERIFY(!bubble);
    QVERIFY(!m_manager->bubble());
    QCOMPARE(sentPageActions(), QList<int>{sent});
    const QList<QJsonObject> closes = dcEvents(QStringLiteral("print_tranfer_notice_close"));
    if (closeReason.isEmpty()) {
        QCOMPARE(closes.size(), closesBefore);
        return;
    }
    QCOMPARE(closes.size(), closesBefore + 1);
    QCOMPARE(closes.last().value(QStringLiteral("close_reason")).toString(), closeReason);
    QCOMPARE(closes.last().value(QStringLiteral("notice_type")).toString(), notice);
    QVERIFY(closes.last().value(QStringLiteral("displayperiod")).toString().toLongLong() >= 0);
}

void tst_KZelvaAtoMixBubbleMgr::closedFromOutside_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("closes");

    QTest::newRow("service connection lost") << QStringLiteral("disconnect") << true;
    QTest::newRow("logout") << QStringLiteral("logout") << true;
    QTest::newRow("login info changes, still logged in") << QStringLiteral("login") << false;
    QTest::newRow("main window closes") << QStringLiteral("window") << true;
}

void tst_KZelvaAtoMixBubbleMgr::closedFromOutside()
{
    QFETCH(QString, event);
    QFETCH(bool, closes);

    m_manager->slot_notifyActionsMapForAtoMix(page(1));
    QVERIFY(m_manager->bubble());
    kacctoutsdk::KAccountSdkProxy *account = zelvaApp->getAccountSDK();
    if (event == QLatin1String("disconnect")) {
        Q_EMIT zelvaApp->cloudSvrProxy()->socketDisconnected();
    } else if (event == QLatin1String("logout")) {
        account->logout();
    } else if (event == QLatin1String("login")) {
        account->completeLogin(QStringLiteral("local"));
    } else {
        m_window->close();
    }
    QCOMPARE(!m_manager->bubble(), closes);
    // Nothing is reported to the other processes: the bubble did not end the transfer.
    QCOMPARE(sentPageActions(), QList<int>());
    account->completeLogin(QStringLiteral("local"));
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaAtoMixBubbleMgr test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaatomixbubblemgr.moc"
