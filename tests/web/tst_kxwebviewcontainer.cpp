// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A real QtWebEngine page in a browser made through the creator: it gets its
// page API through creatingApi, calls it over QWebChannel, receives an
// event, and runs a script of the host. Needs a display (xvfb-run).

#include "kxwebtesthandler.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjseventhandler.h>
#include <kzelvabrowsercreator.h>
#include <kzelvabrowserwidgetbase.h>
#include <kzelvacommonjsapi.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

// A page API as the plug-in's are made: the test handler under "test",
// then the base's own registration.
class TestApi : public KZelvaCommonJSAPI
{
public:
    TestApi(KxWebViewContainer *container, QObject *parent)
        : KZelvaCommonJSAPI(container, parent)
        , handler(new KxWebTestHandler(this, container->jsObject()))
    {
    }

    bool initHandlers() override
    {
        return registerHandler(QStringLiteral("test"), handler) && KZelvaCommonJSAPI::initHandlers();
    }

    KxWebTestHandler *handler;
};

bool echoedWith(const KxWebTestHandler *handler, const QString &key, const QVariant &value)
{
    for (const QVariantMap &params : handler->echoed) {
        if (params.value(key) == value)
            return true;
    }
    return false;
}

} // namespace

class tst_KxWebViewContainer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageRoundTripsOverWebChannel()
    {
        QWidget window;
        window.resize(400, 300);
        KZelvaBrowserCreator creator;
        QSignalSpy created(&creator, &KZelvaBrowserCreator::createSucceeded);
        QVERIFY(CreateZelvaBrowserWidget(&window, &creator, QStringLiteral("kzelva_test_browser"), KZelvaBrowserDefault));
        QCOMPARE(created.count(), 0); // asynchronous, as the host's
        QVERIFY(created.wait(5000));
        auto *browser = created.at(0).at(0).value<KZelvaBrowserWidgetBase *>();
        QVERIFY(browser);
        QCOMPARE(browser->parentWidget(), &window);

        TestApi *api = nullptr;
        connect(browser, &KZelvaBrowserWidgetBase::creatingApi, this,
                [&api, &window](KxWebViewContainer *container, QObject **out) {
                    api = new TestApi(container, &window);
                    *out = api;
                });
        browser->setProperty("startupUrl", QStringLiteral(KZ_TEST_DATA_DIR "/bridgepage.html?lang=en_US"));
        browser->resize(400, 300);
        window.show();
        QSignalSpy loaded(browser, &KZelvaBrowserWidgetBase::loadFinished);
        browser->load();
        QVERIFY(api);
        QCOMPARE(browser->container()->jsObject()->handlerNames(),
                 (QStringList{QStringLiteral("common"), QStringLiteral("test")}));
        QVERIFY(loaded.wait(30000));
        QVERIFY(loaded.at(0).at(0).toBool());
        QCOMPARE(browser->url().query(), QStringLiteral("lang=en_US"));

        QTRY_VERIFY_WITH_TIMEOUT(echoedWith(api->handler, QStringLiteral("hello"), QStringLiteral("webchannel")), 15000);

        KxWebViewAsynJSObject *page = browser->container()->jsObject();
        QTRY_VERIFY(page->eventHandler());
        QCOMPARE(page->eventHandler()->sendEvent(QStringLiteral("test.ping"), QStringLiteral("{\"n\":5}")), 1);
        QTRY_VERIFY(echoedWith(api->handler, QStringLiteral("pong"), 5));

        browser->container()->runJavaScript(QStringLiteral("hostSaid('from host')"));
        QTRY_VERIFY(echoedWith(api->handler, QStringLiteral("script"), QStringLiteral("from host")));
    }
};

int main(int argc, char **argv)
{
    // QtWebEngine wants shared GL contexts before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_KxWebViewContainer test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_kxwebviewcontainer.moc"
