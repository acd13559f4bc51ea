// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirraclient.h"

#include <QJsonObject>

#include <map>
#include <string>

/*
 * One shell of a device as cirrad sees it, for tests: a client that said
 * hello as `user`'s `device` (named "Device <device>", able to sync file
 * tags), its "cirraIpcCall"s answered as state and JSON, the user's device
 * list, and the broadcast events it hears.
 */
class KCirraTestShell
{
public:
    KCirraTestShell(const QString &socket, const std::string &user, const std::string &device,
                    const std::string &appName = "tst_cirrad");

    static qoz::cirra::CirraHello hello(const std::string &user, const std::string &device = "dev-1",
                                        const std::string &appName = "tst_cirrad");
    static KCirraRecord ipc(const std::string &method, std::map<std::string, std::string> args = {},
                            const std::string &nameSpace = std::string());

    bool isOpen() const { return m_open; }
    KCirraClient &client() { return m_client; }
    // The state of a "cirraIpcCall" (-1 when the call itself failed); `answer` gets its resultString.
    int call(const std::string &method, std::map<std::string, std::string> args = {}, QJsonObject *answer = nullptr,
             const std::string &nameSpace = std::string());
    // The entry of device `id` in the user's device list, empty when it is not listed.
    QJsonObject device(const QString &id);
    int status(const QString &id) { return device(id).value(QStringLiteral("status")).toInt(-1); }
    // The rest of the next event text starting with `prefix`; other events are dropped.
    bool nextBroadcast(const QByteArray &prefix, QByteArray *rest, int timeoutMs);
    // The JSON value of the next "act=broadcast&<key>=" event.
    bool broadcast(const QByteArray &key, QJsonObject *value, int timeoutMs = 20000);
    // The answer of the "cirraIpcCall" sent earlier with KCirraClient::sendCall.
    bool awaitResult(qoz::cirra::CirraReply *reply, qoz::cirra::CirraIpcResult *result, int timeoutMs = 20000);

private:
    KCirraClient m_client;
    QList<qoz::cirra::CirraEvent> m_kept;
    bool m_open = false;
};
