// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The work-area page API through the real dispatcher against a real model:
// what each method answers and changes, bad input that must answer failure
// (or nothing) and leave the model alone, the popup's placement, page URL,
// usage events and refreshes.

#include "ktoast.h"
#include "kxwebtestconnection.h"
#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareawidget.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kdcinfo.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kzelvasubpage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

QJsonValue js(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

const QJsonObject kSuccess{{QStringLiteral("isSuccess"), true}};

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
    void removeIsRefusedWithUnsavedTabs();
    void placeAgainstAnchor_data();
    void placeAgainstAnchor();
    void pageUrl_data();
    void pageUrl();
    void popupReportsUsageAndRefreshes();

private:
    // The answer object, or nothing when the bridge refused the call.
    std::optional<QJsonObject> call(const QString &method, const QJsonValue &args, QString *refusal = nullptr);
    // The decoded "result" of a call with {"params": params}.
    QJsonValue result(const QString &method, const QString &params = QStringLiteral("{}"));
    // Every work area with its tabs, as the page would see them.
    QJsonArray snapshot();
    // %1 default, %2 research, %3 other, %4/%5 default's tabs, %6 research's tab.
    QString fill(QString text) const;

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
    KxWebViewContainer *m_container = nullptr;
    KZelvaWorkAreaBrowserJsApi *m_api = nullptr;
    QWidget *m_popup = nullptr;
    // m_bed's scene: default current in its window with two tabs, research beside it with one
    QString m_other;    // current in another window, one tab
    QString m_loose;    // in no window
};

void tst_KZelvaWorkAreaBrowserJsApi::init()
{
    m_bed.startResearchScene(new KZelvaWorkAreaAssembly, false, {QStringLiteral("plan"), QStringLiteral("budget")});
    m_manager = m_bed.manager;
    KZelvaMainWindow *second = m_bed.newWindow();
    m_other = m_bed.current(second)->id();
    const QString otherTab = m_bed.addPage(second, QStringLiteral("letters"))->getWorkAreaItemId();
    m_loose = m_manager->createWorkArea(false)->id();
    QVERIFY(!m_bed.defaultTabs.contains(QString()) && !m_bed.researchTab.isEmpty() && !otherTab.isEmpty());

    m_popup = new QWidget;
    m_popup->setGeometry(100, 100, 400, 300);
    m_container = new KxWebViewContainer(KZelvaWorkAreaBrowser::browserId());
    m_api = new KZelvaWorkAreaBrowserJsApi(m_container, m_container);
    m_api->setMainWindow(m_bed.window);
    m_api->setPopup(m_popup);
    QVERIFY(m_container->setApi(m_api));
}

void tst_KZelvaWorkAreaBrowserJsApi::cleanup()
{
    delete m_container;
    delete m_popup;
    zelvaApp->startupInfo()->setIndependentMode(false, 0);
    m_bed.stop();
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

QJsonValue tst_KZelvaWorkAreaBrowserJsApi::result(const QString &method, const QString &params)
{
    const std::optional<QJsonObject> answer = call(method, js(QStringLiteral("{\"params\":%1}").arg(params)));
    if (!answer || !answer->contains(QStringLiteral("result")))
        return QJsonValue(QJsonValue::Undefined);
    const QJsonDocument doc = QJsonDocument::fromJson(answer->value(QStringLiteral("result")).toString().toUtf8());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

QJsonArray tst_KZelvaWorkAreaBrowserJsApi::snapshot()
{
    QJsonArray all;
    const QJsonArray list = result(QStringLiteral("getWorkAreaList")).toArray();
    for (const QJsonValue &value : list) {
        QJsonObject area = value.toObject();
        const QString id = area.value(QStringLiteral("workAreaId")).toString();
        area.insert(QStringLiteral("tags"), result(QStringLiteral("getTagList"), QStringLiteral("{\"workAreaId\":\"%1\"}").arg(id)));
        all.append(area);
    }
    return all;
}

QString tst_KZelvaWorkAreaBrowserJsApi::fill(QString text) const
{
    return text.replace(QLatin1String("%1"), m_bed.defaultArea)
        .replace(QLatin1String("%2"), m_bed.research)
        .replace(QLatin1String("%3"), m_other)
        .replace(QLatin1String("%4"), m_bed.defaultTabs.at(0))
        .replace(QLatin1String("%5"), m_bed.defaultTabs.at(1))
        .replace(QLatin1String("%6"), m_bed.researchTab);
}

void tst_KZelvaWorkAreaBrowserJsApi::listsWorkAreasAndTabs()
{
    const QJsonArray list = result(QStringLiteral("getWorkAreaList")).toArray();
    QHash<QString, QString> status;
    for (const QJsonValue &value : list) {
        const QJsonObject area = value.toObject();
        for (const QString &key : QStringLiteral("workAreaId name type deviceName tagNum activeTagName customColor "
                                                 "status isDefault").split(QLatin1Char(' ')))
            QVERIFY2(area.contains(key), qPrintable(key));
        status.insert(area.value(QStringLiteral("workAreaId")).toString(), area.value(QStringLiteral("status")).toString());
    }
    const QHash<QString, QString> expected{{m_bed.defaultArea, QStringLiteral("current")},
                                           {m_bed.research, QStringLiteral("current")},
                                           {m_other, QStringLiteral("other")},
                                           {m_loose, QStringLiteral("none")}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(status.value(it.key()), it.value());

    const QJsonArray tags = result(QStringLiteral("getTagList"), fill(QStringLiteral(R"({"workAreaId":"%1"})"))).toArray();
    QCOMPARE(tags.size(), 2);
    for (const QString &key : QStringLiteral("tagId name url virtualPath path preview size isActive type suffix "
                                             "isDirty").split(QLatin1Char(' ')))
        QVERIFY2(tags.first().toObject().contains(key), qPrintable(key));
    QCOMPARE(tags.first().toObject().value(QStringLiteral("tagId")).toString(), m_bed.defaultTabs.first());
    // Pages that speak for strings only send the arguments as JSON text.
    QCOMPARE(result(QStringLiteral("getTagList"), fill(QStringLiteral("\"{\\\"workAreaId\\\":\\\"%1\\\"}\""))).toArray().size(), 2);
}

void tst_KZelvaWorkAreaBrowserJsApi::changes_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("workArea"); // whose state is checked afterwards
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *method, const char *params, const char *workArea,
                        const char *key, const char *expected) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromLatin1(params) << QString::fromLatin1(workArea)
                            << QString::fromLatin1(key) << QString::fromLatin1(expected);
    };
    row("rename", "renameWorkArea", R"({"workAreaId":"%2","name":"  Lab notes "})", "%2", "name", "Lab notes");
    row("rename device", "renameWorkAreaDevice", R"({"workAreaId":"%2","deviceName":"Desk"})", "%2", "deviceName", "Desk");
    row("colour", "setWorkAreaCustomColor", R"({"workAreaId":"%3","customColor":"#12A594"})", "%3", "customColor", "#12a594");
    row("move two tabs", "moveTag", R"({"workAreaId":"%2","tagIdList":"%4|%5"})", "%2", "tagNum", "3");
    row("move a tab to another window", "moveTag", R"({"workAreaId":"%3","tagIdList":"%6"})", "%3", "tagNum", "2");
    row("reorder", "moveWorkArea", R"({"workAreaIdList":"%3|%2|%1"})", "first", "workAreaId", "%3");
    row("move to top", "workAreaMoveTop", R"({"workAreaId":"%2"})", "first", "workAreaId", "%2");
}

void tst_KZelvaWorkAreaBrowserJsApi::changes()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QString, workArea);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(result(method, fill(params)).toObject(), kSuccess);
    const QJsonArray list = result(QStringLiteral("getWorkAreaList")).toArray();
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
    QTest::addColumn<QString>("answer"); // "failure" or "nothing"
    QTest::addColumn<QString>("log");
    const auto row = [](const char *name, const char *method, const QString &args, const char *answer, const char *log) {
        QTest::newRow(name) << QString::fromLatin1(method) << args << QString::fromLatin1(answer) << QString::fromUtf8(log);
    };
    const auto p = [](const char *params) { return QStringLiteral("{\"params\":%1}").arg(QLatin1String(params)); };
    row("no params", "getTagList", QStringLiteral("{}"), "failure", "");
    row("params not a map", "getTagList", p(R"("garbage")"), "failure", "");
    row("id a number", "getTagList", p(R"({"workAreaId":17})"), "failure", "getTagList : failed! workAreaId is not a text");
    row("unknown id", "getTagList", p(R"({"workAreaId":"1234"})"), "failure", "unknown work area 1234");
    row("colour hostile", "setWorkAreaCustomColor", p(R"({"workAreaId":"%2","customColor":"red;background:url[x]"})"),
        "failure", "is not #RRGGBB");
    row("name blank", "renameWorkArea", p(R"({"workAreaId":"%2","name":"   "})"), "failure", "name must have 1 to 128 characters");
    row("name too long", "renameWorkArea",
        QStringLiteral(R"({"params":{"workAreaId":"%2","name":"%1"}})").arg(QString(129, QLatin1Char('n'))), "failure",
        "name must have 1 to 128 characters");
    row("tags with an empty part", "moveTag", p(R"({"workAreaId":"%2","tagIdList":"%4||%4"})"), "failure",
        "moveTag : failed! tagIdList has an empty id");
    row("tags known and unknown", "moveTag", p(R"({"workAreaId":"%2","tagIdList":"%4|nope"})"), "failure",
        "moveTag : failed! unknown tab nope");
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many.append(QStringLiteral("t"));
    row("10 000 tags in one text", "moveTag",
        QStringLiteral(R"({"params":{"workAreaId":"%2","tagIdList":"%1"}})").arg(many.join(QLatin1Char('|'))),
        "failure", "tagIdList holds 10000 ids");
    row("order twice the same", "moveWorkArea", p(R"({"workAreaIdList":"%1|%1"})"), "failure", "");
    row("open tag missing", "openTag", p(R"({"workAreaId":"%1"})"), "failure", "");
    row("open tag of another area", "openTag", p(R"({"workAreaId":"%2","tagId":"%4"})"), "failure", "unknown tab");
    row("new window unknown", "openNewWindow", p(R"({"workAreaId":"0"})"), "failure", "unknown work area \"0\"");
    row("switch unknown", "switchWorkAreaWindow", p(R"({"workAreaId":"0"})"), "failure",
        "switchWorkAreaWindow : failed! unknown work area 0");
    row("top missing", "workAreaMoveTop", p("{}"), "failure", "");
    row("remove default", "removeWorkArea", p(R"({"workAreaId":"%1"})"), "failure", "the device's default work area stays");
    row("remove unknown", "removeWorkArea", p(R"({"workAreaId":"<script>"})"), "failure", "unknown work area \"<script>\"");
    row("menu missing tab", "popupMenu", p(R"({"workAreaId":"%1"})"), "nothing", "");
    row("geometry not a number", "setGeomtry", p(R"({"left":"a","top":"1","width":"9","height":"9"})"), "nothing",
        "setGeomtry : failed!");
    row("geometry out of range", "setGeomtry", p(R"({"left":"1","top":"1","width":"99999999999","height":"9"})"),
        "nothing", "setGeomtry : failed!");
}

void tst_KZelvaWorkAreaBrowserJsApi::badInputChangesNothing()
{
    QFETCH(QString, method);
    QFETCH(QString, args);
    QFETCH(QString, answer);
    QFETCH(QString, log);
    const QJsonArray before = snapshot();
    const QRect geometry = m_popup->geometry();
    QSignalSpy closes(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose);

    RecordLogTail tail;
    QString refusal;
    const std::optional<QJsonObject> reply = call(method, js(fill(args)), &refusal);
    if (answer == QLatin1String("failure"))
        QCOMPARE(reply.value_or(QJsonObject()),
                 QJsonObject({{QStringLiteral("result"), QStringLiteral("{\"isSuccess\":false}")}}));
    else
        QCOMPARE(reply.value_or(QJsonObject({{QStringLiteral("refused"), refusal}})), QJsonObject());
    const QString lines = tail.lines().join(QLatin1Char('\n'));
    QVERIFY2(lines.contains(log), qPrintable(lines));
    QCOMPARE(snapshot(), before);
    QCOMPARE(m_popup->geometry(), geometry);
    QCOMPARE(closes.count(), 0);
    QCOMPARE(m_bed.current(m_bed.window)->id(), m_bed.defaultArea);
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
    const auto mode = [this](const char *value) {
        return result(QStringLiteral("getWorkSpaceMode")).toObject() == QJsonObject{{QStringLiteral("mode"), QLatin1String(value)}};
    };
    QVERIFY(mode("0"));
    const QJsonArray before = snapshot();
    zelvaApp->startupInfo()->setIndependentMode(true, 0);
    QVERIFY(mode("1"));
    const std::optional<QJsonObject> reply = call(method, js(QStringLiteral("{\"params\":%1}").arg(fill(params))));
    QCOMPARE(reply.value_or(QJsonObject({{QStringLiteral("refused"), true}})), QJsonObject());
    zelvaApp->startupInfo()->setIndependentMode(false, 0);
    QCOMPARE(snapshot(), before);
}

void tst_KZelvaWorkAreaBrowserJsApi::switchAndOpenCloseThePopupFirst()
{
    // The popup closes before the window changes, and only after a good id.
    QString currentWhenClosed;
    connect(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose, this,
            [&] { currentWhenClosed = m_bed.current(m_bed.window)->id(); });
    QCOMPARE(result(QStringLiteral("switchWorkAreaWindow"), fill(QStringLiteral(R"({"workAreaId":"%2"})"))).toObject(), kSuccess);
    QCOMPARE(currentWhenClosed, m_bed.defaultArea);
    QCOMPARE(m_bed.current(m_bed.window)->id(), m_bed.research);

    currentWhenClosed.clear();
    QCOMPARE(result(QStringLiteral("openTag"), fill(QStringLiteral(R"({"workAreaId":"%1","tagId":"%5"})"))).toObject(), kSuccess);
    QCOMPARE(m_bed.current(m_bed.window)->id(), m_bed.defaultArea);
    QCOMPARE(currentWhenClosed, m_bed.defaultArea);
    QCOMPARE(m_bed.window->centralArea()->currentSubPage()->getWorkAreaItemId(), m_bed.defaultTabs.last());

    // closeWorkArea (the page's close button): tst_kzelvaworkareabrowserjsapiwebengine.
}

void tst_KZelvaWorkAreaBrowserJsApi::removeIsRefusedWithUnsavedTabs()
{
    auto *unsaved = qobject_cast<KZelvaQozSubPage *>(m_manager->workArea(m_bed.research)->items().first()->subPage());
    QVERIFY(unsaved);
    unsaved->setText(QStringLiteral("changed"));
    const QString params = fill(QStringLiteral(R"({"workAreaId":"%2"})"));
    RecordLogTail tail;
    QCOMPARE(result(QStringLiteral("removeWorkArea"), params).toObject().value(QStringLiteral("isSuccess")), false);
    QVERIFY(tail.lines().join(QLatin1Char('\n')).contains(QLatin1String("has unsaved changes")));
    QVERIFY(m_manager->workArea(m_bed.research));
    // The window with the unsaved tab tells the user.
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto toast = std::find_if(tops.cbegin(), tops.cend(), [](QWidget *w) {
        return qobject_cast<KToast *>(w) && w->isVisible();
    });
    QVERIFY(toast != tops.cend());
    QVERIFY(qobject_cast<KToast *>(*toast)->text().contains(m_manager->workArea(m_bed.research)->data().name));
    (*toast)->close();
}

void tst_KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QPoint>("expected");
    const QRect wide(0, 0, 1050, 560);
    QTest::newRow("below, right edges aligned") << wide << QRect(1800, 40, 32, 24) << QPoint(782, 64);
    QTest::newRow("off the left: right of the anchor") << wide << QRect(200, 40, 32, 24) << QPoint(200, 64);
    QTest::newRow("off the bottom: above the anchor") << wide << QRect(1800, 900, 32, 24) << QPoint(782, 340);
    QTest::newRow("off both") << wide << QRect(100, 900, 32, 24) << QPoint(100, 340);
    QTest::newRow("no room above either") << QRect(0, 0, 400, 1000) << QRect(1800, 500, 32, 24) << QPoint(1432, 524);
}

void tst_KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, anchor);
    const QRect placed = KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor(rect, anchor, QRect(0, 0, 1920, 1080));
    QTEST(placed.topLeft(), "expected");
    QCOMPARE(placed.size(), rect.size());
}

void tst_KZelvaWorkAreaBrowserJsApi::pageUrl_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected"); // below the directory; empty: no page
    const QString index = QStringLiteral("mui/default/html/workarea/index.html");
    const QString query = QStringLiteral("?lang=de_DE&disableGlobalInfoCollect=true");
    QTest::newRow("the page") << index << "other.html" << QString(index + query);
    QTest::newRow("configured page") << "web/wa.html" << "web/wa.html" << QString(QStringLiteral("web/wa.html") + query);
    QTest::newRow("configured page outside") << "web/wa.html" << "../web/wa.html" << "";
    QTest::newRow("configured absolute") << "web/wa.html" << "/etc/passwd" << "";
    QTest::newRow("nothing") << "" << "" << "";
}

void tst_KZelvaWorkAreaBrowserJsApi::pageUrl()
{
    QFETCH(QString, file);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    if (!file.isEmpty()) {
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
    auto *popup = qobject_cast<KZelvaWorkAreaWidget *>(m_manager->notifyPopup(m_bed.window, anchor));
    QVERIFY(popup);
    QCOMPARE(m_manager->popupOf(m_bed.window), popup);
    QCOMPARE(popup->property("anchor").toRect(), anchor);
    QTRY_VERIFY(popup->browser()->api());
    KxWebTestConnection page(popup->browser()->container()->jsObject(), false);
    page.receiveText(QStringLiteral("{\"t\":\"on\",\"e\":\"softbus.event.updateSoftbussDeviceAndTags\"}"));

    // Work-area changes and device lists reach the page.
    KZelvaWorkArea *research = m_manager->workArea(m_bed.research);
    KZelvaWorkAreaData data = research->data();
    data.name = QStringLiteral("renamed");
    research->setData(data);
    // The page learns which work area changed, so it reads only that one's tabs again.
    // (The script travels as a JSON text, its quotes escaped.)
    QTRY_VERIFY2(page.sent.join(QLatin1Char('\n'))
                     .contains(QStringLiteral(R"(onRefreshCallback({\"workAreaIds\":[\"%1\"]}))").arg(m_bed.research)),
                 qPrintable(page.sent.join(QLatin1Char('\n'))));
    popup->browser()->api()->refreshDeviceTags(QJsonObject{{QStringLiteral("devices"), QJsonArray()}});
    QTRY_COMPARE(page.last().value(QStringLiteral("e")).toString(),
                 QStringLiteral("softbus.event.updateSoftbussDeviceAndTags"));

    // The page asks to be shown; closing reports what happened.
    QVERIFY(!popup->isPageShown());
    page.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":2,\"h\":\"common\",\"m\":\"setWebViewVisible\",\"a\":{}}"));
    QVERIFY(popup->isPageShown());
    page.receiveText(QStringLiteral("{\"t\":\"call\",\"id\":3,\"h\":\"common\",\"m\":\"setHasOperation\",\"a\":{}}"));
    page.receiveText(
        QStringLiteral(R"({"t":"call","id":4,"h":"common","m":"workAreaMoveTop","a":{"params":{"workAreaId":"%1"}}})")
            .arg(m_bed.research));
    QPointer<KZelvaWorkAreaWidget> guard(popup);
    m_manager->notifyPopoff(m_bed.window);
    QTRY_VERIFY(!guard);
    QVERIFY(!m_manager->popupOf(m_bed.window));
    QVERIFY(events.open(QIODevice::ReadOnly));
    events.seek(start);
    const QString posted = QString::fromUtf8(events.readAll());
    for (const char *text : {R"("workspace_panelshow")", R"("result":"operation")", R"("workspace_closeworkspace")",
                             R"("usedtime":"0")", R"("click":"workAreaMoveTop")"})
        QVERIFY2(posted.contains(QLatin1String(text)), qPrintable(posted));
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaBrowserJsApi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareabrowserjsapi.moc"
