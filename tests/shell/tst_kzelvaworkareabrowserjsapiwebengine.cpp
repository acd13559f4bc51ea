// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The popup as a person sees it: the manager opens it for a window, its
// QtWebEngine view loads the real work-area page, the page's calls reach
// the page API over QWebChannel and back, and a change in the model shows
// up in the page. Needs a display (xvfb-run).

#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareabrowser.h"
#include "kzelvaworkareawidget.h"
#include "workareatestbed.h"

#include <kxwebviewcontainer.h>

#include <QtTest>

#include "../support/kwebenginescript.h"

class tst_KZelvaWorkAreaBrowserJsApiWebEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void popupShowsThePageAndItsCallsRoundTrip();

private:
    // Runs `script` in the popup's page and returns its value.
    QVariant evaluate(KZelvaWorkAreaWidget *popup, const QString &script);
};

QVariant tst_KZelvaWorkAreaBrowserJsApiWebEngine::evaluate(KZelvaWorkAreaWidget *popup, const QString &script)
{
    return runScriptIn(popup->browser()->container()->webEngineView(), script);
}

void tst_KZelvaWorkAreaBrowserJsApiWebEngine::popupShowsThePageAndItsCallsRoundTrip()
{
    WorkAreaTestBed bed;
    bed.start(new KZelvaWorkAreaAssembly, false);
    KZelvaWorkAreaManager *manager = bed.manager;
    KZelvaMainWindow *window = zelvaApp->createMainWindow(false);
    window->resize(1200, 700);
    window->show();
    manager->notifyMainWindowAdd(window);
    bed.addPage(window, QStringLiteral("minutes"));
    KZelvaWorkArea *second = manager->createWorkArea(false);
    manager->workAreasOf(window)->addWorkArea(second);

    QPointer<KZelvaWorkAreaWidget> popup
        = qobject_cast<KZelvaWorkAreaWidget *>(manager->notifyPopup(window, QRect(1100, 40, 32, 24)));
    QVERIFY(popup);
    QVERIFY(popup->isVisible());
    QTRY_VERIFY(popup->browser()->container());
    QVERIFY(popup->browser()->container()->hasWebEngine());
    // The page asks to be shown after its first list came over the channel.
    QTRY_VERIFY_WITH_TIMEOUT(popup->isPageShown(), 30000);
    QCOMPARE(evaluate(popup, QStringLiteral("document.querySelectorAll('.card').length")).toInt(), 2);
    QCOMPARE(evaluate(popup, QStringLiteral("document.documentElement.dataset.skin"))
                 .toString(), QStringLiteral("light"));

    // Mouse and keyboard reach the page; a press inside does not close the popup.
    QWidget *render = popup->browser()->container()->webEngineView()->focusProxy();
    QVERIFY(render);
    const QStringList box = evaluate(popup, QStringLiteral(
        "(r => [r.x, r.y, r.width, r.height].join(','))"
        "(document.querySelectorAll('.card')[1].querySelector('.expand').getBoundingClientRect())")).toString()
                                .split(QLatin1Char(','));
    QCOMPARE(box.size(), 4);
    QTest::mouseClick(render, Qt::LeftButton, {},
                      QPoint(int(box.at(0).toDouble() + box.at(2).toDouble() / 2),
                             int(box.at(1).toDouble() + box.at(3).toDouble() / 2)));
    QTRY_COMPARE(evaluate(popup, QStringLiteral("document.querySelectorAll('.card')[1]"
                                                ".querySelector('.expand').getAttribute('aria-expanded')")).toString(),
                 QStringLiteral("true"));
    QVERIFY(popup);
    evaluate(popup, QStringLiteral("document.querySelector('.card').focus(); 0"));
    QTest::keyClick(render, Qt::Key_Left);
    QTRY_COMPARE(evaluate(popup, QStringLiteral("document.querySelector('.card .expand').getAttribute('aria-expanded')"))
                     .toString(),
                 QStringLiteral("false"));

    // A call from the page changes the model; the change comes back to the page.
    evaluate(popup, QStringLiteral("kzbridge.request('common', 'renameWorkArea', {params: {workAreaId: '%1', "
                                   "name: 'Harbour survey'}}).then(r => { window.renamed = r; }); 0")
                        .arg(second->id()));
    QTRY_COMPARE(second->data().name, QStringLiteral("Harbour survey"));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(popup, QStringLiteral("Array.from(document.querySelectorAll('.card .name'))"
                                                            ".map(n => n.textContent).join('|')"))
                                 .toString()
                                 .contains(QLatin1String("Harbour survey")),
                             10000);
    QCOMPARE(evaluate(popup, QStringLiteral("JSON.stringify(window.renamed)")).toString(),
             QStringLiteral("{\"isSuccess\":true}"));

    // The page's close button closes the popup, and so does a press outside it.
    evaluate(popup, QStringLiteral("document.getElementById('dismiss').click(); 0"));
    QTRY_VERIFY_WITH_TIMEOUT(!popup, 10000);
    QVERIFY(!manager->popupOf(window));
    popup = qobject_cast<KZelvaWorkAreaWidget *>(manager->notifyPopup(window, QRect(1100, 40, 32, 24)));
    QVERIFY(popup);
    QVERIFY(!popup->geometry().contains(window->mapToGlobal(QPoint(5, 300))));
    QTest::mouseClick(window->centralArea(), Qt::LeftButton, {}, window->centralArea()->mapFrom(window, QPoint(5, 300)));
    QTRY_VERIFY(!popup);
    bed.stop();
}

int main(int argc, char **argv)
{
    // QtWebEngine wants shared GL contexts before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaBrowserJsApiWebEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareabrowserjsapiwebengine.moc"
