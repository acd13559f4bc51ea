// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirratestshell.h"

#include <kcirracodec.h>

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>

using namespace qoz::cirra;

KCirraTestShell::KCirraTestShell(const QString &socket, const std::string &user, const std::string &device,
                                 const std::string &appName)
    : m_client(socket)
{
    m_open = m_client.open(hello(user, device, appName));
}

CirraHello KCirraTestShell::hello(const std::string &user, const std::string &device, const std::string &appName)
{
    CirraHello h;
    h.protocolVersion = KCirraRecords::kProtocolVersion;
    h.appName = appName;
    h.appVersion = "1.0";
    h.userId = user;
    h.deviceId = device;
    h.deviceName = "Device " + device;
    h.abilities = {"sync_file_tag"};
    return h;
}

KCirraRecord KCirraTestShell::ipc(const std::string &method, std::map<std::string, std::string> args,
                                  const std::string &nameSpace)
{
    CirraIpcArg arg;
    arg.nameSpace = nameSpace;
    arg.method = method;
    arg.argMap = std::move(args);
    return KCirraRecord::make(arg);
}

int KCirraTestShell::call(const std::string &method, std::map<std::string, std::string> args, QJsonObject *answer,
                          const std::string &nameSpace)
{
    CirraReply reply;
    KCirraRecord record;
    if (!m_client.call(QStringLiteral("cirraIpcCall"), ipc(method, std::move(args), nameSpace), &reply, &record)
        || !reply.ok)
        return -1;
    const auto *result = record.as<CirraIpcResult>();
    if (answer)
        *answer = QJsonDocument::fromJson(QByteArray::fromStdString(result->resultString)).object();
    return result->state;
}

QJsonObject KCirraTestShell::device(const QString &id)
{
    QJsonObject answer;
    call("getSoftBussDeviceList", {{"status", "0"}}, &answer);
    for (const QJsonValue &d : answer.value(QStringLiteral("data"))[QStringLiteral("devices")].toArray()) {
        if (d.toObject().value(QStringLiteral("device_id")).toString() == id)
            return d.toObject();
    }
    return {};
}

bool KCirraTestShell::nextBroadcast(const QByteArray &prefix, QByteArray *rest, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        while (!m_kept.isEmpty()) {
            const QByteArray text = QByteArray::fromStdString(m_kept.takeFirst().text);
            if (text.startsWith(prefix)) {
                *rest = text.mid(prefix.size());
                return true;
            }
        }
        if (deadline.hasExpired() || !m_client.waitForEvents(1, int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
        m_kept = m_client.takeEvents();
    }
}

bool KCirraTestShell::broadcast(const QByteArray &key, QJsonObject *value, int timeoutMs)
{
    QByteArray text;
    if (!nextBroadcast("act=broadcast&" + key + '=', &text, timeoutMs))
        return false;
    *value = QJsonDocument::fromJson(text).object();
    return true;
}

bool KCirraTestShell::awaitResult(CirraReply *reply, CirraIpcResult *result, int timeoutMs)
{
    CirraFrame frame;
    do {
        if (!m_client.readFrame(&frame, timeoutMs))
            return false;
    } while (!frame.__isset.reply);
    *reply = frame.reply;
    return bool(KCirraCodec::decode(frame.reply.record, result));
}
