// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirradprocess.h"

#include "kcirraclient.h"

#include <kcirrapaths.h>

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QThread>

#include <signal.h>

KCirradProcess::KCirradProcess()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

KCirradProcess::~KCirradProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        kill();
}

QString KCirradProcess::program()
{
    return QStringLiteral(KZ_CIRRAD_PATH);
}

QString KCirradProcess::socketPath() const
{
    return m_socketPath.isEmpty() ? KCirraPaths::socketPath() : m_socketPath;
}

namespace {

// How long a start, an exit or a control answer may take: generous, as a loaded
// machine can hold a process off the CPU for seconds; nothing waits this long when it works.
constexpr int kPatienceMs = 30000;

// The process id of the cirrad answering on `socketPath`, 0 when none does.
qint64 servingPid(const QString &socketPath)
{
    KCirraClient client(socketPath);
    qoz::cirra::CirraHello hello;
    hello.protocolVersion = KCirraRecords::kProtocolVersion;
    hello.appName = KCirraRecords::kControlAppName;
    return client.open(hello, 500) ? client.serverHello().processId : 0;
}

} // namespace

bool KCirradProcess::start(const QStringList &arguments, QString *error)
{
    // An instance left behind by an earlier run would answer in our place.
    if (servingPid(socketPath()) != 0) {
        qoz::cirra::CirraIpcResult ignored;
        QString ignoredError;
        KCirraClient::control(socketPath(), QStringLiteral("shutdown"), {}, &ignored, &ignoredError, kPatienceMs);
        QDeadlineTimer gone(kPatienceMs);
        while (servingPid(socketPath()) != 0 && !gone.hasExpired())
            QThread::msleep(20);
    }
    QStringList fixed{QStringLiteral("--state-dir"), m_state.path()};
    if (!m_socketPath.isEmpty())
        fixed << QStringLiteral("--socket") << m_socketPath;
    m_process.start(program(), fixed + arguments);
    if (!m_process.waitForStarted(kPatienceMs)) {
        if (error)
            *error = m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(kPatienceMs);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (servingPid(socketPath()) == m_process.processId())
            return true;
        QThread::msleep(20);
    }
    if (error)
        *error = QStringLiteral("cirrad did not come up: ") + QString::fromLocal8Bit(output());
    return false;
}

bool KCirradProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    return waitForExit(kPatienceMs);
}

void KCirradProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGKILL);
    waitForExit(kPatienceMs);
}

bool KCirradProcess::waitForExit(int timeoutMs)
{
    const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
    output();
    return ended;
}

QByteArray KCirradProcess::output()
{
    m_output += m_process.readAll();
    return m_output;
}

bool KCirradProcess::control(const QString &method, const QMap<QString, QString> &args,
                             qoz::cirra::CirraIpcResult *result)
{
    qoz::cirra::CirraIpcResult local;
    QString error;
    if (!KCirraClient::control(socketPath(), method, args, &local, &error, kPatienceMs)) {
        qWarning("control %s failed: %s", qPrintable(method), qPrintable(error));
        return false;
    }
    if (result)
        *result = local;
    return local.state == 0;
}

QList<QJsonObject> KCirradProcess::callLog()
{
    qoz::cirra::CirraIpcResult result;
    QList<QJsonObject> entries;
    if (!control(QStringLiteral("callLog"), {}, &result))
        return entries;
    for (const std::string &line : result.resultList)
        entries.append(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    return entries;
}

QList<QJsonObject> KCirradProcess::callsOf(const QString &function, const QString &method)
{
    QList<QJsonObject> matching;
    for (const QJsonObject &entry : callLog()) {
        if (entry.value(QStringLiteral("function")).toString() != function)
            continue;
        const QString m = entry.value(QStringLiteral("arg")).toObject().value(QStringLiteral("method")).toString();
        if (method.isEmpty() || m == method)
            matching.append(entry);
    }
    return matching;
}
