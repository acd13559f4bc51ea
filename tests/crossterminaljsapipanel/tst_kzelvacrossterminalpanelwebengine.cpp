// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The cross-terminal panel as a person sees it: the manager pops it up under
// the window's button, its QtWebEngine view shows the placeholder and then
// the real page with the shell's work areas and the skin's pictures, the
// device service being away and back is said, hiding and showing stop and
// ask for the live labels, and without a compositing manager the panel has a
// plain border. Needs a display (xvfb-run). Long names, renames and what the
// page asks of the shell: pages_crossterminal.

#include "kcirradprocess.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelmgr.h"
#include "kzelvaworkareaassembly.h"
#include "workareatestbed.h"

#include <kcloudsvrproxy.h>
#include <kwebskeletonloadwidget.h>
#include <kxwebviewcontainer.h>
#include <kzelvabrowserwidgetbase.h>

#include <QJsonDocument>
#include <QStackedLayout>
#include <QToolButton>
#include <QtTest>

#include "../support/kwebenginescript.h"

class tst_KZelvaCrossTerminalPanelWebEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void panelShowsTheShellsWorkAreas();

private:
    QVariant evaluate(KZelvaCrossTerminalPanel *panel, const QString &script);
};

QVariant tst_KZelvaCrossTerminalPanelWebEngine::evaluate(KZelvaCrossTerminalPanel *panel, const QString &script)
{
    return runScriptIn(panel->browser()->container()->webEngineView(), script);
}

void tst_KZelvaCrossTerminalPanelWebEngine::panelShowsTheShellsWorkAreas()
{
    WorkAreaTestBed bed;
    bed.start(new KZelvaWorkAreaAssembly, true);
    KZelvaWorkAreaManager *manager = bed.manager;
    KZelvaMainWindow *window = bed.newWindow();
    zelvaApp->setCurrentMainWindow(window);
    window->resize(1200, 800);
    window->show();
    bed.addPage(window, QStringLiteral("minutes"));
    manager->workAreasOf(window)->addWorkArea(manager->createWorkArea(false));

    QWidget *button = window->workAreaButton();
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    auto *panel =
        qobject_cast<KZelvaCrossTerminalPanel *>(KZelvaCrossTerminalPanelMgr::instance()->popupCrossTerminalPanel(
            button, rect, QStringLiteral("CrossTerminalBtn"), {}));
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    // The placeholder first, then the page once it reported ready.
    auto *stack = panel->findChild<QStackedLayout *>();
    QVERIFY(stack);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget *>(panel->skeleton()));
    QTRY_VERIFY(panel->browser() && panel->browser()->container());
    QVERIFY(panel->browser()->container()->hasWebEngine());
    QTRY_COMPARE_WITH_TIMEOUT(panel->lifecycle(), QStringLiteral("loaded"), 30000);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget *>(panel->browser()));

    QCOMPARE(evaluate(panel, QStringLiteral("document.querySelectorAll('#open .card').length")).toInt(), 2);

    // The shell's pictures of the skin reach the page; what the scheme does
    // not serve fails to load (a path out of its package, another package,
    // a picture it lacks, a file that is no picture).
    QVERIFY(evaluate(panel, QStringLiteral("window.kzPictures = {};"
                                           "['kzelvaworkarea/workarea.svg', 'kzelvaworkarea/missing.svg',"
                                           " 'kzelvaworkarea/%2e%2e/%2e%2e/x.svg', 'unknown/workarea.svg',"
                                           " 'kzelvaworkarea/workarea.txt'].forEach(p => {"
                                           "  const i = new Image();"
                                           "  i.onload = () => { kzPictures[p] = i.naturalWidth; };"
                                           "  i.onerror = () => { kzPictures[p] = 'refused'; };"
                                           "  i.src = 'zelvaimg://' + p; }); true"))
                .toBool());
    QTRY_COMPARE(evaluate(panel, QStringLiteral("Object.keys(kzPictures).sort().map(k => k + '=' + kzPictures[k])"
                                                ".join('|')"))
                     .toString(),
                 QStringLiteral("kzelvaworkarea/%2e%2e/%2e%2e/x.svg=refused|kzelvaworkarea/missing.svg=refused|"
                                "kzelvaworkarea/workarea.svg=16|kzelvaworkarea/workarea.txt=refused|"
                                "unknown/workarea.svg=refused"));

    // The device service: away at first, up, signed out and in, killed while
    // shown (the last lists stay), back (the live labels are asked again).
    const auto service = [&] {
        return evaluate(panel, QStringLiteral("document.getElementById('app').dataset.service + '|' + "
                                              "document.getElementById('service').hidden"))
            .toString();
    };
    const auto cards = [&] {
        return evaluate(panel, QStringLiteral("document.querySelectorAll('#open .card').length"));
    };
    QTRY_COMPARE(service(), QStringLiteral("unavailable|false"));
    QCOMPARE(cards().toInt(), 2);
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    QTRY_COMPARE_WITH_TIMEOUT(service(), QStringLiteral("ok|true"), 15000);
    const QMap<QString, QString> user{{QStringLiteral("user"), zelvaApp->cloudSvrProxy()->userId()}};
    QVERIFY(cirrad.control(QStringLiteral("logout"), user));
    QTRY_COMPARE(service(), QStringLiteral("signedOut|false"));
    QVERIFY(cirrad.control(QStringLiteral("login"), user));
    QTRY_COMPARE(service(), QStringLiteral("ok|true"));
    const QVariant shown = cards();
    cirrad.kill();
    QTRY_COMPARE_WITH_TIMEOUT(service(), QStringLiteral("unavailable|false"), 15000);
    QCOMPARE(cards(), shown);
    QVERIFY(cirrad.start());
    QTRY_COMPARE_WITH_TIMEOUT(service(), QStringLiteral("ok|true"), 15000);
    QTRY_VERIFY(!cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("sendFileLabelOnlineMsg")).isEmpty());

    // Hidden and shown again: cirrad hears the live labels stop, then asked for.
    const auto labelCalls = [&](const char *command) {
        int n = 0;
        for (const QJsonObject &c :
             cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("sendFileLabelOnlineMsg")))
            n += QJsonDocument(c).toJson(QJsonDocument::Compact).contains(command);
        return n;
    };
    const int stopped = labelCalls("stop_sync_label");
    KZelvaCrossTerminalPanelMgr::instance()->hideCrossTerminalPanel();
    QTRY_VERIFY(labelCalls("stop_sync_label") > stopped);
    const int asked = labelCalls("get_labels");
    panel->showAt(button, rect);
    QTRY_VERIFY(labelCalls("get_labels") > asked);

    // Xvfb has no compositing manager: a plain 1 px border, no translucent shadow.
    QVERIFY(panel->shadowVisible());
    QCOMPARE(panel->shadowGeometry(), panel->frameGeometry().adjusted(-1, -1, 1, 1));

    KZelvaCrossTerminalPanelMgr::instance()->hideCrossTerminalPanel();
    QTRY_VERIFY(!panel->shadowVisible());
    bed.stop();
}

int main(int argc, char **argv)
{
    // QtWebEngine wants shared GL contexts before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("KZELVA_CIRRAD", "");
    KZelvaApplication app(argc, argv);
    tst_KZelvaCrossTerminalPanelWebEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvacrossterminalpanelwebengine.moc"
