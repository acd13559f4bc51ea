// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>

/*
 * A real zelvashell process driven through its automation socket, for
 * end-to-end tests. The socket lives in the test's runtime directory. Each
 * `name` gets a configuration directory of its own inside the test's
 * profile, so shells of one test do not see each other's stored work areas
 * unless they share a name (a restart, say). Shells of one name that run at
 * the same time need socket names of their own.
 */
class KShellProcess
{
public:
    explicit KShellProcess(const QString &name = QStringLiteral("shell"), const QString &socketName = QString());
    ~KShellProcess();

    // Replaces the environment the shell starts with (before start()).
    void setEnvironment(const QProcessEnvironment &environment) { m_process.setProcessEnvironment(environment); }
    // A program (with its arguments) the shell is started through, e.g. xvfb-run.
    void setLauncher(const QStringList &launcher) { m_launcher = launcher; }
    // Starts the shell and connects; false with a message on failure.
    bool start(const QStringList &arguments = {}, QString *errorString = nullptr);
    // Sends one request, waits for its answer (empty object on time-out).
    QJsonObject call(const QJsonObject &request, int timeoutMs = 10000);
    // The automation command `name` with `fields`, as call() sends it.
    QJsonObject command(const QString &name, QJsonObject fields = {}, int timeoutMs = 10000);
    // Sends raw bytes (a line is expected to end with \n) and reads one answer.
    QJsonObject callRaw(const QByteArray &line, int timeoutMs = 10000);
    // Asks the shell to quit and waits; returns the exit code or -1.
    int quit(int timeoutMs = 15000);
    bool waitForExit(int timeoutMs = 15000);

    QProcess &process() { return m_process; }
    QByteArray output() const { return m_output; }
    QString socketPath() const { return m_socketPath; }
    static QString shellPath();
    // The folder of the test's profile that shells named `name` keep their data in.
    static QString profileDir(const QString &name);
    // The arguments that make the shell one of `user`'s device `device`.
    static QStringList deviceArguments(const QString &device, const QString &deviceName = QString(),
                                       const QString &user = QStringLiteral("alice"));

private:
    QProcess m_process;
    QStringList m_launcher;
    QLocalSocket m_socket;
    QString m_socketPath;
    QByteArray m_output;
};
