// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The sub-widget beside the cross-terminal panel: its page API through the
// real dispatcher against a real model (answer, effect, log), sizes a page
// may ask for, where it opens, and its page life (wait for ready, error
// page, reload after a render-process crash), with the web view left out
// (KZELVA_WEB_ENGINE=0).

#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelsubwidget.h"
#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareaitem.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kliteshadowborder.h>
#include <klitestyle.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjsanswer.h>
#include <kzelvasubpage.h>

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScreen>
#include <QtTest>

#include <functional>
#include <optional>

using AnswerCheck = std::function<bool(const QJsonObject &answer)>;
Q_DECLARE_METATYPE(AnswerCheck)

class tst_KZelvaCrossTerminalPanelSubWidget : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void methods_data();
    void methods();
    void showRefusesOrClampsHeights_data();
    void showRefusesOrClampsHeights();
    void opensBesideThePanel_data();
    void opensBesideThePanel();
    void pageLife();

private:
    std::optional<QJsonObject> call(const QString &method, const QJsonValue &arguments);
    QVariantMap data() const;

    WorkAreaTestBed m_bed;
    KZelvaCrossTerminalPanel *m_panel = nullptr;
    KxWebViewContainer *m_panelView = nullptr;
    KZelvaCrossTerminalPanelSubWidget *m_sub = nullptr;
};

void tst_KZelvaCrossTerminalPanelSubWidget::init()
{
    m_bed.startResearchScene(new KZelvaWorkAreaAssembly, true, {QStringLiteral("plan")});
    zelvaApp->setCurrentMainWindow(m_bed.window);

    m_panel = new KZelvaCrossTerminalPanel;
    m_panel->setGeometry(700, 100, 400, 600);
    m_panelView = new KxWebViewContainer(QStringLiteral("kzelva_crossterminal_widget_subtest"), m_panel);
    QObject *api = nullptr;
    m_panel->onCreatingApi(m_panelView, &api);
    QVERIFY(m_panelView->setApi(api));
    QVERIFY(m_panel->showSubWidget(data()));
    m_sub = m_panel->subWidget();
    QVERIFY(m_sub && m_sub->isVisible());
}

void tst_KZelvaCrossTerminalPanelSubWidget::cleanup()
{
    delete m_panel;
    m_bed.stop();
}

QVariantMap tst_KZelvaCrossTerminalPanelSubWidget::data() const
{
    const QString json = QStringLiteral(R"({"height":240,"kind":"workarea","workAreaId":"%1",
        "tags":[{"tagId":"%2","name":"tides","isOpen":true}]})");
    return QJsonDocument::fromJson(json.arg(m_bed.research, m_bed.researchTab).toUtf8()).toVariant().toMap();
}

std::optional<QJsonObject> tst_KZelvaCrossTerminalPanelSubWidget::call(const QString &method,
                                                                       const QJsonValue &arguments)
{
    std::optional<QJsonObject> answer;
    m_sub->container()->jsObject()->call(KZelvaCrossTerminalPanelSubWidget::ApiName, method, arguments,
                                         [&](const KxWebViewJSAnswer &a) {
                                             if (a.isOk())
                                                 answer = QJsonDocument::fromJson(a.value).object();
                                         });
    return answer;
}

// Rows: method, the call's arguments as JSON text (%R research, %T its tab),
// the answer's "callstatus", its "result" as JSON text, a log text (empty:
// none checked) and a check of the answer and the model.
void tst_KZelvaCrossTerminalPanelSubWidget::methods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("log");
    QTest::addColumn<AnswerCheck>("check");

    const auto row = [](const char *name, const char *method, const char *args, const char *status, const char *result,
                        const char *log, const AnswerCheck &check) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromLatin1(args) << QString::fromLatin1(status)
                            << QString::fromLatin1(result) << QString::fromLatin1(log) << check;
    };
    const auto size = [this](int w, int h) {
        return AnswerCheck([=](const QJsonObject &) { return m_sub->size() == QSize(w, h); });
    };
    const auto is = [](const std::function<bool()> &f) {
        return AnswerCheck([=](const QJsonObject &) { return f(); });
    };
    const AnswerCheck any = [](const QJsonObject &) { return true; };
    const auto current = [this] { return m_bed.current(m_bed.window) ? m_bed.current(m_bed.window)->id() : QString(); };

    row("data", "getData", "{}", "ok", "true", "", [this](const QJsonObject &a) {
        const QJsonObject d = a.value(QStringLiteral("data")).toObject();
        return d.value(QStringLiteral("workAreaId")).toString() == m_bed.research
               && d.value(QStringLiteral("tags")).toArray().size() == 1;
    });
    row("resize 200 x 300", "resize", R"({"params":{"width":200,"height":300}})", "ok", "true",
        "resize: width = 200, height = 300", size(200, 300));
    row("resize inside the shadow border", "resize", R"({"params":{"width":300,"height":200}})", "ok", "true", "",
        is([this] {
            const KLiteShadowBorder *border = m_sub->shadowBorder();
            const int margin = m_sub->testAttribute(Qt::WA_TranslucentBackground) ? KLiteStyle::dpiScaled(10) : 1;
            return border->geometry() == m_sub->rect()
                   && border->borderMargins() == QMargins(margin, margin, margin, margin)
                   && border->widget()->geometry() == border->rect().marginsRemoved(border->borderMargins());
        }));
    row("resize height 0", "resize", R"({"params":{"width":200,"height":0}})", "ok", "true", "", size(200, 80));
    row("resize negative", "resize", R"({"params":{"width":-5,"height":-300}})", "ok", "true", "", size(80, 80));
    row("resize 10^9", "resize", R"({"params":{"width":1e9,"height":1000000000}})", "ok", "true", "", size(800, 1200));
    row("resize text", "resize", R"({"params":{"width":"200","height":"300"}})", "ok", "false", "", size(320, 240));
    row("resize missing", "resize", R"({"params":{}})", "ok", "false", "", size(320, 240));
    row("resize outside params", "resize", R"({"width":200,"height":300})", "ok", "false",
        "Call method resize warning.Please put parameters into the \\\"params\\\" object.", size(320, 240));
    row("page ready", "setPageReady", "{}", "ok", "true", "",
        is([this] { return m_sub->isPageReady() && !m_sub->isWaitingForReady(); }));
    row("close", "closeWidget", "{}", "ok", "true", "", is([this] { return !m_sub->isVisible(); }));
    row("open tag", "openTag", R"({"params":{"workAreaId":"%R","tagId":"%T"}})", "ok", "true", "",
        is([=] { return !m_sub->isVisible() && current() == m_bed.research; }));
    row("open unknown tag", "openTag", R"({"params":{"workAreaId":"%R","tagId":"nope"}})", "ok", "false", "",
        is([=] { return current() == m_bed.defaultArea; }));
    row("open without ids", "openTag", R"({"params":{"workAreaId":[],"tagId":{}}})", "ok", "false",
        "openTag : parameters error", any);
    row("close tag", "closeTag", R"({"params":{"workAreaId":"%R","tagId":"%T"}})", "ok", "true", "", is([this] {
            KZelvaWorkArea *w = m_bed.manager->workArea(m_bed.research);
            return m_sub->isVisible() && w && !w->findItem(m_bed.researchTab);
        }));
    row("close tag of another area", "closeTag", R"({"params":{"workAreaId":"../x","tagId":"%T"}})", "ok", "false", "",
        is([this] { return m_bed.manager->workArea(m_bed.research)->findItem(m_bed.researchTab); }));
    row("unknown method", "removeEverything", "{}", "error", R"("unKnown method")", "", any);
    row("base class method", "deleteLater", "{}", "error", R"("unKnown method")", "",
        is([this] { return m_sub->isVisible(); }));
}

void tst_KZelvaCrossTerminalPanelSubWidget::methods()
{
    QFETCH(QString, method);
    QFETCH(QString, arguments);
    QFETCH(QString, status);
    QFETCH(QString, result);
    QFETCH(QString, log);
    QFETCH(AnswerCheck, check);
    const QString filled =
        arguments.replace(QLatin1String("%R"), m_bed.research).replace(QLatin1String("%T"), m_bed.researchTab);
    RecordLogTail tail;
    const std::optional<QJsonObject> answer = call(method, QJsonDocument::fromJson(filled.toUtf8()).object());
    QVERIFY(answer);
    QCOMPARE(answer->value(QStringLiteral("callstatus")).toString(), status);
    const QJsonValue value = answer->value(QStringLiteral("result"));
    QCOMPARE(QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)),
             QStringLiteral("[%1]").arg(result));
    if (!log.isEmpty())
        QVERIFY2(tail.lines().join(QLatin1Char('\n')).contains(log), qPrintable(tail.lines().join(QLatin1Char('\n'))));
    QVERIFY(check(*answer));
}

// The clamps themselves: the resize rows of methods.
void tst_KZelvaCrossTerminalPanelSubWidget::showRefusesOrClampsHeights_data()
{
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("expected");
    QTest::newRow("300") << QVariant(300) << true << 300;
    QTest::newRow("text") << QVariant(QStringLiteral("300")) << false << 240;
    QTest::newRow("absent") << QVariant() << false << 240;
    QTest::newRow("list") << QVariant(QVariantList{300}) << false << 240;
}

void tst_KZelvaCrossTerminalPanelSubWidget::showRefusesOrClampsHeights()
{
    QFETCH(QVariant, height);
    QFETCH(bool, shown);
    QFETCH(int, expected);
    QVariantMap d = data();
    d.insert(QStringLiteral("title"), QStringLiteral("second"));
    d.insert(QStringLiteral("height"), height);
    QCOMPARE(m_panel->showSubWidget(d), shown);
    QCOMPARE(m_sub->height(), expected);
    // A refused map leaves the shown one in place.
    QCOMPARE(m_sub->data().contains(QStringLiteral("title")), shown);
}

void tst_KZelvaCrossTerminalPanelSubWidget::opensBesideThePanel_data()
{
    QTest::addColumn<int>("panelX");
    QTest::addColumn<bool>("left");
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::newRow("room on the left") << avail.left() + 500 << true;
    QTest::newRow("panel at the left edge") << avail.left() << false;
}

void tst_KZelvaCrossTerminalPanelSubWidget::opensBesideThePanel()
{
    QFETCH(int, panelX);
    QFETCH(bool, left);
    m_panel->setGeometry(panelX, 100, 400, 600);
    QVERIFY(m_panel->showSubWidget(data()));
    const QRect panel = m_panel->frameGeometry();
    const QRect sub = m_sub->frameGeometry();
    QVERIFY(!sub.intersects(panel));
    QCOMPARE(sub.right() < panel.left(), left);
    QCOMPARE(sub.top(), panel.top());
}

void tst_KZelvaCrossTerminalPanelSubWidget::pageLife()
{
    // The page loaded and never said ready: the error page after the wait.
    QTRY_VERIFY(m_sub->isWaitingForReady());
    QVERIFY(m_sub->container()->url().toString().endsWith(QLatin1String("childContainer.html?skin=light")));
    m_sub->onWaitReadyTimeout();
    QVERIFY(m_sub->container()->url().path().endsWith(QLatin1String("/mui/zh_CN/res/web/error-link/index.html")));

    // A crashed render process loads the page again and waits anew.
    Q_EMIT m_sub->container()->renderProcessTerminated(2, 9);
    QVERIFY(m_sub->container()->url().path().endsWith(QLatin1String("childContainer.html")));
    QTRY_VERIFY(m_sub->isWaitingForReady());

    // Ready once: the wait stops and a late time-out changes nothing.
    QVERIFY(call(QStringLiteral("setPageReady"), QJsonObject()));
    QVERIFY(!m_sub->isWaitingForReady());
    m_sub->onWaitReadyTimeout();
    QVERIFY(m_sub->container()->url().path().endsWith(QLatin1String("childContainer.html")));

    // The panel hiding takes the sub-widget with it.
    m_panel->show();
    m_panel->hide();
    QVERIFY(!m_sub->isVisible());
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    qputenv("KZELVA_DPI_SCALE", "1"); // sizes below are logical pixels
    KZelvaApplication app(argc, argv);
    tst_KZelvaCrossTerminalPanelSubWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvacrossterminalpanelsubwidget.moc"
