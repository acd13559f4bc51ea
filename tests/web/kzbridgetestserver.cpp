// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// kzbridge_testserver: the network transport with the test page API, for
// the browser tests. Serves --www at "/" and --js at "/js/", registers the
// test handler as "common" on page "bridgetest", prints
//   url <page url with token>
// on stdout, then "refused <Reason>" for every refusal, and runs until its
// stdin closes.

#include "kxwebtesthandler.h"

#include <kxwebbridgeserver.h>
#include <kxwebviewasynjsobject.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMetaEnum>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption wwwOption(QStringLiteral("www"), QStringLiteral("Folder served at /."), QStringLiteral("dir"));
    const QCommandLineOption jsOption(QStringLiteral("js"), QStringLiteral("Folder served at /js/."), QStringLiteral("dir"));
    const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("Path of the page to print."),
                                        QStringLiteral("path"), QStringLiteral("/bridge.html"));
    parser.addOptions({wwwOption, jsOption, pageOption});
    parser.addHelpOption();
    parser.process(app);

    KxWebBridgeServer server;
    QString error;
    if (!server.listen(0, &error)) {
        std::fprintf(stderr, "kzbridge_testserver: %s\n", qPrintable(error));
        return 2;
    }
    QObject::connect(&server, &KxWebBridgeServer::refused, [](KxWebBridgeServer::Refusal reason) {
        std::printf("refused %s\n", QMetaEnum::fromType<KxWebBridgeServer::Refusal>().valueToKey(int(reason)));
        std::fflush(stdout);
    });
    server.addMount(QStringLiteral("/"), parser.value(wwwOption));
    server.addMount(QStringLiteral("/js/"), parser.value(jsOption));

    KxWebViewAsynJSObject page;
    page.setObjectName(QStringLiteral("bridgetest"));
    KxWebTestHandler handler(&page, &page);
    page.registerHandler(QStringLiteral("common"), &handler);
    server.addPage(page.objectName(), &page);

    // The test's end closes our stdin: leave with it, never linger.
    QSocketNotifier stdinWatch(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinWatch, &QSocketNotifier::activated, &app, [&app] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });

    std::printf("url %s\n", server.pageUrl(parser.value(pageOption), page.objectName()).toString().toUtf8().constData());
    std::fflush(stdout);
    return app.exec();
}
