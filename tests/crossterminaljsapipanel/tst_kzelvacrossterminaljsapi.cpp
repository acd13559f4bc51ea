// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The cross-terminal panel: its page API through the real dispatcher against
// a real model (answer, effect, log), the popup contract of the manager and
// its page life (time-out, error page, reload, ready) with the web view left
// out (KZELVA_WEB_ENGINE=0). What a page does with the calls that succeed
// (rename, reorder, switch, close a tab, the first relay) is the browser
// tests' (pages_crossterminal, pages_devices).

#include "kzelvacrossterminaljsapi.h"
#include "kzelvacrossterminaljswrapper.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelmgr.h"
#include "kzelvacrossterminalrelayhint.h"
#include "kzelvaresidualrecords.h"
#include "kzpersisttestutil.h"
#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareaitem.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <isyncsettingsdata.h>
#include <kdcinfo.h>
#include <ksyncsettings.h>
#include <kpluginssettings.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjsanswer.h>
#include <kxwebviewjscontext.h>
#include <kzelvabrowserwidgetbase.h>
#include <kzelvacentralarea.h>
#include <kzelvaqozsubpage.h>

#include <QApplication>
#include <QCursor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

QJsonObject parse(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

QString dcEventsSince(qint64 offset)
{
    QFile file(getDcInfo()->eventFile());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return QString();
    return QString::fromUtf8(file.readAll());
}

qint64 dcEventsSize()
{
    return QFileInfo(getDcInfo()->eventFile()).size();
}

} // namespace

using Check = std::function<bool()>;
Q_DECLARE_METATYPE(Check)

class tst_KZelvaCrossTerminalJsApi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void methods_data();
    void methods();
    void createdWorkAreaIsStoredAtOnce();
    void recentlyClosedDocuments_data();
    void recentlyClosedDocuments();
    void openUrlReachesTheProcessUnchanged_data();
    void openUrlReachesTheProcessUnchanged();
    void popupRefusals_data();
    void popupRefusals();
    void popupShowsOnePanelAndTimesOut();
    void autoClose_data();
    void autoClose();

private:
    std::optional<QJsonObject> call(const QString &method, const QJsonObject &params);

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
    KxWebViewContainer *m_container = nullptr;
    KZelvaCrossTerminalJsWrapper *m_wrapper = nullptr;
};

void tst_KZelvaCrossTerminalJsApi::initTestCase()
{
    // Read once per process: the panel's page never answers in these tests.
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("loadTimeoutMSec"), 300);
}

void tst_KZelvaCrossTerminalJsApi::init()
{
    m_bed.startResearchScene(new KZelvaWorkAreaAssembly, true, {QStringLiteral("plan"), QStringLiteral("budget")});
    m_manager = m_bed.manager;
    zelvaApp->setCurrentMainWindow(m_bed.window);
    KZelvaWorkArea *research = m_manager->workArea(m_bed.research);
    KZelvaWorkAreaData data = research->data();
    data.name = QStringLiteral("Research");
    research->setData(data);

    m_container = new KxWebViewContainer(QStringLiteral("kzelva_crossterminal_widget_test"));
    m_wrapper = new KZelvaCrossTerminalJsWrapper(m_container, nullptr);
    QVERIFY(m_container->setApi(m_wrapper));
    QVERIFY(m_wrapper->jsApi());
}

void tst_KZelvaCrossTerminalJsApi::cleanup()
{
    delete m_wrapper;
    delete m_container;
    KZelvaCrossTerminalRelayHint::setInstance(nullptr);
    m_bed.stop();
}

std::optional<QJsonObject> tst_KZelvaCrossTerminalJsApi::call(const QString &method, const QJsonObject &params)
{
    std::optional<QJsonObject> answer;
    m_container->jsObject()->call(QStringLiteral("crossterminal.common"), method,
                                  QJsonObject{{QStringLiteral("params"), params}}, [&](const KxWebViewJSAnswer &a) {
                                      if (a.isOk())
                                          answer = QJsonDocument::fromJson(a.value).object();
                                  });
    return answer;
}

// Rows: method, params (with %D default, %R research, %T research's tab,
// %B budget tab), expected "result" text (empty: not checked), a log text
// (empty: none checked), whether queryClose() follows, and a check of the model.
void tst_KZelvaCrossTerminalJsApi::methods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<Check>("check");

    const QString ok = QStringLiteral(R"({"isSuccess":true})");
    const QString fail = QStringLiteral(R"({"isSuccess":false})");
    auto nameOf = [this](const QString &id) {
        KZelvaWorkArea *w = m_manager->workArea(id);
        return w ? w->data().name : QString();
    };
    auto current = [this] { return m_bed.current(m_bed.window) ? m_bed.current(m_bed.window)->id() : QString(); };

    auto row = [](const char *name, const char *method, const char *params, const QString &result, const char *log,
                  bool closes, const Check &check) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromUtf8(params) << result
                            << QString::fromLatin1(log) << closes << check;
    };
    const auto named = [=](const char *name) {
        return Check([=] { return nameOf(m_bed.research) == QLatin1String(name); });
    };
    const auto shows = [=](const QString *id) { return Check([=] { return current() == *id; }); };
    const auto closed = [=](const QString *id, bool yes) {
        return Check([=] { return m_manager->workArea(*id)->isMarkedClosed() == yes; });
    };
    const Check none = [] { return true; };
    const auto order = [this] {
        QList<KZelvaWorkArea *> all = m_manager->workAreas();
        std::sort(all.begin(), all.end(),
                  [](KZelvaWorkArea *a, KZelvaWorkArea *b) { return a->data().posIndex < b->data().posIndex; });
        return all.isEmpty() ? QString() : all.first()->id();
    };
    const QString *D = &m_bed.defaultArea;
    const QString *R = &m_bed.research;
    row("rename empty name", "renameWorkArea", R"({"workAreaId":"%R","name":""})", fail, "", false, named("Research"));
    row("rename wrong type", "renameWorkArea", R"({"workAreaId":"%R","name":42})", fail, "", false, named("Research"));
    row("rename unknown", "renameWorkArea", R"({"workAreaId":"nope","name":"x"})", fail, "", false, none);
    row("huge name", "renameWorkArea",
        QByteArray(R"({"workAreaId":"%R","name":")" + QByteArray(5000, 'n') + R"("})").constData(), fail, "", false,
        named("Research"));
    row("switch unknown still closes", "switchWorkArea", R"({"workAreaId":"nope"})", fail, "", true, shows(D));
    row("switch empty", "switchWorkArea", R"({"workAreaId":""})", fail, "", false, none);
    row("open tag", "openTag", R"({"workAreaId":"%R","tagId":"%T"})", ok, "openTag : workAreaId = %R, tagId = %T", true,
        shows(R));
    row("open tag missing id", "openTag", R"({"workAreaId":"%R"})", fail, "", false, shows(D));
    row("close tag of unknown area", "closeWorkAreaTag", R"({"workAreaId":"nope","tagId":"%B"})", fail, "", false,
        [=] { return m_manager->workArea(m_bed.defaultArea)->itemCount() == 2; });
    row("remove", "removeWorkArea", R"({"workAreaId":"%R"})", ok,
        "removeWorkArea : removed workArea is in current zelvaMainWiondw", true, closed(R, true));
    row("remove empty", "removeWorkArea", R"({"workAreaId":""})", fail, "", false, none);
    row("remove default refused", "removeWorkArea", R"({"workAreaId":"%D"})", fail,
        "removeWorkArea : Fail! workAreaId: %D", true, closed(D, false));
    row("drag duplicate", "dragWorkarea", R"({"workAreaIdList":"%R|%R"})", fail, "", false, [=] {
        return m_manager->workArea(m_bed.research) && m_manager->workArea(m_bed.defaultArea)
               && order() != m_bed.research;
    });
    row("drag unknown", "dragWorkarea", R"({"workAreaIdList":"%R|nope"})", fail, "", false,
        [=] { return m_manager->workAreas().size() >= 2 && order() != m_bed.research; });
    row("drag empty part", "dragWorkarea", R"({"workAreaIdList":"%R||%D"})", fail, "", false,
        [=] { return order() != m_bed.research; });
    row("force save unknown", "forceSaveWorkArea", R"({"workAreaId":"nope","isSave":true})", fail, "", false, none);
    row("force save", "forceSaveWorkArea", R"({"workAreaId":"%R","isSave":true})", ok, "force save workArea sucess.",
        false, [=] { return m_manager->workArea(m_bed.research)->hasPendingSave(); });
    row("popup menu empty", "popupMenu", R"({"workAreaId":"%R"})", fail, "", false, none);
    row("open url empty", "openUrlInQoz", R"({"url":""})", fail, "", false, none);
    row("open closed document, record outside the settings", "openResidualTag", R"({"residualId":"../x","tagId":"t"})",
        fail, "openResidualTag : failed! no closed document, residualId = ../x", false, none);
    row("open closed document without tag", "openResidualTag", R"({"residualId":"default"})", fail, "", false, none);
    row("service status without the service", "getServiceStatus", "{}", QStringLiteral(R"({"status":"unavailable"})"),
        "", false, none);
    row("create", "createWorkArea", "{}", QString(), "", false, [this] { return m_manager->workAreas().size() == 3; });
}

void tst_KZelvaCrossTerminalJsApi::methods()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QString, result);
    QFETCH(QString, log);
    QFETCH(bool, closes);
    QFETCH(Check, check);
    auto fill = [this](QString text) {
        return text.replace(QLatin1String("%D"), m_bed.defaultArea)
            .replace(QLatin1String("%R"), m_bed.research)
            .replace(QLatin1String("%T"), m_bed.researchTab)
            .replace(QLatin1String("%B"), m_bed.defaultTabs.at(1));
    };
    RecordLogTail tail;
    QSignalSpy closed(m_wrapper->jsApi(), &KZelvaCrossTerminalJsApi::queryClose);
    const std::optional<QJsonObject> answer = call(method, parse(fill(params)));
    QVERIFY(answer);
    if (!result.isEmpty())
        QCOMPARE(answer->value(QStringLiteral("result")).toString(), result);
    if (!log.isEmpty())
        QVERIFY2(tail.lines().join(QLatin1Char('\n')).contains(fill(log)),
                 qPrintable(tail.lines().join(QLatin1Char('\n'))));
    QCOMPARE(closed.count() > 0, closes);
    QVERIFY(check());
}

// The panel's new work area is stored at once, not only after the merged save.
void tst_KZelvaCrossTerminalJsApi::createdWorkAreaIsStoredAtOnce()
{
    const std::optional<QJsonObject> created = call(QStringLiteral("createWorkArea"), {});
    QVERIFY(created);
    const QJsonObject made = parse(created->value(QStringLiteral("result")).toString());
    QCOMPARE(made.value(QStringLiteral("isSuccess")), QJsonValue(true));
    QVERIFY(m_manager->workArea(made.value(QStringLiteral("workAreaId")).toString()));
    KSyncSettingsManager reader(KSyncSettingsManager::instance()->rootDir());
    ISyncSettingsData *stored = reader.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"))->data();
    stored->beginGroup(QStringLiteral("IndependentDefault"));
    QVERIFY(stored->childGroups().contains(made.value(QStringLiteral("workAreaId")).toString()));
    for (const char *key : {"name", "type", "tagNum", "customColor", "status", "isDefault"})
        QVERIFY2(made.contains(QLatin1String(key)), key);
}

// Rows: the closed document's file on disk or gone: the open call's answer,
// a new tab with that file, and whether the listing still keeps it.
void tst_KZelvaCrossTerminalJsApi::recentlyClosedDocuments_data()
{
    QTest::addColumn<bool>("opens"); // the file is on disk
    QTest::newRow("file on disk") << true;
    QTest::newRow("file gone") << false;
}

void tst_KZelvaCrossTerminalJsApi::recentlyClosedDocuments()
{
    QFETCH(bool, opens);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("harbour.txt"));
    if (opens) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("tides");
    }
    KZelvaWorkAreaRecoverItem closed;
    closed.id = QStringLiteral("closed-1");
    closed.title = QStringLiteral("harbour.txt");
    closed.filePath = path;
    closed.pageType = KZelvaPluginWidget::QozDocument;
    // Closed tabs are kept while the shell's panel saves them; a closed window's are kept always.
    KzPersistTest::setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), true}});
    QVERIFY(m_manager->residualRecords()->addWorkAreaFixedResidualItem(QString(), closed, m_bed.defaultArea, 0));
    QSettings(KZelvaPaths::configDir() + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("panel/enabled"), false);

    const auto listed = [this] {
        const QJsonObject list =
            parse(call(QStringLiteral("getResidualTagsList"), {})->value(QStringLiteral("result")).toString());
        QStringList ids;
        for (const QJsonValue &tag : list.value(QStringLiteral("close")).toArray())
            ids << tag.toObject().value(QStringLiteral("workAreaId")).toString() + QLatin1Char('/')
                       + tag.toObject().value(QStringLiteral("tagId")).toString();
        return ids;
    };
    // Without the shell's tab-manager panel the limits keep their defaults.
    QCOMPARE(listed(), QStringList{QStringLiteral("default/closed-1")});

    const int tabs = m_bed.window->centralArea()->subPages().size();
    QSignalSpy closes(m_wrapper->jsApi(), &KZelvaCrossTerminalJsApi::queryClose);
    const std::optional<QJsonObject> answer =
        call(QStringLiteral("openResidualTag"), {{QStringLiteral("residualId"), QStringLiteral("default")},
                                                 {QStringLiteral("tagId"), QStringLiteral("closed-1")}});
    QVERIFY(answer);
    QCOMPARE(answer->value(QStringLiteral("result")).toString(),
             opens ? QStringLiteral(R"({"isSuccess":true})") : QStringLiteral(R"({"isSuccess":false})"));
    QCOMPARE(closes.count(), opens ? 1 : 0);
    QCOMPARE(m_bed.window->centralArea()->subPages().size(), tabs + (opens ? 1 : 0));
    if (opens) {
        auto *doc = qobject_cast<KZelvaQozSubPage *>(m_bed.window->centralArea()->subPages().constLast());
        QVERIFY(doc);
        QCOMPARE(doc->getDocPath(), path);
        // Open again, so no longer listed as closed.
        QTRY_VERIFY(listed().isEmpty());
    } else {
        QCOMPARE(listed().size(), 1);
    }
}

void tst_KZelvaCrossTerminalJsApi::openUrlReachesTheProcessUnchanged_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("quotes and ;") << QStringLiteral("https://x.test/\"';rm -rf /;`id`");
    QTest::newRow("newlines") << QStringLiteral("https://x.test/a\nb\r\nc");
    QTest::newRow("200 KiB") << QStringLiteral("https://x.test/") + QString(200 * 1024, QLatin1Char('q'));
}

void tst_KZelvaCrossTerminalJsApi::openUrlReachesTheProcessUnchanged()
{
    QFETCH(QString, url);
    const QString log =
        QDir(QDir::tempPath()).filePath(QStringLiteral("kz-launch-%1.jsonl").arg(QCoreApplication::applicationPid()));
    QFile::remove(log);
    qputenv("KZELVA_LAUNCH_LOG", log.toLocal8Bit());
    const std::optional<QJsonObject> answer = call(QStringLiteral("openUrlInQoz"), {{QStringLiteral("url"), url}});
    qunsetenv("KZELVA_LAUNCH_LOG");
    QVERIFY(answer);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject launch = QJsonDocument::fromJson(file.readLine()).object();
    const QJsonArray arguments = launch.value(QStringLiteral("arguments")).toArray();
    QCOMPARE(arguments.size(), 2);
    const QString encoded = arguments.at(1).toString().mid(QStringLiteral("plugin://pageBrowser?").size());
    QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(encoded.toLatin1())), url);
    // The answer says whether the process started.
    QCOMPARE(answer->value(QStringLiteral("result")).toString(), launch.value(QStringLiteral("ok")).toBool()
                                                                     ? QStringLiteral(R"({"isSuccess":true})")
                                                                     : QStringLiteral(R"({"isSuccess":false})"));
    file.close();
    QFile::remove(log);
}

void tst_KZelvaCrossTerminalJsApi::popupRefusals_data()
{
    QTest::addColumn<bool>("withTarget");
    QTest::addColumn<QRect>("button");
    QTest::addColumn<bool>("shortcut");
    QTest::newRow("no target") << false << QRect(10, 10, 20, 20) << false;
    QTest::newRow("inverted rectangle") << true << QRect(QPoint(50, 10), QPoint(10, 30)) << false;
    QTest::newRow("shortcut without the shell panel") << true << QRect(10, 10, 20, 20) << true;
}

void tst_KZelvaCrossTerminalJsApi::popupRefusals()
{
    QFETCH(bool, withTarget);
    QFETCH(QRect, button);
    QFETCH(bool, shortcut);
    KZelvaCrossTerminalPanelMgr *mgr = KZelvaCrossTerminalPanelMgr::instance();
    QSignalSpy created(mgr, &KZelvaCrossTerminalPanelMgr::sigCrossPanelIsCreated);
    QSignalSpy before(mgr, &KZelvaCrossTerminalPanelMgr::sigBeforeCrossPanelShow);
    QVariantMap extra;
    if (shortcut)
        extra.insert(QStringLiteral("shortcut"), true);
    QVERIFY(!mgr->popupCrossTerminalPanel(withTarget ? static_cast<QWidget *>(m_bed.window->workAreaButton()) : nullptr,
                                          button, QStringLiteral("test"), extra));
    QCOMPARE(created.count() + before.count(), 0);
}

void tst_KZelvaCrossTerminalJsApi::popupShowsOnePanelAndTimesOut()
{
    KZelvaCrossTerminalPanelMgr *mgr = KZelvaCrossTerminalPanelMgr::instance();
    m_bed.window->resize(1000, 900);
    m_bed.window->show();
    const qint64 events = dcEventsSize();
    QWidget *button = m_bed.window->workAreaButton();
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    QObject *first = mgr->popupCrossTerminalPanel(button, rect, QStringLiteral("CrossTerminalBtn"),
                                                  {{QStringLiteral("from"), QStringLiteral("test")}});
    auto *panel = qobject_cast<KZelvaCrossTerminalPanel *>(first);
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    QCOMPARE(mgr->source(), QStringLiteral("CrossTerminalBtn"));
    QCOMPARE(panel->width(), 400);
    QCOMPARE(panel->height(), 720);
    QVERIFY(dcEventsSince(events).contains(QLatin1String(R"("heelsversion":"5")")));
    QVERIFY(dcEventsSince(events).contains(QLatin1String(R"("position":"fixedtopbar")")));

    // The page never reports ready: the error page and its usage event.
    QTRY_COMPARE(panel->lifecycle(), QStringLiteral("timed-out"));
    QVERIFY(panel->currentUrl().endsWith(QLatin1String("/mui/zh_CN/res/web/error-link/index.html")));
    QVERIFY(dcEventsSince(events).contains(QLatin1String(R"("browser_loadtimeout")")));

    // Retry from the error page, then the page reports ready.
    KZelvaCrossTerminalJsApi *api = panel->jsApi();
    QVERIFY(api);
    KxWebViewJSContext retry;
    for (int i = 0; i < 100; ++i) // a page that asks again and again: one browser, one timer
        api->reloadUrl(retry);
    QCOMPARE(panel->findChildren<KZelvaBrowserWidgetBase *>().size(), 1);
    QCOMPARE(panel->lifecycle(), QStringLiteral("loading"));
    QVERIFY(panel->isLoadTimerActive());
    QVERIFY(panel->currentUrl().contains(QLatin1String("/mui/default/html/crossterminal/index.html")));
    KxWebViewJSContext ready;
    api->pageReady(ready);
    QCOMPARE(panel->lifecycle(), QStringLiteral("loaded"));
    QVERIFY(!panel->isLoadTimerActive());

    // A second popup reuses the window (what closes it: autoClose).
    QCOMPARE(mgr->popupCrossTerminalPanel(button, rect, QStringLiteral("other"), {}), first);
    QVERIFY(panel->isVisible());
    mgr->hideCrossTerminalPanel();
}

// Rows: what reaches the panel's main window, the cursor on the panel or
// not (for a deactivation that went to the main window), whether it closes.
void tst_KZelvaCrossTerminalJsApi::autoClose_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("cursorOnPanel");
    QTest::addColumn<bool>("closes");
    QTest::newRow("moved") << int(QEvent::Move) << true << true;
    QTest::newRow("resized") << int(QEvent::Resize) << true << true;
    QTest::newRow("minimised") << int(QEvent::WindowStateChange) << true << true;
    QTest::newRow("popups closed (253)") << 253 << true << true;
    QTest::newRow("deactivated, cursor outside") << int(QEvent::WindowDeactivate) << false << true;
    QTest::newRow("deactivated, cursor on the panel") << int(QEvent::WindowDeactivate) << true << false;
    QTest::newRow("focus lost, cursor outside") << int(QEvent::FocusOut) << false << true;
    QTest::newRow("repainted") << int(QEvent::UpdateRequest) << false << false;
}

void tst_KZelvaCrossTerminalJsApi::autoClose()
{
    QFETCH(int, type);
    QFETCH(bool, cursorOnPanel);
    QFETCH(bool, closes);
    m_bed.window->show();
    QWidget *button = m_bed.window->workAreaButton();
    auto *panel =
        qobject_cast<KZelvaCrossTerminalPanel *>(KZelvaCrossTerminalPanelMgr::instance()->popupCrossTerminalPanel(
            button, QRect(button->mapToGlobal(QPoint(0, 0)), button->size()), QStringLiteral("test"), {}));
    QVERIFY(panel && panel->isVisible());
    QApplication::setActiveWindow(m_bed.window);
    QCursor::setPos(cursorOnPanel ? panel->frameGeometry().center()
                                  : panel->frameGeometry().bottomRight() + QPoint(50, 50));
    const QRect g = m_bed.window->geometry();
    std::unique_ptr<QEvent> event;
    switch (type) {
    case QEvent::Move: event = std::make_unique<QMoveEvent>(g.topLeft() + QPoint(5, 0), g.topLeft()); break;
    case QEvent::Resize: event = std::make_unique<QResizeEvent>(g.size() + QSize(5, 0), g.size()); break;
    case QEvent::WindowStateChange: event = std::make_unique<QWindowStateChangeEvent>(Qt::WindowNoState); break;
    case QEvent::FocusOut: event = std::make_unique<QFocusEvent>(QEvent::FocusOut); break;
    default: event = std::make_unique<QEvent>(QEvent::Type(type));
    }
    QCoreApplication::sendEvent(m_bed.window, event.get());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(); // the deactivation is decided on the next pass
    QCOMPARE(!panel->isVisible(), closes);
    KZelvaCrossTerminalPanelMgr::instance()->hideCrossTerminalPanel();
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    qputenv("KZELVA_DPI_SCALE", "1"); // sizes below are logical pixels
    qputenv("KZELVA_CIRRAD", "");     // the service runs only when a test starts it
    KZelvaApplication app(argc, argv);
    tst_KZelvaCrossTerminalJsApi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvacrossterminaljsapi.moc"
