// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcloudsvrproxy.h"

#include "kcloudsvrproxyprivate.h"

#include <kcirrapaths.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <signal.h>

Q_LOGGING_CATEGORY(lcCloud, "zelva.cloud", QtInfoMsg)

namespace {

constexpr int kStartWaitMs = 3000;
// A service this proxy started ends by itself once no shell has used it for
// this long, so test runs and crashed shells leave no process behind.
constexpr int kStartedIdleExitMs = 10000;

// The program to start as the service; empty when starting is switched off.
QString cirradProgram()
{
    if (qEnvironmentVariableIsSet("KZELVA_CIRRAD"))
        return qEnvironmentVariable("KZELVA_CIRRAD");
    const QString besideUs = QCoreApplication::applicationDirPath() + QStringLiteral("/cirrad");
    if (QFileInfo(besideUs).isExecutable())
        return besideUs;
    return QStandardPaths::findExecutable(QStringLiteral("cirrad"));
}

} // namespace

KCloudSvrProxy::KCloudSvrProxy(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<KCloudSvrProxyPrivate>(this))
{
    // Connect once the event loop runs, so that the creator can still set
    // the client information.
    d->scheduleReconnect(0);
}

KCloudSvrProxy::~KCloudSvrProxy() = default;

bool KCloudSvrProxy::checkCirraRunning() const
{
    if (d->state == KCloudSvrProxyPrivate::State::Ready)
        return true;
    const QString lockPath = KCirraPaths::lockPath();
    if (lockPath.isEmpty())
        return false;
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString host, app;
    return lock.getLockInfo(&pid, &host, &app) && pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

void KCloudSvrProxy::startCirraProcess(const QString &args, bool wait)
{
    if (!checkCirraRunning()) {
        const QString program = cirradProgram();
        if (program.isEmpty()) {
            qCWarning(lcCloud) << "startCirraProcess: no cirrad program to start";
            return;
        }
        QProcess process;
        process.setProgram(program);
        process.setArguments(QProcess::splitCommand(args)
                             << QStringLiteral("--idle-exit-ms") << QString::number(kStartedIdleExitMs));
        // The service outlives this shell; its output goes to its own log.
        const QString log = KCirraPaths::runtimeDir() + QStringLiteral("/cirrad.log");
        process.setStandardOutputFile(log, QIODevice::Append);
        process.setStandardErrorFile(log, QIODevice::Append);
        qint64 pid = 0;
        if (!process.startDetached(&pid)) {
            qCWarning(lcCloud).noquote() << "startCirraProcess: cannot start" << program;
            return;
        }
        qCInfo(lcCloud).noquote() << "started" << program << "pid" << pid;
    }
    d->backoffMs = 50;
    d->scheduleReconnect(20);
    if (wait && !isConnected()) {
        QEventLoop loop;
        QTimer::singleShot(kStartWaitMs, &loop, &QEventLoop::quit);
        connect(this, &KCloudSvrProxy::socketConnected, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

bool KCloudSvrProxy::isLogined() const
{
    return d->state == KCloudSvrProxyPrivate::State::Ready && d->loggedIn;
}

void KCloudSvrProxy::login(int src, const QString &a, const QString &b)
{
    qoz::cirra::CirraIpcArg arg;
    arg.method = "login";
    arg.argMap = {{"src", std::to_string(src)}, {"a", a.toStdString()}, {"b", b.toStdString()}};
    if (d->call(QLatin1String(KCirraRecords::kLogin), &arg, "CirraIpcArg", nullptr, QString()).isEmpty())
        qCWarning(lcCloud) << "login: request not accepted";
}

QString KCloudSvrProxy::asyncCall(const QString &function,
                                  const std::pair<const apache::thrift::TBase *, const char *> &record,
                                  QObject *receiver, const QString &slot)
{
    return d->call(function, record.first, record.second, receiver, slot);
}

KCirraEventObject *KCloudSvrProxy::cirraEventObject() const
{
    return d->events;
}

bool KCloudSvrProxy::isConnected() const
{
    return d->state == KCloudSvrProxyPrivate::State::Ready;
}

QString KCloudSvrProxy::userId() const
{
    return d->effectiveClientInfo().userId;
}

QString KCloudSvrProxy::userName() const
{
    return d->loggedIn ? d->userName : QString();
}

KCloudSvrProxy::ClientInfo KCloudSvrProxy::clientInfo() const
{
    return d->effectiveClientInfo();
}

void KCloudSvrProxy::setClientInfo(const ClientInfo &info)
{
    d->clientInfo = info;
    if (d->socket && d->state != KCloudSvrProxyPrivate::State::Disconnected)
        d->dropConnection(QString());
}

int KCloudSvrProxy::callTimeout() const
{
    return d->callTimeoutMs;
}

void KCloudSvrProxy::setCallTimeout(int ms)
{
    d->callTimeoutMs = qMax(1, ms);
}
