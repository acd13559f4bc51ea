// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The host panel's script object: every method through its dispatcher
// (invoke) against a real model and real residual records (result, effect,
// log), bad script values and ids, the confirm dialog answering only after
// it finished, broadcasts of other processes. A closed window reopened and
// raised: pages_hostpanel.

#include "kzelvacrossterminalpaneljseventobj.h"
#include "kzelvacrossterminalnotifyproxy.h"
#include "kzelvacrossterminalpaneljshandle.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareaitem.h"
#include "kzpersisttestutil.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kcloudsvrproxy.h>
#include <klitecontentdlg.h>
#include <kzelvasubpage.h>

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using Check = std::function<bool(const QJsonObject &data)>;
Q_DECLARE_METATYPE(Check)

class tst_KZelvaCrossTerminalPanelJsEventObj : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void openFilesReopensOnceThenRaises();
    void methods_data();
    void methods();
    void confirmAnswersWhenFinished();
    void broadcastsFromOtherProcesses_data();
    void broadcastsFromOtherProcesses();
    void aRelayHeardTwiceAppliesOnce();

private:
    QJsonObject invoke(const QString &method, const QJsonValue &argument);
    QStringList recordIds(const QString &residualId);

    QTemporaryDir m_dir;
    WorkAreaTestBed m_bed;
    KZelvaResidualRecords *m_records = nullptr;
    QString m_windowRecord;
    QStringList m_heard;
};

void tst_KZelvaCrossTerminalPanelJsEventObj::init()
{
    KzPersistTest::setPanelConfig(
        {{QStringLiteral("residualItemDeleteEnabled"), true}, {QStringLiteral("residualSettingSaveEnabled"), true}});
    m_bed.startResearchScene(new KZelvaWorkAreaAssembly, true, {QStringLiteral("fixed")});
    zelvaApp->setCurrentMainWindow(m_bed.window);
    delete m_bed.current(m_bed.window)->takeItem(m_bed.defaultTabs.first());

    m_records = m_bed.manager->residualRecords();
    for (const char *id : {"gone1", "gone2"}) {
        KZelvaWorkAreaRecoverItem item;
        item.id = QLatin1String(id);
        item.title = item.id + QStringLiteral(".txt");
        item.pageType = KZelvaPluginWidget::QozDocument;
        QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item, m_bed.defaultArea, 0));
    }
    QFile file(m_dir.filePath(QStringLiteral("w1.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("w1") == 2);
    file.close();
    KZelvaWorkAreaRecoverItem w1;
    w1.id = QStringLiteral("w1");
    w1.title = QStringLiteral("w1.txt");
    w1.pageType = KZelvaPluginWidget::QozDocument;
    w1.filePath = file.fileName();
    KZelvaWorkAreaData closed;
    closed.id = QStringLiteral("{0d7c2c6e-4b8a-4e47-9d0f-1f2e3a4b5c6d}");
    closed.name = QStringLiteral("closed window");
    closed.activeItemId = w1.id;
    m_windowRecord = m_records->saveWindowResidualCfgFile(QString(), closed, {w1});
    QVERIFY(!m_windowRecord.isEmpty());
    m_heard.clear();
    // As the shell's script core registered it.
    KZelvaCrossTerminalPanelJsEventObj::instance()->setState(3);
}

void tst_KZelvaCrossTerminalPanelJsEventObj::cleanup()
{
    m_records->waitForTasks();
    m_bed.stop();
    KZelvaCrossTerminalPanelJsEventObj::instance()->removeEventListener(
        QStringLiteral("event.workarea.changedlistener"), QStringLiteral("cb1"));
}

QJsonObject tst_KZelvaCrossTerminalPanelJsEventObj::invoke(const QString &method, const QJsonValue &argument)
{
    QJsonObject result;
    int replies = 0;
    KZelvaCrossTerminalPanelJsEventObj::instance()->invoke(
        method, argument, [this](const QString &payload) { m_heard.append(payload); }, nullptr,
        [&](const QJsonObject &r) {
            result = r;
            ++replies;
        });
    return replies == 1 ? result : QJsonObject{{QStringLiteral("replies"), replies}};
}

QStringList tst_KZelvaCrossTerminalPanelJsEventObj::recordIds(const QString &residualId)
{
    QVector<KZelvaWorkAreaRecoverItem> items;
    QStringList ids;
    if (m_records->readRecord(residualId, nullptr, &items)) {
        for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items))
            ids.append(item.id);
    }
    return ids;
}

// Rows: method, the script value as JSON text (%F fixed tab, %R research,
// %T its tab, %W the closed window's record), the result's code, a text its
// "msg" or the log holds (empty: none checked), and a check of its "data"
// and the model. Deletion is on; with it off, a closed document opened, one
// deleted and all cleared: tst_persistence and pages_hostpanel.
void tst_KZelvaCrossTerminalPanelJsEventObj::methods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Check>("check");

    const auto row = [](const char *name, const char *method, const QByteArray &argument, int code, const char *text,
                        const Check &check) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromUtf8(argument) << code
                            << QString::fromLatin1(text) << check;
    };
    const auto is = [](const std::function<bool()> &f) { return Check([=](const QJsonObject &) { return f(); }); };
    const auto data = [](const std::function<bool(const QJsonValue &)> &f) {
        return Check([=](const QJsonObject &d) { return f(d.value(QStringLiteral("data"))); });
    };
    const Check any = [](const QJsonObject &) { return true; };
    const Check untouched = is([this] {
        return recordIds(QStringLiteral("default")) == QStringList{QStringLiteral("gone1"), QStringLiteral("gone2")}
               && m_records->windowResidualIds() == QStringList{m_windowRecord};
    });
    const auto currentTitle = [this] {
        KZelvaSubPage *page = m_bed.window->centralArea()->currentSubPage();
        return page ? page->windowTitle() : QString();
    };
    const QString deep =
        QStringLiteral(R"({"a":)").repeated(40) + QStringLiteral("1") + QString(QLatin1Char('}')).repeated(40);
    const char *noArgs = "openTab::argMap is empty";

    row("unknown method", "removeEverything", "{}", 1, "removeEverything is not a method", untouched);
    row("openTab without arguments", "openTab", "null", 1, noArgs, any);
    row("openTab nested too deep", "openTab", deep.toUtf8(), 1, noArgs, any);
    row("visible state without arguments", "updatePanelVisibleState", "{}", 1,
        "updatePanelVisibleState::argMap is empty", any);
    row("visible state off", "updatePanelVisibleState", R"({"bCrossTerminalPanelShow":false})", 0,
        "m_CrossTerminalPanelShow = 0", data([](const QJsonValue &d) {
            return !KZelvaCrossTerminalPanelJsHandle::instance()->isPanelVisible() && d == false;
        }));
    row("open fixed tab", "openTab", R"({"workAreaId":"fixedArea","tagId":"%F"})", 0,
        "fixedItem workAreaId = fixedArea", is([=] { return currentTitle() == QLatin1String("fixed"); }));
    row("open work-area tab", "openTab", R"({"workAreaId":"%R","tagId":"%T","isResidual":false})", 0,
        "isClosedItem = 0", is([this] { return m_bed.current(m_bed.window)->id() == m_bed.research; }));
    row("open empty ids", "openTab", R"({"workAreaId":"","tagId":"x"})", 1, "openTag::workAreaId/tagId is empty", any);
    row("open unknown tab", "openTab", R"({"workAreaId":"%R","tagId":"nope"})", 1,
        "openTag, openClosedItem getItem is nullptr", any);
    row("close work-area tab", "closeTab", R"({"workAreaId":"%R","tagId":"%T"})", 0, "",
        is([this] { return !m_bed.manager->workArea(m_bed.research)->findItem(m_bed.researchTab); }));
    row("close unknown area", "closeTab", R"({"workAreaId":"../x","tagId":"%T"})", 1,
        "closeTag:: workArea is nullptr, isClosedItem: 0", any);
    row("window tabs, empty id", "getResidualWindowTabList", R"({"residualId":""})", 1,
        "getResidualWindowTabList::strResidualId is empty", any);
    row("window tabs of default", "getResidualWindowTabList", R"({"residualId":"default"})", 0, "",
        data([](const QJsonValue &d) { return d[QStringLiteral("close")].toArray().size() == 2; }));
    row("deletion enabled", "isResidualItemDeleteEnabled", "{}", 0, "",
        data([](const QJsonValue &d) { return d[QStringLiteral("enabled")] == true; }));
    row("remove without tag", "removeResidualItem", R"({"workAreaId":"default","tagId":""})", 1,
        "removeResidualItem::tagId is empty", untouched);
    for (const QString &bad : {QStringLiteral("../x"), QStringLiteral("residual"), QStringLiteral("def\\u0000ault"),
                               QString(4096, QLatin1Char('a'))})
        row(qPrintable(QStringLiteral("remove from record \"%1\"").arg(bad.left(12))), "removeResidualItem",
            QStringLiteral(R"({"workAreaId":"%1","tagId":"gone1"})").arg(bad).toUtf8(), 1, "", untouched);
    row("remove the last of a window", "removeResidualItem", R"({"workAreaId":"%W","tagId":"w1"})", 0,
        "removeResidualUidSettingFile", is([this] {
            return m_records->windowResidualIds().isEmpty() && recordIds(QStringLiteral("default")).size() == 2;
        }));
    row("confirm without content", "showConfirmDlg", "{}", 1, "empty json obj", any);
    row("reopen unknown window", "openFiles", R"({"residualId":"../x"})", 1,
        "strResidualId: ../x workArea is not exist", any);
    row("reopen, empty id", "openFiles", R"({"residualId":""})", 1, "openFiles::residualId is empty", any);
    row("listen", "addChangeListener", R"({"callback":"cb1"})", 0, "", is([this] {
            KZelvaCrossTerminalPanelJsHandle::instance()->notifyRefreshListData();
            return m_heard.size() == 1 && m_heard.first().contains(QLatin1String("\"open\""));
        }));
    row("listen without callback", "addChangeListener", R"({"callback":7})", 1,
        "addChangeListener::eventName/callback is empty", any);
    row("event round trip", "dispatchEvent", R"({"eventName":"x.y","payload":"p"})", 0, "",
        data([](const QJsonValue &d) { return d == 0; }));
}

void tst_KZelvaCrossTerminalPanelJsEventObj::methods()
{
    QFETCH(QString, method);
    QFETCH(QString, argument);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(Check, check);
    const QString filled = argument.replace(QLatin1String("%F"), m_bed.defaultTabs.first())
                               .replace(QLatin1String("%R"), m_bed.research)
                               .replace(QLatin1String("%T"), m_bed.researchTab)
                               .replace(QLatin1String("%W"), m_windowRecord);
    const QJsonValue value =
        QJsonDocument::fromJson((QStringLiteral("[") + filled + QStringLiteral("]")).toUtf8()).array().at(0);
    RecordLogTail tail;
    const QJsonObject result = invoke(method, value);
    QVERIFY2(result.contains(QStringLiteral("code")), QJsonDocument(result).toJson().constData());
    QCOMPARE(result.value(QStringLiteral("code")).toInt(), code);
    if (!text.isEmpty()) {
        const QString seen =
            result.value(QStringLiteral("msg")).toString() + QLatin1Char('\n') + tail.lines().join(QLatin1Char('\n'));
        QVERIFY2(seen.contains(text), qPrintable(seen));
    }
    QVERIFY(check(result));
}

void tst_KZelvaCrossTerminalPanelJsEventObj::confirmAnswersWhenFinished()
{
    const QJsonObject args = QJsonDocument::fromJson(R"({"caption":"Delete","content":"Delete all closed documents?",
        "btnText":"Delete","btnResult":"yes","leftBtnText":"Keep","leftBtnResult":"no","checkBoxVisible":true,
        "checkBoxText":"Do not ask again"})")
                                 .object();
    for (const bool viewLives : {true, false}) {
        auto *view = new QWidget;
        QList<QJsonObject> replies;
        KZelvaCrossTerminalPanelJsEventObj::instance()->invoke(QStringLiteral("showConfirmDlg"), args, {}, view,
                                                               [&](const QJsonObject &r) { replies.append(r); });
        // The call returned with the dialog open: no nested loop ran.
        QVERIFY(replies.isEmpty());
        auto *dialog = view->findChild<KLiteContentDlg *>(QStringLiteral("crossTerminalPanelConfirmDlg"));
        QVERIFY(dialog && dialog->isVisible());
        dialog->findChild<QCheckBox *>()->setChecked(true);
        if (!viewLives) {
            dialog->setParent(nullptr); // outlives the page's view
            delete view;
            view = nullptr;
        }
        dialog->okButton()->click();
        if (viewLives) {
            QCOMPARE(replies.size(), 1);
            const QJsonObject data = replies.first().value(QStringLiteral("data")).toObject();
            QCOMPARE(data.value(QStringLiteral("confirm")).toString(), QStringLiteral("yes"));
            QCOMPARE(data.value(QStringLiteral("isChecked")).toBool(), true);
        } else {
            QVERIFY(replies.isEmpty());
        }
        delete view;
    }
}

namespace {

NotifyWebPageEventArg broadcast(const QString &message)
{
    NotifyWebPageEventArg arg;
    arg.__set_business("crossTerminalPanel");
    arg.__set_eventName("kipc_crosstermianlpanel_eventhandle");
    arg.__set_message(message.toStdString());
    return arg;
}

void nameThisProcess(const QString &appName)
{
    KCloudSvrProxy::ClientInfo info = zelvaApp->cloudSvrProxy()->clientInfo();
    info.appName = appName;
    zelvaApp->cloudSvrProxy()->setClientInfo(info);
}

} // namespace

// Rows: the broadcast's text (this process is "zelva-b"), a log text, and
// the documents left in "default" afterwards.
void tst_KZelvaCrossTerminalPanelJsEventObj::broadcastsFromOtherProcesses_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QStringList>("left");
    const QStringList both{QStringLiteral("gone1"), QStringLiteral("gone2")};
    const auto row = [](const char *name, const char *message, const char *log, const QStringList &left) {
        QTest::newRow(name) << QString::fromUtf8(message) << QString::fromUtf8(log) << left;
    };
    const char *invalid = "panelEventNotify stringParam is invalid";
    row("not JSON", "remove gone1", invalid, both);
    row("an array", R"([{"operation":"clear"}])", invalid, both);
    row("own name", R"({"appname":"zelva-b","operation":"clear","uuid":"{u1}"})", "panelEventNotify appName is appself",
        both);
    row("empty operation", R"({"appname":"zelva-a","operation":"","uuid":"{u2}"})", "", both);
    row("unknown operation", R"({"appname":"zelva-a","operation":"explode","uuid":"{u3}"})",
        "callInfo: unknown operation explode", both);
    row("param as text", R"({"appname":"zelva-a","operation":"remove","uuid":"{u4}","param":"gone1"})",
        "bRet: 0, callInfo: param is not an object", both);
    row("remove", R"({"appname":"zelva-a","operation":"remove","uuid":"{u5}",
         "param":{"workAreaId":"default","tagId":"gone1"}})",
        "bRet: 1", {QStringLiteral("gone2")});
    row("already removed there and here", R"({"appname":"zelva-a","operation":"remove","uuid":"{u6}",
         "param":{"workAreaId":"default","tagId":"gone9"}})",
        "bRet: 0", both);
    row("protected name", R"({"appname":"zelva-a","operation":"remove","uuid":"{u7}",
         "param":{"workAreaId":"workarea","tagId":"gone1"}})",
        "bRet: 0", both);
    row("clear", R"({"appname":"zelva-a","operation":"clear","uuid":"{u8}"})", "bRet: 1", {});
}

void tst_KZelvaCrossTerminalPanelJsEventObj::broadcastsFromOtherProcesses()
{
    QFETCH(QString, message);
    QFETCH(QString, log);
    QFETCH(QStringList, left);
    nameThisProcess(QStringLiteral("zelva-b"));
    KZelvaCrossTerminalNotifyProxy proxy;
    RecordLogTail tail;
    proxy.onNotifyBroadcastWebPageEvent(broadcast(message));
    QVERIFY2(tail.lines().join(QLatin1Char('\n')).contains(log), qPrintable(tail.lines().join(QLatin1Char('\n'))));
    m_records->waitForTasks();
    QCOMPARE(recordIds(QStringLiteral("default")), left);
    QCOMPARE(m_records->windowResidualIds().size(), left.isEmpty() ? 0 : 1);
}

void tst_KZelvaCrossTerminalPanelJsEventObj::aRelayHeardTwiceAppliesOnce()
{
    nameThisProcess(QStringLiteral("zelva-b"));
    KZelvaCrossTerminalNotifyProxy proxy;
    const QString message = QStringLiteral(
        R"({"appname":"zelva-a","operation":"remove","uuid":"{u9}","param":{"workAreaId":"default","tagId":"gone1"}})");
    proxy.onNotifyBroadcastWebPageEvent(broadcast(message));
    QCOMPARE(recordIds(QStringLiteral("default")), QStringList{QStringLiteral("gone2")});
    // The document closes here again; the same relay heard once more does not
    // take it away a second time.
    KZelvaWorkAreaRecoverItem again;
    again.id = QStringLiteral("gone1");
    again.pageType = KZelvaPluginWidget::QozDocument;
    QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), again, m_bed.research, 0));
    RecordLogTail tail;
    proxy.onNotifyBroadcastWebPageEvent(broadcast(message));
    QVERIFY(tail.lines().join(QLatin1Char('\n')).contains(QLatin1String("uuid seen before")));
    QCOMPARE(recordIds(QStringLiteral("default")).size(), 2);
}

void tst_KZelvaCrossTerminalPanelJsEventObj::openFilesReopensOnceThenRaises()
{
    const int windows = zelvaApp->mainWindows().size();
    const QJsonObject argument{{QStringLiteral("residualId"), m_windowRecord}};
    QCOMPARE(invoke(QStringLiteral("openFiles"), argument).value(QStringLiteral("code")).toInt(), 0);
    QCOMPARE(zelvaApp->mainWindows().size(), windows + 1);
    KZelvaMainWindow *opened = KZelvaCrossTerminalPanelJsHandle::instance()->openedWindow(m_windowRecord);
    QVERIFY(opened);
    const QList<KZelvaSubPage *> pages = opened->centralArea()->subPages();
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first()->windowTitle(), QStringLiteral("w1.txt"));
    // It shows the closed window's own work area, and no other.
    KZelvaWorkAreas *areas = m_bed.manager->workAreasOf(opened);
    QVERIFY(areas && areas->workAreaList().size() == 1);
    QCOMPARE(areas->currentWorkArea()->data().name, QStringLiteral("closed window"));

    RecordLogTail tail;
    QCOMPARE(invoke(QStringLiteral("openFiles"), argument).value(QStringLiteral("code")).toInt(), 0);
    QCOMPARE(zelvaApp->mainWindows().size(), windows + 1);
    QVERIFY(tail.lines().join(QLatin1Char('\n')).contains(QLatin1String("workArea is had opened")));
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    qputenv("KZELVA_CIRRAD", ""); // no service is started from here
    KZelvaApplication app(argc, argv);
    tst_KZelvaCrossTerminalPanelJsEventObj test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvacrossterminalpaneljseventobj.moc"
