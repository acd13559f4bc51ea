// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// zelvashell: the demo shell. Loads the work-area plug-in with dlopen as the
// suite's shell does and opens a main window with the documents given.

#include "kautomationserver.h"
#include "kworkareapluginloader.h"
#include "kzelvashellcontroller.h"

#include <kzelvaapplication.h>
#include <kzelvabackupmgr.h>
#include <kzelvamainwindow.h>
#include <kzelvapaths.h>

#include <QCommandLineParser>
#include <QDir>
#include <QHostInfo>
#include <QLoggingCategory>

#include <cstdio>
#include <memory>

Q_LOGGING_CATEGORY(lcMain, "zelva.main", QtInfoMsg)

namespace {
QString defaultPluginPath()
{
    // The build puts programs in bin/ and the module in lib/.
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../lib/libkzelvaworkarea.so"));
}
} // namespace

int main(int argc, char **argv)
{
    // QtWebEngine views share one OpenGL context with the rest of the shell.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setOrganizationName(QStringLiteral("Zelva"));
    QCoreApplication::setApplicationName(QStringLiteral("zelvashell"));
    auto app = std::make_unique<KZelvaApplication>(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo shell hosting the work-area plug-in"));
    parser.addHelpOption();
    const QCommandLineOption pluginOption(QStringLiteral("plugin"), QStringLiteral("Plug-in module to load."),
                                          QStringLiteral("path"), defaultPluginPath());
    const QCommandLineOption noPluginOption(QStringLiteral("no-plugin"), QStringLiteral("Run without the plug-in."));
    const QCommandLineOption automationOption(QStringLiteral("automation"),
                                              QStringLiteral("Automation socket path."), QStringLiteral("path"));
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("User id."),
                                        QStringLiteral("id"), QStringLiteral("local"));
    const QCommandLineOption deviceIdOption(QStringLiteral("device-id"), QStringLiteral("Device id."),
                                            QStringLiteral("id"));
    const QCommandLineOption deviceNameOption(QStringLiteral("device-name"), QStringLiteral("Device name."),
                                              QStringLiteral("name"));
    const QCommandLineOption appNameOption(QStringLiteral("app-name"), QStringLiteral("Application name."),
                                           QStringLiteral("name"), QStringLiteral("zelvashell"));
    const QCommandLineOption independentOption(QStringLiteral("independent"),
                                               QStringLiteral("Run in independent mode with this app type."),
                                               QStringLiteral("type"));
    const QCommandLineOption appModeOption(QStringLiteral("app-mode"), QStringLiteral("Application mode bits."),
                                           QStringLiteral("bits"), QStringLiteral("0"));
    const QCommandLineOption commandLineOption(QStringLiteral("cross-device"),
                                               QStringLiteral("Cross-device command line."), QStringLiteral("line"));
    const QCommandLineOption shelllessOption(QStringLiteral("shellless"),
                                             QStringLiteral("Run without a shell window of its own."));
    parser.addOptions({pluginOption, noPluginOption, automationOption, userOption, deviceIdOption, deviceNameOption,
                       appNameOption, independentOption, appModeOption, commandLineOption, shelllessOption});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Documents to open."), QStringLiteral("[files...]"));
    parser.process(*app);

    app->setProperty("zelvaUserId", parser.value(userOption));
    app->setProperty("zelvaDeviceId", parser.isSet(deviceIdOption) ? parser.value(deviceIdOption)
                                                                    : QHostInfo::localHostName());
    app->setProperty("zelvaDeviceName", parser.isSet(deviceNameOption) ? parser.value(deviceNameOption)
                                                                        : QHostInfo::localHostName());
    app->setProperty("zelvaAppName", parser.value(appNameOption));
    KZelvaStartup *startup = app->startupInfo();
    if (parser.isSet(independentOption))
        startup->setIndependentMode(true, parser.value(independentOption).toInt());
    startup->setAppMode(parser.value(appModeOption).toInt());
    startup->setShelllessMode(parser.isSet(shelllessOption));
    // "plugin://pageBrowser?<Base64 URL>" asks for a web tab. Another process
    // hands it over behind the suite's own program name, "/zelvashell", which
    // names no document.
    QStringList files;
    QStringList webPages;
    const QStringList positional = parser.positionalArguments();
    for (const QString &argument : positional) {
        if (KZelvaShellController::isPageBrowserArgument(argument))
            webPages.append(argument);
        else if (argument != QLatin1String("/zelvashell"))
            files.append(argument);
    }
    startup->setFilesToOpen(files);
    startup->setCommandLine(parser.value(commandLineOption));

    // The run marker tells this start whether the last one crashed, before
    // the plug-in decides what the first window shows.
    app->getBackupMgr()->start();

    KWorkAreaPluginLoader loader;
    if (!parser.isSet(noPluginOption)) {
        QString error;
        if (!loader.load(parser.value(pluginOption), &error)) {
            std::fprintf(stderr, "zelvashell: cannot load plug-in %s: %s\n",
                         qPrintable(parser.value(pluginOption)), qPrintable(error));
            return 2;
        }
        loader.registerCrossTerminalPanel();
        // The plug-in's script extension objects, for the shell's own pages.
        loader.registerScriptExtension(nullptr, nullptr);
    }

    auto *controller = new KZelvaShellController(&loader, app.get());
    auto *automation = new KAutomationServer(controller, app.get());
    const QString socketPath = parser.isSet(automationOption)
        ? parser.value(automationOption)
        : KZelvaPaths::runtimeDir() + QStringLiteral("/zelvashell-%1.sock").arg(QCoreApplication::applicationPid());
    QString error;
    if (!automation->listen(socketPath, &error)) {
        std::fprintf(stderr, "zelvashell: automation socket %s: %s\n", qPrintable(socketPath), qPrintable(error));
        return 2;
    }
    std::printf("automation: %s\n", qPrintable(automation->path()));
    std::fflush(stdout);

    KZelvaMainWindow *window = controller->newWindow();
    // The documents of the stored work areas come back first (they rejoin
    // their work areas), then those named on the command line. A process
    // started for a web page shows that page only: the documents stay with
    // the process that has them open.
    const int restored = webPages.isEmpty() ? controller->restoreDocuments(window) : 0;
    for (const QString &file : qAsConst(files)) {
        QString openError;
        if (!controller->openDocument(window, file, &openError))
            qCWarning(lcMain) << openError;
    }
    int pagesOpened = 0;
    for (const QString &page : qAsConst(webPages)) {
        QString openError;
        if (controller->openPageBrowser(window, page, &openError))
            ++pagesOpened;
        else
            qCWarning(lcMain).noquote() << openError;
    }
    if (files.isEmpty() && restored == 0 && pagesOpened == 0)
        controller->newDocument(window);

    const int rc = app->exec();
    app->getBackupMgr()->markCleanExit();
    // The manager goes before the application object, whose children it
    // uses. The module stays mapped until the process ends, as in the
    // suite's shell: host registries may still hold data from it (string
    // literals, meta-objects) that is only released at exit.
    loader.unload();
    app.reset();
    std::printf("zelvashell: exit %d\n", rc);
    return rc;
}
