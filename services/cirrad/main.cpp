// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// cirrad: the local cloud-document service stand-in.
//   cirrad [--socket PATH] [--state-dir DIR] [--logged-out] [--hello-timeout-ms N] [--max-peers N]
//          [--idle-exit-ms N] [--detach] [--broker URL [--broker-ca FILE] [--broker-keepalive S]]
//   cirrad --control REQUEST [key=value ...]     (one control request, see kcirracontrol.h)
#include "kcirraclient.h"
#include "kcirraconfigfile.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcCirrad, "zelva.cirrad", QtInfoMsg)

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the socket file is removed and
// the lock released on the way out.
void quitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        qCInfo(lcCirrad) << "terminating on signal";
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

int runControl(const QString &socketPath, const QStringList &words)
{
    QMap<QString, QString> args;
    for (int i = 1; i < words.size(); ++i) {
        const int eq = words.at(i).indexOf(QLatin1Char('='));
        if (eq <= 0) {
            std::fprintf(stderr, "cirrad: expected key=value, got \"%s\"\n", qPrintable(words.at(i)));
            return 2;
        }
        args.insert(words.at(i).left(eq), words.at(i).mid(eq + 1));
    }
    qoz::cirra::CirraIpcResult result;
    QString error;
    // A script's request waits as long as a busy machine may keep the service from answering.
    constexpr int kControlWaitMs = 30000;
    if (!KCirraClient::control(socketPath, words.value(0), args, &result, &error, kControlWaitMs)) {
        std::fprintf(stderr, "cirrad: %s\n", qPrintable(error));
        return 2;
    }
    std::printf("state=%d\n", result.state);
    if (!result.resultString.empty())
        std::printf("%s\n", result.resultString.c_str());
    for (const auto &[key, value] : result.resultMap)
        std::printf("%s=%s\n", key.c_str(), value.c_str());
    for (const std::string &line : result.resultList)
        std::printf("%s\n", line.c_str());
    return result.state == 0 ? 0 : 1;
}

// Starts this program again without --detach and returns once something
// answers on the socket (the new instance, or one that already ran).
int detach(const QString &socketPath)
{
    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments.removeAll(QStringLiteral("--detach"));
    qint64 pid = 0;
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments, QString(), &pid)) {
        std::fprintf(stderr, "cirrad: cannot start the background instance\n");
        return 1;
    }
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        if (probe.waitForConnected(200))
            return 0;
        QThread::msleep(50);
    }
    std::fprintf(stderr, "cirrad: background instance (pid %lld) does not answer on %s\n", pid,
                 qPrintable(socketPath));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Everything the service creates is its user's alone: files 0600, folders 0700.
    ::umask(077);
    // Qt's own event dispatcher: cirrad needs no GLib integration, and the
    // GLib one costs a noticeable part of each call's round trip.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cirrad"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local cloud-document service stand-in"));
    parser.addHelpOption();
    const QCommandLineOption socketOption(QStringLiteral("socket"), QStringLiteral("Socket path."),
                                          QStringLiteral("path"), KCirraPaths::socketPath());
    const QCommandLineOption stateOption(QStringLiteral("state-dir"), QStringLiteral("State directory."),
                                         QStringLiteral("dir"), KCirraPaths::stateDir());
    const QCommandLineOption loggedOutOption(QStringLiteral("logged-out"),
                                             QStringLiteral("Users seen for the first time start logged out."));
    const QCommandLineOption helloOption(QStringLiteral("hello-timeout-ms"),
                                         QStringLiteral("Close connections that send no hello in time."),
                                         QStringLiteral("ms"), QStringLiteral("10000"));
    const QCommandLineOption peersOption(QStringLiteral("max-peers"), QStringLiteral("Connection limit."),
                                         QStringLiteral("n"), QStringLiteral("128"));
    const QCommandLineOption idleOption(QStringLiteral("idle-exit-ms"),
                                        QStringLiteral("Exit when no shell was connected for this long."),
                                        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption detachOption(QStringLiteral("detach"),
                                          QStringLiteral("Run in the background; return once it listens."));
    const QCommandLineOption controlOption(QStringLiteral("control"),
                                           QStringLiteral("Send one control request and exit."));
    const QCommandLineOption brokerOption(
        QStringLiteral("broker"),
        QStringLiteral("Join the user's cirrads on other machines through this MQTT broker (mqtt[s]://host[:port])."),
        QStringLiteral("url"));
    const QCommandLineOption brokerCaOption(QStringLiteral("broker-ca"),
                                            QStringLiteral("Certificate authority of an mqtts:// broker."),
                                            QStringLiteral("file"));
    const QCommandLineOption keepAliveOption(QStringLiteral("broker-keepalive"),
                                             QStringLiteral("Seconds after which the broker declares us gone."),
                                             QStringLiteral("s"), QStringLiteral("10"));
    parser.addOptions({socketOption, stateOption, loggedOutOption, helloOption, peersOption, idleOption, detachOption,
                       controlOption, brokerOption, brokerCaOption, keepAliveOption});
    parser.addPositionalArgument(QStringLiteral("request"), QStringLiteral("With --control: request key=value..."));
    parser.process(app);

    if (parser.isSet(controlOption)) {
        if (parser.positionalArguments().isEmpty()) {
            std::fprintf(stderr, "cirrad: --control needs a request\n");
            return 2;
        }
        return runControl(parser.value(socketOption), parser.positionalArguments());
    }

    if (parser.isSet(detachOption))
        return detach(parser.value(socketOption));

    KCirraServer::Options serverOptions;
    serverOptions.socketPath = parser.value(socketOption);
    bool ok = true;
    serverOptions.helloTimeoutMs = parser.value(helloOption).toInt(&ok);
    if (ok)
        serverOptions.maxPeers = parser.value(peersOption).toInt(&ok);
    KCirraService::Options serviceOptions;
    if (ok)
        serviceOptions.idleExitMs = parser.value(idleOption).toInt(&ok);
    if (!ok || serverOptions.helloTimeoutMs <= 0 || serverOptions.maxPeers <= 0 || serviceOptions.idleExitMs < 0) {
        std::fprintf(stderr, "cirrad: --hello-timeout-ms, --max-peers and --idle-exit-ms take positive numbers\n");
        return 2;
    }
    serviceOptions.stateDir = parser.value(stateOption);
    // The command line wins over the config file; credentials are only ever read from their own file.
    const KCirraConfigFile config(serviceOptions.stateDir + QStringLiteral("/cirrad.conf"));
    KCirraFederation::Options &federation = serviceOptions.federation;
    federation.url = parser.isSet(brokerOption) ? parser.value(brokerOption) : config.value(QStringLiteral("broker"));
    federation.caFile =
        parser.isSet(brokerCaOption) ? parser.value(brokerCaOption) : config.value(QStringLiteral("broker_ca"));
    federation.credentialsFile = serviceOptions.stateDir + QStringLiteral("/broker-credentials");
    const QString keepAlive = parser.isSet(keepAliveOption) ? parser.value(keepAliveOption)
                                                            : config.value(QStringLiteral("broker_keepalive"));
    if (!keepAlive.isEmpty()) {
        federation.keepAliveSeconds = keepAlive.toInt(&ok);
        if (!ok || federation.keepAliveSeconds < 5 || federation.keepAliveSeconds > 3600) {
            std::fprintf(stderr, "cirrad: --broker-keepalive takes 5..3600 seconds\n");
            return 2;
        }
    }
    KCirraServer server(serverOptions);
    serviceOptions.newUsersLoggedIn = !parser.isSet(loggedOutOption);
    KCirraService service(&server, serviceOptions);

    QString error;
    if (!service.startFederation(&error)) {
        // Asked for on the command line, a broker that cannot be used is an error; from the config file
        // (cirrad started for a shell) it must not cost the user the service: it runs alone.
        if (parser.isSet(brokerOption)) {
            qCCritical(lcCirrad).noquote() << error;
            return 2;
        }
        qCWarning(lcCirrad).noquote() << error << "; running alone";
    }
    if (!server.listen(&error)) {
        qCCritical(lcCirrad).noquote() << error;
        return 3;
    }
    quitOnSignals();
    return app.exec();
}
