// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>

class QLocalSocket;
class KCirraFrameReader;

/*
 * A blocking client of cirrad's socket: hello, calls, replies and events,
 * one frame at a time. For the command-line control, tests and benchmarks;
 * the shell itself talks through its asynchronous cloud proxy.
 *
 * Owned by its user; one thread; no event loop needed.
 */
class KCirraClient
{
public:
    explicit KCirraClient(const QString &socketPath);
    ~KCirraClient();

    // Connects and exchanges hellos. `hello.appName` "cirrad-control" marks a
    // connection that is not a shell (no events, no device).
    bool open(const qoz::cirra::CirraHello &hello, int timeoutMs = 5000);
    // Connects without a hello, for tests that speak raw bytes.
    bool connectOnly(int timeoutMs = 5000);
    void close();
    bool isConnected() const;

    bool writeRaw(const QByteArray &bytes);
    bool sendCall(const QString &requestId, const QString &function, const KCirraRecord &record);
    // Waits for the next frame; false on time-out, disconnect or bad data.
    bool readFrame(qoz::cirra::CirraFrame *frame, int timeoutMs);
    // Sends a call and waits for its reply; events arriving meanwhile are kept
    // for takeEvents(). `answer` receives the decoded answer record (if any).
    bool call(const QString &function, const KCirraRecord &record, qoz::cirra::CirraReply *reply,
              KCirraRecord *answer = nullptr, int timeoutMs = 5000);
    // Waits until `count` events have arrived (including kept ones).
    bool waitForEvents(int count, int timeoutMs);
    QList<qoz::cirra::CirraEvent> takeEvents();

    const qoz::cirra::CirraHello &serverHello() const { return m_serverHello; }
    QString errorString() const { return m_error; }
    QLocalSocket *socket() const { return m_socket.get(); }

    // One control request on a fresh connection; `result` gets the answer. timeoutMs bounds the
    // connect, the hello and the answer each.
    static bool control(const QString &socketPath, const QString &method, const QMap<QString, QString> &args,
                        qoz::cirra::CirraIpcResult *result, QString *error, int timeoutMs = 5000);

private:
    bool fail(const QString &error);

    QString m_socketPath;
    std::unique_ptr<QLocalSocket> m_socket;
    std::unique_ptr<KCirraFrameReader> m_reader;
    qoz::cirra::CirraHello m_serverHello;
    QList<qoz::cirra::CirraEvent> m_events;
    QString m_error;
    int m_nextId = 0;
};
