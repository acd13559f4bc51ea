// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

/*
 * A real cirrad process for tests and benchmarks: started in the caller's
 * environment (its runtime directory, hence its socket) with a fresh state
 * directory, driven through its control requests, killed or stopped at will.
 */
class KCirradProcess
{
public:
    KCirradProcess();
    ~KCirradProcess();

    // Starts cirrad with `arguments` and waits until it answers on its socket.
    bool start(const QStringList &arguments = {}, QString *error = nullptr);
    // SIGTERM, then waits; false when it did not end.
    bool stop();
    // SIGKILL, then waits: the socket file stays behind like after a crash.
    void kill();
    bool waitForExit(int timeoutMs);

    // One control request; false when it could not be sent or state != 0.
    bool control(const QString &method, const QMap<QString, QString> &args = {},
                 qoz::cirra::CirraIpcResult *result = nullptr);
    QList<QJsonObject> callLog();
    // Calls of `function` whose CirraIpcArg method is `method` (any when empty).
    QList<QJsonObject> callsOf(const QString &function, const QString &method = QString());

    QString socketPath() const;
    // Another socket than the environment's, for several instances side by side (before start()).
    void setSocketPath(const QString &path) { m_socketPath = path; }
    QString stateDir() const { return m_state.path(); }
    QProcess &process() { return m_process; }
    QByteArray output();
    static QString program();

private:
    QProcess m_process;
    QTemporaryDir m_state;
    QByteArray m_output;
    QString m_socketPath;
};
