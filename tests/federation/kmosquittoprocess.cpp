// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kmosquittoprocess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

QString findTool(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty()
               ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
               : found;
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

KMosquittoProcess::KMosquittoProcess()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

KMosquittoProcess::~KMosquittoProcess()
{
    stop();
}

QString KMosquittoProcess::program()
{
    return findTool(QStringLiteral("mosquitto"));
}

void KMosquittoProcess::addUser(const QString &user, const QString &password)
{
    m_users.insert(user, password);
}

void KMosquittoProcess::setTls(const QString &certFile, const QString &keyFile)
{
    m_cert = certFile;
    m_key = keyFile;
}

QString KMosquittoProcess::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool KMosquittoProcess::writeConfig(QString *error)
{
    const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
    for (auto it = m_users.cbegin(); it != m_users.cend(); ++it) {
        QStringList args{QStringLiteral("-b")};
        if (it == m_users.cbegin())
            args << QStringLiteral("-c");
        args << passwords << it.key() << it.value();
        if (QProcess::execute(findTool(QStringLiteral("mosquitto_passwd")), args) != 0) {
            *error = QStringLiteral("mosquitto_passwd failed");
            return false;
        }
    }
    QFile acl(m_dir.filePath(QStringLiteral("acl")));
    QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    m_port = freePort();
    if (m_port == 0 || !acl.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write the broker's files");
        return false;
    }
    acl.write("pattern readwrite kz/%u/#\n");
    // Started as root, mosquitto would switch to its own account and lose access to this folder.
    const struct passwd *self = ::getpwuid(::getuid());
    config.write(QStringLiteral("user %1\n").arg(QString::fromLocal8Bit(self ? self->pw_name : "nobody")).toUtf8());
    config.write(QStringLiteral("per_listener_settings false\n"
                                "allow_anonymous false\n"
                                "password_file %1\n"
                                "acl_file %2\n"
                                "persistence false\n"
                                "log_dest file %3\n"
                                "log_type all\n"
                                "listener %4 127.0.0.1\n")
                     .arg(passwords, acl.fileName(), m_dir.filePath(QStringLiteral("mosquitto.log")))
                     .arg(m_port)
                     .toUtf8());
    if (!m_cert.isEmpty())
        config.write(QStringLiteral("certfile %1\nkeyfile %2\n").arg(m_cert, m_key).toUtf8());
    return true;
}

bool KMosquittoProcess::start(QString *error)
{
    QString local;
    QString &why = error ? *error : local;
    if (program().isEmpty()) {
        why = QStringLiteral("mosquitto is not installed");
        return false;
    }
    if (m_port == 0 && !writeConfig(&why))
        return false;
    m_process.start(program(), {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (!m_process.waitForStarted(5000)) {
        why = m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && !m_process.waitForFinished(0)) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(20);
    }
    why = QStringLiteral("mosquitto did not come up: ") + QString::fromLocal8Bit(m_process.readAll()) + log();
    return false;
}

void KMosquittoProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(2000);
}

bool KMosquittoProcess::writeCredentials(const QString &configDir, const QString &user, const QString &password)
{
    QFile credentials(configDir + QStringLiteral("/broker-credentials"));
    if (!credentials.open(QIODevice::WriteOnly)
        || credentials.write(QStringLiteral("user=%1\npassword=%2\n").arg(user, password).toUtf8()) <= 0)
        return false;
    return credentials.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}
