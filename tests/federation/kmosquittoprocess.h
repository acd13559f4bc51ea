// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

/*
 * A private mosquitto broker for tests and benchmarks: a generated config,
 * password file (one account per user, made with mosquitto_passwd) and the
 * pattern ACL "kz/%u/#" in a temporary folder, listening on a free loopback
 * port. stop() and start() again keep the port, as a broker restart would.
 */
class KMosquittoProcess
{
public:
    KMosquittoProcess();
    ~KMosquittoProcess();

    // Where the broker program is, empty when it is not installed.
    static QString program();
    // Before the first start().
    void addUser(const QString &user, const QString &password);
    // TLS only on the listener, with this certificate and key (before the first start()).
    void setTls(const QString &certFile, const QString &keyFile);
    bool start(QString *error = nullptr);
    void stop();

    int port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString log() const;
    // A cirrad's broker account ("user=", "password=") in `configDir`, mode 0600.
    static bool writeCredentials(const QString &configDir, const QString &user, const QString &password);

private:
    bool writeConfig(QString *error);

    QProcess m_process;
    QTemporaryDir m_dir;
    QMap<QString, QString> m_users;
    int m_port = 0;
    QString m_cert;
    QString m_key;
};
