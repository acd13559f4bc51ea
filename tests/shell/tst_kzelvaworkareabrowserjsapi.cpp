// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The work-area page API through the real dispatcher against a real model:
// what each method answers and changes, bad input that must answer failure
// (or nothing) and leave the model alone, the popup's placement, page URL,
// usage events and refreshes.

#include "ktoast.h"
#include "kxwebtestconnection.h"
#include "kzelvashellintegration.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareawidget.h"
#include "recordlogtail.h"

#include <kdcinfo.h>
#include <ksyncsettingsmanager.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>
#include <kzelvasubpage.h>

#include <QJsonArray>
#include <QScreen>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

QJsonValue js(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

} // namespace

class tst_KZelvaWorkAreaBrowserJsApi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void listsWorkAreasAndTabs();
    void changes_data();
    void changes();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void independentModeAnswersNothing_data();
    void independentModeAnswersNothing();
    void switchAndOpenCloseThePopupFirst();
    void removeWorkAreaRefreshesThePage();
    void openNewWindowTakesAHiddenWorkArea();
    void placeAgainstAnchor_data();
    void placeAgainstAnchor();
    void geometry();
    void pageUrl_data();
    void pageUrl();
    void popupReportsUsageAndRefreshes();

private:
    KZelvaMainWindow *newWindow();
    KZelvaQozSubPage *addPage(KZelvaMainWindow *window, const QString &title);
    // The answer object, or nothing when the bridge refused the call.
    std::optional<QJsonObject> call(const QString &method, const QJsonValue &args, QString *refusal = nullptr);
    QJsonValue result(const QString &method, const QString &argsText);
    // Every work area with its tabs, as the page would see them.
    QJsonArray snapshot();

    KZelvaWorkAreaManager *m_manager = nullptr;
    QList<QPointer<KZelvaMainWindow>> m_windows;
    KZelvaMainWindow *m_window = nullptr;
    KxWebViewContainer *m_container = nullptr;
    KZelvaWorkAreaBrowserJsApi *m_api = nullptr;
    QWidget *m_popup = nullptr;
    QString m_default;  // current in m_window, two tabs
    QString m_research; // in m_window, not current, one tab
    QString m_other;    // current in another window, one tab
    QString m_loose;    // in no window
    QStringList m_defaultTabs;
    QString m_researchTab;
    QString m_otherTab;
};

KZelvaMainWindow *tst_KZelvaWorkAreaBrowserJsApi::newWindow()
{
    KZelvaMainWindow *window = zelvaApp->createMainWindow(false);
    m_windows.append(window);
    m_manager->notifyMainWindowAdd(window);
    return window;
}

KZelvaQozSubPage *tst_KZelvaWorkAreaBrowserJsApi::addPage(KZelvaMainWindow *window, const QString &title)
{
    auto *page = new KZelvaQozSubPage;
    page->newDocument(title);
    window->centralArea()->addSubPage(page);
    QCoreApplication::processEvents(); // the queued adoption
    return page;
}

void tst_KZelvaWorkAreaBrowserJsApi::init()
{
    KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QStringLiteral("active"));
    m_manager = new KZelvaWorkAreaManager(qApp);
    m_manager->setShellHooks(new KZelvaShellIntegration);
    m_window = newWindow();
    m_defaultTabs = QStringList{addPage(m_window, QStringLiteral("plan"))->getWorkAreaItemId(),
                                addPage(m_window, QStringLiteral("budget"))->getWorkAreaItemId()};
    KZelvaWorkAreas *areas = m_manager->workAreasOf(m_window);
    m_default = areas->currentWorkArea()->id();
    KZelvaWorkArea *research = m_manager->createWorkArea(false);
    areas->addWorkArea(research);
    areas->setCurrentWorkArea(research, false, true);
    m_researchTab = addPage(m_window, QStringLiteral("tides"))->getWorkAreaItemId();
    m_research = research->id();
    areas->setCurrentWorkArea(m_manager->workArea(m_default), false, true);
    KZelvaMainWindow *second = newWindow();
    m_other = m_manager->workAreasOf(second)->currentWorkArea()->id();
    m_otherTab = addPage(second, QStringLiteral("letters"))->getWorkAreaItemId();
    m_loose = m_manager->createWorkArea(false)->id();
    QVERIFY(!m_defaultTabs.contains(QString()) && !m_researchTab.isEmpty() && !m_otherTab.isEmpty());

    m_popup = new QWidget;
    m_popup->setGeometry(100, 100, 400, 300);
    m_container = new KxWebViewContainer(KZelvaWorkAreaBrowser::browserId());
    m_api = new KZelvaWorkAreaBrowserJsApi(m_container, m_container);
    m_api->setMainWindow(m_window);
    m_api->setPopup(m_popup);
    QVERIFY(m_container->setApi(m_api));
}

void tst_KZelvaWorkAreaBrowserJsApi::cleanup()
{
    delete m_container;
    delete m_popup;
    zelvaApp->startupInfo()->setIndependentMode(false, 0);
    m_manager->teardown();
    delete m_manager;
    const QList<KZelvaMainWindow *> left = zelvaApp->mainWindows();
    for (KZelvaMainWindow *window : left)
        delete window;
    m_windows.clear();
}

std::optional<QJsonObject> tst_KZelvaWorkAreaBrowserJsApi::call(const QString &method, const QJsonValue &args,
                                                                QString *refusal)
{
    std::optional<QJsonObject> answer;
    m_container->jsObject()->call(QStringLiteral("common"), method, args, [&](const KxWebViewJSAnswer &a) {
        if (a.isOk())
            answer = QJsonDocument::fromJson(a.value).object();
        else if (refusal)
            *refusal = KxWebViewJSAnswer::codeName(a.status);
    });
    return answer;
}

QJsonValue tst_KZelvaWorkAreaBrowserJsApi::result(const QString &method, const QString &argsText)
{
    const std::optional<QJsonObject> answer = call(method, js(argsText));
    if (!answer || !answer->contains(QStringLiteral("result")))
        return QJsonValue(QJsonValue::Undefined);
    const QJsonDocument doc = QJsonDocument::fromJson(answer->value(QStringLiteral("result")).toString().toUtf8());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

QJsonArray tst_KZelvaWorkAreaBrowserJsApi::snapshot()
{
    QJsonArray all;
    const QJsonArray list = result(QStringLiteral("getWorkAreaList"), QStringLiteral("{}")).toArray();
    for (const QJsonValue &value : list) {
        QJsonObject area = value.toObject();
        const QString id = area.value(QStringLiteral("workAreaId")).toString();
        area.insert(QStringLiteral("tags"),
                    result(QStringLiteral("getTagList"), QStringLiteral("{\"params\":{\"workAreaId\":\"%1\"}}").arg(id)));
        all.append(area);
    }
    return all;
}

void tst_KZelvaWorkAreaBrowserJsApi::listsWorkAreasAndTabs()
{
    const QJsonArray list = result(QStringLiteral("getWorkAreaList"), QStringLiteral("{}")).toArray();
    QHash<QString, QString> status;
    for (const QJsonValue &value : list) {
        const QJsonObject area = value.toObject();
        for (const char *key : {"workAreaId", "name", "type", "deviceName", "tagNum", "activeTagName",
                                "customColor", "status", "isDefault"})
            QVERIFY2(area.contains(QLatin1String(key)), key);
        status.insert(area.value(QStringLiteral("workAreaId")).toString(), area.value(QStringLiteral("status")).toString());
    }
    QCOMPARE(status.value(m_default), QStringLiteral("current"));
    QCOMPARE(status.value(m_research), QStringLiteral("current"));
    QCOMPARE(status.value(m_other), QStringLiteral("other"));
    QCOMPARE(status.value(m_loose), QStringLiteral("none"));

    const QJsonArray tags = result(QStringLiteral("getTagList"),
                                   QStringLiteral("{\"params\":{\"workAreaId\":\"%1\"}}").arg(m_default)).toArray();
    QCOMPARE(tags.size(), 2);
    for (const char *key : {"tagId", "name", "url", "virtualPath", "path", "preview", "size", "isActive", "type",
                            "suffix", "isDirty"})
        QVERIFY2(tags.first().toObject().contains(QLatin1String(key)), key);
    QCOMPARE(tags.first().toObject().value(QStringLiteral("tagId")).toString(), m_defaultTabs.first());
    // Pages that speak for strings only send the arguments as JSON text.
    QCOMPARE(result(QStringLiteral("getTagList"),
                    QStringLiteral("{\"params\":\"{\\\"workAreaId\\\":\\\"%1\\\"}\"}").arg(m_default)).toArray().size(), 2);
}

void tst_KZelvaWorkAreaBrowserJsApi::changes_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("params"); // %1 default, %2 research, %3 other, %4/%5 default's tabs, %6 research's tab
    QTest::addColumn<QString>("workArea"); // whose state is checked afterwards
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rename") << "renameWorkArea" << R"({"workAreaId":"%2","name":"  Lab notes "})"
                            << "%2" << "name" << "Lab notes";
    QTest::newRow("rename device") << "renameWorkAreaDevice" << R"({"workAreaId":"%2","deviceName":"Desk"})"
                                   << "%2" << "deviceName" << "Desk";
    QTest::newRow("colour") << "setWorkAreaCustomColor" << R"({"workAreaId":"%3","customColor":"#12A594"})"
                            << "%3" << "customColor" << "#12a594";
    QTest::newRow("move two tabs") << "moveTag" << R"({"workAreaId":"%2","tagIdList":"%4|%5"})"
                                   << "%2" << "tagNum" << "3";
    QTest::newRow("move a tab to another window") << "moveTag" << R"({"workAreaId":"%3","tagIdList":"%6"})"
                                                  << "%3" << "tagNum" << "2";
    QTest::newRow("reorder") << "moveWorkArea" << R"({"workAreaIdList":"%3|%2|%1"})"
                             << "first" << "workAreaId" << "%3";
    QTest::newRow("move to top") << "workAreaMoveTop" << R"({"workAreaId":"%2"})"
                                 << "first" << "workAreaId" << "%2";
}

void tst_KZelvaWorkAreaBrowserJsApi::changes()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QString, workArea);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const auto fill = [this](QString text) {
        return text.replace(QLatin1String("%1"), m_default).replace(QLatin1String("%2"), m_research)
            .replace(QLatin1String("%3"), m_other).replace(QLatin1String("%4"), m_defaultTabs.at(0))
            .replace(QLatin1String("%5"), m_defaultTabs.at(1)).replace(QLatin1String("%6"), m_researchTab);
    };
    const QJsonObject answer = result(method, QStringLiteral("{\"params\":%1}").arg(fill(params))).toObject();
    QCOMPARE(answer, QJsonObject({{QStringLiteral("isSuccess"), true}}));
    const QJsonArray list = result(QStringLiteral("getWorkAreaList"), QStringLiteral("{}")).toArray();
    QJsonObject checked = list.first().toObject();
    for (const QJsonValue &value : list) {
        if (value.toObject().value(QStringLiteral("workAreaId")).toString() == fill(workArea))
            checked = value.toObject();
    }
    QCOMPARE(checked.value(key).toVariant().toString(), fill(expected));
}

void tst_KZelvaWorkAreaBrowserJsApi::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("args"); // %1 default, %2 research, %4 a tab of default
    QTest::addColumn<QString>("answer"); // "failure", "nothing" or the bridge's refusal code
    QTest::addColumn<QString>("log");

    const QString failure = QStringLiteral("failure");
    const QString nothing = QStringLiteral("nothing");
    QTest::newRow("no params") << "getTagList" << "{}" << failure << "getTagList : failed! workAreaId is Empty";
    QTest::newRow("params not a map") << "getTagList" << R"({"params":"garbage"})" << failure
                                      << "workAreaId is Empty";
    QTest::newRow("id a number") << "getTagList" << R"({"params":{"workAreaId":17}})" << failure
                                 << "getTagList : failed! workAreaId is not a text";
    QTest::newRow("unknown id") << "getTagList" << R"({"params":{"workAreaId":"1234"}})" << failure
                                << "unknown work area 1234";
    QTest::newRow("colour missing") << "setWorkAreaCustomColor" << R"({"params":{"workAreaId":"%2"}})" << failure
                                    << "customColor is Empty";
    QTest::newRow("colour hostile") << "setWorkAreaCustomColor"
                                    << R"({"params":{"workAreaId":"%2","customColor":"red;background:url[x]"}})"
                                    << failure << "is not #RRGGBB";
    QTest::newRow("name empty") << "renameWorkArea" << R"({"params":{"workAreaId":"%2","name":""}})" << failure
                                << "renameWorkArea : failed! name is Empty";
    QTest::newRow("name blank") << "renameWorkArea" << R"({"params":{"workAreaId":"%2","name":"   "}})" << failure
                                << "name must have 1 to 128 characters";
    QTest::newRow("name too long") << "renameWorkArea"
                                   << QStringLiteral(R"({"params":{"workAreaId":"%2","name":"%3"}})")
                                          .arg(QStringLiteral("%2"), QString(129, QLatin1Char('n')))
                                   << failure << "name must have 1 to 128 characters";
    QTest::newRow("name a list") << "renameWorkArea" << R"({"params":{"workAreaId":"%2","name":["a"]}})" << failure
                                 << "name is not a text";
    QTest::newRow("device unknown area") << "renameWorkAreaDevice"
                                         << R"({"params":{"workAreaId":"x|y","deviceName":"d"}})" << failure
                                         << "unknown work area \"x|y\"";
    QTest::newRow("tags with an empty part") << "moveTag" << R"({"params":{"workAreaId":"%2","tagIdList":"%4||%4"}})"
                                             << failure << "moveTag : failed! tagIdList has an empty id";
    QTest::newRow("tags only a separator") << "moveTag" << R"({"params":{"workAreaId":"%2","tagIdList":"|"}})"
                                           << failure << "tagIdList has an empty id";
    QTest::newRow("tags known and unknown") << "moveTag"
                                            << R"({"params":{"workAreaId":"%2","tagIdList":"%4|nope"}})"
                                            << failure << "moveTag : failed! unknown tab nope";
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many.append(QStringLiteral("t"));
    QTest::newRow("10 000 tags in one text") << "moveTag"
                                             << QStringLiteral(R"({"params":{"workAreaId":"%2","tagIdList":"%1"}})")
                                                    .arg(many.join(QLatin1Char('|')))
                                             << failure << "tagIdList holds 10000 ids";
    QTest::newRow("order with an empty part") << "moveWorkArea" << R"({"params":{"workAreaIdList":"%1||%2"}})"
                                              << failure << "workAreaIdList has an empty id";
    QTest::newRow("order twice the same") << "moveWorkArea" << R"({"params":{"workAreaIdList":"%1|%1"}})"
                                          << failure << "";
    QTest::newRow("order unknown") << "moveWorkArea" << R"({"params":{"workAreaIdList":"%1|9"}})" << failure
                                   << "unknown work area \"9\"";
    QTest::newRow("open tag missing") << "openTag" << R"({"params":{"workAreaId":"%1"}})" << failure
                                      << "openTag : failed! tagId is Empty";
    QTest::newRow("open tag of another area") << "openTag" << R"({"params":{"workAreaId":"%2","tagId":"%4"}})"
                                              << failure << "unknown tab";
    QTest::newRow("new window unknown") << "openNewWindow" << R"({"params":{"workAreaId":"0"}})" << failure
                                        << "unknown work area \"0\"";
    QTest::newRow("switch unknown") << "switchWorkAreaWindow" << R"({"params":{"workAreaId":"0"}})" << failure
                                    << "switchWorkAreaWindow : failed! unknown work area 0";
    QTest::newRow("top missing") << "workAreaMoveTop" << R"({"params":{}})" << failure << "workAreaId is Empty";
    QTest::newRow("remove default") << "removeWorkArea" << R"({"params":{"workAreaId":"%1"}})" << failure
                                    << "the device's default work area stays";
    QTest::newRow("remove unknown") << "removeWorkArea" << R"({"params":{"workAreaId":"<script>"}})" << failure
                                    << "unknown work area \"<script>\"";
    QTest::newRow("menu missing tab") << "popupMenu" << R"({"params":{"workAreaId":"%1"}})" << nothing
                                      << "popupMenu : failed! tagId is Empty";
    QTest::newRow("geometry not numbers") << "setGeomtry"
                                          << R"({"params":{"left":"a","top":"1","width":"9","height":"9"}})"
                                          << nothing << "setGeomtry : failed!";
    QTest::newRow("geometry negative size") << "setGeomtry"
                                            << R"({"params":{"left":"1","top":"1","width":"-9","height":"9"}})"
                                            << nothing << "setGeomtry : failed!";
    QTest::newRow("geometry huge") << "setGeomtry"
                                   << R"({"params":{"left":"1","top":"1","width":"99999999999","height":"9"}})"
                                   << nothing << "setGeomtry : failed!";
    QTest::newRow("copy does nothing") << "copyWorkArea" << R"({"params":{"workAreaId":"%1"}})" << nothing << "";
    QTest::newRow("move other does nothing") << "moveTagToOtherWorkArea" << R"({"params":{"workAreaId":"%1"}})"
                                             << nothing << "";
    QTest::newRow("1 MiB name") << "renameWorkArea"
                                << QStringLiteral(R"({"params":{"workAreaId":"%2","name":"%3"}})")
                                       .arg(QStringLiteral("%2"), QString(1 << 20, QLatin1Char('x')))
                                << "tooLarge" << "";
    QJsonArray list;
    for (int i = 0; i < 10000; ++i)
        list.append(i);
    QTest::newRow("10 000-element list") << "moveWorkArea"
                                         << QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("params"),
                                                QJsonObject{{QStringLiteral("workAreaIdList"), list}}}}).toJson())
                                         << "tooLarge" << "";
}

void tst_KZelvaWorkAreaBrowserJsApi::badInputChangesNothing()
{
    QFETCH(QString, method);
    QFETCH(QString, args);
    QFETCH(QString, answer);
    QFETCH(QString, log);
    args.replace(QLatin1String("%1"), m_default).replace(QLatin1String("%2"), m_research)
        .replace(QLatin1String("%4"), m_defaultTabs.first());
    const QJsonArray before = snapshot();
    const QRect geometry = m_popup->geometry();
    QSignalSpy closes(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose);
    if (answer == QLatin1String("tooLarge"))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused \\(tooLarge\\)")));

    RecordLogTail tail;
    QString refusal;
    const std::optional<QJsonObject> reply = call(method, js(args), &refusal);
    if (answer == QLatin1String("failure"))
        QCOMPARE(reply.value_or(QJsonObject()), QJsonObject({{QStringLiteral("result"), QStringLiteral("{\"isSuccess\":false}")}}));
    else if (answer == QLatin1String("nothing"))
        QCOMPARE(reply.value_or(QJsonObject({{QStringLiteral("refused"), refusal}})), QJsonObject());
    else
        QCOMPARE(refusal, answer);
    if (!log.isEmpty()) {
        const QString lines = tail.lines().join(QLatin1Char('\n'));
        QVERIFY2(lines.contains(log), qPrintable(lines));
    }
    QCOMPARE(snapshot(), before);
    QCOMPARE(m_popup->geometry(), geometry);
    QCOMPARE(closes.count(), 0);
    QCOMPARE(m_manager->workAreasOf(m_window)->currentWorkArea()->id(), m_default);
}

void tst_KZelvaWorkAreaBrowserJsApi::independentModeAnswersNothing_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("params");
    QTest::newRow("create") << "createWorkArea" << "{}";
    QTest::newRow("rename") << "renameWorkArea" << R"({"workAreaId":"%2","name":"x"})";
    QTest::newRow("rename device") << "renameWorkAreaDevice" << R"({"workAreaId":"%2","deviceName":"x"})";
    QTest::newRow("move to top") << "workAreaMoveTop" << R"({"workAreaId":"%2"})";
}

void tst_KZelvaWorkAreaBrowserJsApi::independentModeAnswersNothing()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QCOMPARE(result(QStringLiteral("getWorkSpaceMode"), QStringLiteral("{}")).toObject(),
             QJsonObject({{QStringLiteral("mode"), QStringLiteral("0")}}));
    const QJsonArray before = snapshot();
    zelvaApp->startupInfo()->setIndependentMode(true, 0);
    QCOMPARE(result(QStringLiteral("getWorkSpaceMode"), QStringLiteral("{}")).toObject(),
             QJsonObject({{QStringLiteral("mode"), QStringLiteral("1")}}));
    const std::optional<QJsonObject> reply
        = call(method, js(QStringLiteral("{\"params\":%1}").arg(params.replace(QLatin1String("%2"), m_research))));
    QCOMPARE(reply.value_or(QJsonObject({{QStringLiteral("refused"), true}})), QJsonObject());
    zelvaApp->startupInfo()->setIndependentMode(false, 0);
    QCOMPARE(snapshot(), before);
}

void tst_KZelvaWorkAreaBrowserJsApi::switchAndOpenCloseThePopupFirst()
{
    // The popup closes before the window changes, and only after a good id.
    QString currentWhenClosed;
    connect(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose, this, [&] {
        currentWhenClosed = m_manager->workAreasOf(m_window)->currentWorkArea()->id();
    });
    QCOMPARE(result(QStringLiteral("switchWorkAreaWindow"),
                    QStringLiteral("{\"params\":{\"workAreaId\":\"%1\"}}").arg(m_research)).toObject(),
             QJsonObject({{QStringLiteral("isSuccess"), true}}));
    QCOMPARE(currentWhenClosed, m_default);
    QCOMPARE(m_manager->workAreasOf(m_window)->currentWorkArea()->id(), m_research);

    currentWhenClosed.clear();
    QCOMPARE(result(QStringLiteral("openTag"), QStringLiteral("{\"params\":{\"workAreaId\":\"%1\",\"tagId\":\"%2\"}}")
                                                   .arg(m_default, m_defaultTabs.last())).toObject(),
             QJsonObject({{QStringLiteral("isSuccess"), true}}));
    QCOMPARE(m_manager->workAreasOf(m_window)->currentWorkArea()->id(), m_default);
    QCOMPARE(currentWhenClosed, m_default);
    QCOMPARE(m_window->centralArea()->currentSubPage()->getWorkAreaItemId(), m_defaultTabs.last());

    // closeWorkArea only closes the popup.
    const int count = m_manager->workAreas().size();
    QSignalSpy closes(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose);
    QCOMPARE(call(QStringLiteral("closeWorkArea"), js(QStringLiteral("{}"))).value_or(QJsonObject{{QStringLiteral("x"), 1}}),
             QJsonObject());
    QCOMPARE(closes.count(), 1);
    QCOMPARE(m_manager->workAreas().size(), count);
}

void tst_KZelvaWorkAreaBrowserJsApi::removeWorkAreaRefreshesThePage()
{
    auto *unsaved = qobject_cast<KZelvaQozSubPage *>(m_manager->workArea(m_research)->items().first()->subPage());
    QVERIFY(unsaved);
    unsaved->setText(QStringLiteral("changed"));
    const QString args = QStringLiteral("{\"params\":{\"workAreaId\":\"%1\"}}").arg(m_research);
    RecordLogTail tail;
    QCOMPARE(result(QStringLiteral("removeWorkArea"), args).toObject().value(QStringLiteral("isSuccess")), false);
    QVERIFY(tail.lines().join(QLatin1Char('\n')).contains(QLatin1String("has unsaved changes")));
    QVERIFY(m_manager->workArea(m_research));
    // The window with the unsaved tab tells the user.
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto toast = std::find_if(tops.cbegin(), tops.cend(), [](QWidget *w) {
        return qobject_cast<KToast *>(w) && w->isVisible();
    });
    QVERIFY(toast != tops.cend());
    QVERIFY(qobject_cast<KToast *>(*toast)->text().contains(m_manager->workArea(m_research)->data().name));
    (*toast)->close();

    unsaved->setModified(false);
    // A page attached to the popup sees the refresh once the close is done.
    m_manager->workAreasOf(m_window)->setCurrentWorkArea(m_manager->workArea(m_research), false, true);
    KZelvaWorkAreaWidget *popup = qobject_cast<KZelvaWorkAreaWidget *>(m_manager->notifyPopup(m_window, QRect()));
    QVERIFY(popup);
    QTRY_VERIFY(popup->browser()->container());
    KxWebTestConnection page(popup->browser()->container()->jsObject(), false);
    page.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":1,\"h\":\"common\",\"m\":\"removeWorkArea\",\"a\":%1}").arg(args));
    QCOMPARE(page.last().value(QStringLiteral("v")).toObject().value(QStringLiteral("result")).toString(),
             QStringLiteral("{\"isSuccess\":true}"));
    // The window shows another work area at once; the tab is gone with it.
    QCOMPARE(m_manager->workAreasOf(m_window)->currentWorkArea()->id(), m_default);
    QVERIFY(!m_window->centralArea()->subPages().contains(unsaved));
    QTRY_VERIFY(!m_manager->workArea(m_research));
    QTRY_VERIFY(page.sent.join(QLatin1Char('\n')).contains(QLatin1String("onRefreshCallback()")));
    popup->closeWidget();
}

void tst_KZelvaWorkAreaBrowserJsApi::openNewWindowTakesAHiddenWorkArea()
{
    const int windows = zelvaApp->mainWindows().size();
    const QString args = QStringLiteral("{\"params\":{\"workAreaId\":\"%1\"}}");
    // Shown in its window already: that window comes forward, nothing moves.
    QCOMPARE(result(QStringLiteral("openNewWindow"), args.arg(m_default)).toObject().value(QStringLiteral("isSuccess")),
             true);
    QCOMPARE(zelvaApp->mainWindows().size(), windows);
    // Hidden in this window: it leaves with its tab for a window of its own.
    QCOMPARE(result(QStringLiteral("openNewWindow"), args.arg(m_research)).toObject().value(QStringLiteral("isSuccess")),
             true);
    QCOMPARE(zelvaApp->mainWindows().size(), windows + 1);
    KZelvaWorkArea *research = m_manager->workArea(m_research);
    KZelvaMainWindow *opened = research->window();
    QVERIFY(opened && opened != m_window);
    QCOMPARE(m_manager->workAreasOf(opened)->currentWorkArea(), research);
    QVERIFY(!m_manager->workAreasOf(m_window)->contains(research));
    KZelvaSubPage *tab = research->findItem(m_researchTab)->subPage();
    QCOMPARE(findRelativeZelvaMainWindow(tab), opened);
    QTRY_VERIFY(tab->isVisibleByControl());
    QCOMPARE(m_manager->workAreasOf(m_window)->currentWorkArea()->id(), m_default);
    QCOMPARE(m_window->centralArea()->subPages().size(), 2);
}

void tst_KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1920, 1080);
    Q_UNUSED(screen)
    QTest::newRow("below, right edges aligned") << QRect(0, 0, 1050, 560) << QRect(1800, 40, 32, 24) << QPoint(782, 64);
    QTest::newRow("off the left: right of the anchor") << QRect(0, 0, 1050, 560) << QRect(200, 40, 32, 24)
                                                      << QPoint(200, 64);
    QTest::newRow("off the bottom: above the anchor") << QRect(0, 0, 1050, 560) << QRect(1800, 900, 32, 24)
                                                     << QPoint(782, 340);
    QTest::newRow("off both") << QRect(0, 0, 1050, 560) << QRect(100, 900, 32, 24) << QPoint(100, 340);
    QTest::newRow("no room above either") << QRect(0, 0, 400, 1000) << QRect(1800, 500, 32, 24)
                                          << QPoint(1432, 524);
}

void tst_KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, anchor);
    QFETCH(QPoint, expected);
    const QRect placed = KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor(rect, anchor, QRect(0, 0, 1920, 1080));
    QCOMPARE(placed.topLeft(), expected);
    QCOMPARE(placed.size(), rect.size());
}

void tst_KZelvaWorkAreaBrowserJsApi::geometry()
{
    QCOMPARE(result(QStringLiteral("getGeomtry"), QStringLiteral("{}")).toObject(),
             QJsonObject({{QStringLiteral("left"), 100}, {QStringLiteral("top"), 100},
                          {QStringLiteral("width"), 400}, {QStringLiteral("height"), 300}}));
    call(QStringLiteral("setGeomtry"), js(QStringLiteral(R"({"params":{"left":"30","top":"40","width":"500","height":"200"}})")));
    QCOMPARE(m_popup->geometry(), QRect(30, 40, 500, 200));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect anchor(screen.right() - 40, screen.bottom() - 30, 32, 24);
    m_popup->setProperty("anchor", anchor);
    call(QStringLiteral("setGeomtry"), js(QStringLiteral(R"({"params":{"left":"0","top":"0","width":"300","height":"200","anchor":"1"}})")));
    QCOMPARE(m_popup->geometry().bottom(), anchor.top() - 1);
    QCOMPARE(m_popup->geometry().right(), anchor.right());
    QCOMPARE(result(QStringLiteral("getAnchorPos"), QStringLiteral("{}")).toObject().value(QStringLiteral("anchor")).toObject(),
             QJsonObject({{QStringLiteral("left"), anchor.x()}, {QStringLiteral("top"), anchor.y()},
                          {QStringLiteral("width"), 32}, {QStringLiteral("height"), 24}}));
    call(QStringLiteral("setHasOperation"), js(QStringLiteral("{}")));
    QCOMPARE(m_popup->property("isOperationDuring"), QVariant(true));
    QCOMPARE(result(QStringLiteral("getOemDisableGlobalInfoCollect"), QStringLiteral("{}")).toObject(),
             QJsonObject({{QStringLiteral("disableGlobalInfoCollect"), QStringLiteral("1")}}));
}

void tst_KZelvaWorkAreaBrowserJsApi::pageUrl_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected"); // below the directory; empty: no page
    const QString index = QStringLiteral("mui/default/html/workarea/index.html");
    QTest::newRow("the page") << QStringList{index} << "other.html" << QString(index + QLatin1String("?lang=de_DE&disableGlobalInfoCollect=true"));
    QTest::newRow("configured page") << QStringList{QStringLiteral("web/wa.html")} << "web/wa.html"
                                     << "web/wa.html?lang=de_DE&disableGlobalInfoCollect=true";
    QTest::newRow("configured page outside") << QStringList{QStringLiteral("web/wa.html")} << "../web/wa.html" << "";
    QTest::newRow("configured absolute") << QStringList{QStringLiteral("web/wa.html")} << "/etc/passwd" << "";
    QTest::newRow("nothing") << QStringList() << "" << "";
}

void tst_KZelvaWorkAreaBrowserJsApi::pageUrl()
{
    QFETCH(QStringList, files);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString &file : qAsConst(files)) {
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(file).path()));
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(KZelvaWorkAreaBrowser::pageUrlFor(dir.path(), relative, QStringLiteral("de_DE"), true),
             expected.isEmpty() ? QString() : QString(dir.path() + QLatin1Char('/') + expected));
    // The build puts the real page into the resource directory the tests find too.
    QVERIFY(KZelvaWorkAreaBrowser::pageUrl().contains(QLatin1String("/share/kzelvaworkarea/mui/default/html/workarea/index.html?lang=")));
}

void tst_KZelvaWorkAreaBrowserJsApi::popupReportsUsageAndRefreshes()
{
    QFile events(getDcInfo()->eventFile());
    const qint64 start = events.exists() ? events.size() : 0;
    const QRect anchor(600, 10, 30, 20);
    auto *popup = qobject_cast<KZelvaWorkAreaWidget *>(m_manager->notifyPopup(m_window, anchor));
    QVERIFY(popup);
    QCOMPARE(m_manager->popupOf(m_window), popup);
    QCOMPARE(popup->property("anchor").toRect(), anchor);
    QTRY_VERIFY(popup->browser()->api());
    KxWebTestConnection page(popup->browser()->container()->jsObject(), false);
    page.receiveText(QStringLiteral("{\"t\":\"on\",\"e\":\"softbus.event.updateSoftbussDeviceAndTags\"}"));

    // Work-area changes and device lists reach the page.
    KZelvaWorkArea *research = m_manager->workArea(m_research);
    KZelvaWorkAreaData data = research->data();
    data.name = QStringLiteral("renamed");
    research->setData(data);
    QTRY_VERIFY(page.sent.join(QLatin1Char('\n')).contains(QLatin1String("onRefreshCallback()")));
    popup->browser()->api()->refreshDeviceTags(QJsonObject{{QStringLiteral("devices"), QJsonArray()}});
    QCOMPARE(page.last().value(QStringLiteral("e")).toString(), QStringLiteral("softbus.event.updateSoftbussDeviceAndTags"));

    // The page asks to be shown; closing reports what happened.
    QVERIFY(!popup->isPageShown());
    page.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":2,\"h\":\"common\",\"m\":\"setWebViewVisible\",\"a\":{}}"));
    QVERIFY(popup->isPageShown());
    page.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":3,\"h\":\"common\",\"m\":\"setHasOperation\",\"a\":{}}"));
    QPointer<KZelvaWorkAreaWidget> guard(popup);
    m_manager->notifyPopoff(m_window);
    QTRY_VERIFY(!guard);
    QVERIFY(!m_manager->popupOf(m_window));
    QVERIFY(events.open(QIODevice::ReadOnly));
    events.seek(start);
    const QString posted = QString::fromUtf8(events.readAll());
    QVERIFY2(posted.contains(QLatin1String("\"workspace_panelshow\"")), qPrintable(posted));
    QVERIFY2(posted.contains(QLatin1String("\"result\":\"operation\"")), qPrintable(posted));
    QVERIFY2(posted.contains(QLatin1String("\"workspace_closeworkspace\"")), qPrintable(posted));
    QVERIFY2(posted.contains(QLatin1String("\"usedtime\":\"0\"")), qPrintable(posted));
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaBrowserJsApi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareabrowserjsapi.moc"
