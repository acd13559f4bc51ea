// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kshellprocess.h"

#include <kzelvapaths.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonDocument>
#include <QThread>

KShellProcess::KShellProcess(const QString &name, const QString &socketName)
    : m_socketPath(KZelvaPaths::runtimeDir() + QStringLiteral("/") + (socketName.isEmpty() ? name : socketName)
                   + QStringLiteral(".sock"))
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), profileDir(name) + QStringLiteral("/config"));
    m_process.setProcessEnvironment(env);
    QObject::connect(&m_process, &QProcess::readyRead,
                     [this] { m_output += m_process.readAll(); });
}

KShellProcess::~KShellProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString KShellProcess::shellPath()
{
    return qEnvironmentVariable("KZ_BIN_DIR") + QStringLiteral("/zelvashell");
}

QString KShellProcess::profileDir(const QString &name)
{
    return QDir(qEnvironmentVariable("KZELVA_PROFILE_DIR", QDir::tempPath())).absoluteFilePath(name);
}

QStringList KShellProcess::deviceArguments(const QString &device, const QString &deviceName, const QString &user)
{
    QStringList arguments{QStringLiteral("--user"), user, QStringLiteral("--device-id"), device};
    if (!deviceName.isEmpty())
        arguments << QStringLiteral("--device-name") << deviceName;
    return arguments;
}

QJsonObject KShellProcess::command(const QString &name, QJsonObject fields, int timeoutMs)
{
    fields.insert(QStringLiteral("cmd"), name);
    return call(fields, timeoutMs);
}

bool KShellProcess::start(const QStringList &arguments, QString *errorString)
{
    QStringList command = m_launcher;
    command << shellPath() << QStringLiteral("--automation") << m_socketPath << arguments;
    m_process.start(command.takeFirst(), command);
    if (!m_process.waitForStarted(10000)) {
        if (errorString)
            *errorString = m_process.errorString();
        return false;
    }
    // The socket appears once the plug-in is loaded and the first window exists.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        m_socket.connectToServer(m_socketPath);
        if (m_socket.waitForConnected(200))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(100);
    }
    if (errorString)
        *errorString = QStringLiteral("no automation socket; output:\n") + QString::fromLocal8Bit(m_output);
    return false;
}

QJsonObject KShellProcess::call(const QJsonObject &request, int timeoutMs)
{
    return callRaw(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n', timeoutMs);
}

QJsonObject KShellProcess::callRaw(const QByteArray &line, int timeoutMs)
{
    if (m_socket.state() != QLocalSocket::ConnectedState)
        return {};
    m_socket.write(line);
    m_socket.flush();
    QDeadlineTimer deadline(timeoutMs);
    while (!m_socket.canReadLine() && !deadline.hasExpired()) {
        if (!m_socket.waitForReadyRead(50) && m_socket.state() != QLocalSocket::ConnectedState)
            break;
    }
    if (!m_socket.canReadLine())
        return {};
    return QJsonDocument::fromJson(m_socket.readLine()).object();
}

int KShellProcess::quit(int timeoutMs)
{
    call({{QStringLiteral("cmd"), QStringLiteral("quit")}});
    if (!waitForExit(timeoutMs))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

bool KShellProcess::waitForExit(int timeoutMs)
{
    const bool done = m_process.waitForFinished(timeoutMs);
    m_output += m_process.readAll();
    return done;
}
