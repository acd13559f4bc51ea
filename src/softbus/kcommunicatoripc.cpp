// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcommunicatoripc.h"

#include "kcommunicatorproxy.h"
#include "softbusbase64.h"
#include "softbusdispatch.h"

#include <kzelvaworkareahelper.h>

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace SoftBus {
namespace Business {

using Protocol::Internal::CommunicationContent;

namespace {

constexpr char kBroadcastTag[] = "KCommunicatorIpc::onNotifyBroadcast";

void log(int level, const char *tag, const QString &text)
{
    writeModuleLog(KzLogModule::kSoftBusBusiness, level, QStringLiteral("%1 : %2").arg(QLatin1String(tag), text));
}

KCloudSvrProxy *cloudProxy()
{
    KZelvaApplication *app = zelvaApp;
    return app ? app->cloudSvrProxy() : nullptr;
}

// The error code of a failed IPC call: the proxy failed, or the service answered a state.
int ipcError(bool ok, const CirraIpcResult &result)
{
    return ok ? (Error::IpcFailed | result.state) : Error::IpcFailed;
}

// The broadcast line's key/value pairs and its action word ("act"), as views into the line.
struct BroadcastLine
{
    QStringView action;
    QVarLengthArray<QPair<QStringView, QStringView>, 8> params;

    // The value of the last `key`; false when the line has none.
    bool find(QLatin1String key, QStringView *value) const
    {
        for (auto it = params.crbegin(); it != params.crend(); ++it) {
            if (it->first == key) {
                *value = it->second;
                return true;
            }
        }
        return false;
    }
};

BroadcastLine parseLine(QStringView message)
{
    QVarLengthArray<QStringView, 8> elements;
    for (int from = 0; from <= message.size();) {
        const int amp = int(message.indexOf(QLatin1Char('&'), from));
        const int to = amp < 0 ? int(message.size()) : amp;
        elements.append(message.mid(from, to - from));
        from = to + 1;
    }
    // With "force=true" a value keeps every "=" after the first (Base64 padding).
    const auto force = std::find(elements.begin(), elements.end(), QLatin1String("force=true"));
    const bool firstEquals = force != elements.end();
    if (firstEquals)
        elements.erase(force);
    BroadcastLine line;
    for (const QStringView element : qAsConst(elements)) {
        const int eq = int(element.indexOf(QLatin1Char('=')));
        if (firstEquals ? eq <= 0 : (eq < 0 || element.indexOf(QLatin1Char('='), eq + 1) >= 0))
            continue;
        const QStringView key = element.left(eq);
        const QStringView value = element.mid(eq + 1);
        if (key == QLatin1String("act"))
            line.action = value;
        else
            line.params.append(qMakePair(key, value));
    }
    return line;
}

// "__return__": the content's text, or the content object itself as cirrad sends it (one level of
// escaping less to parse). `data`, when the line carried it as its own part, takes the place of the content's.
bool readReturn(const QJsonValue &value, const QString *data, CommunicationContent *content)
{
    const bool read = value.isObject() ? CommunicationContent::fromJson(value.toObject(), content)
                                       : Protocol::recordFromText(value.toString(), content);
    if (read && data)
        content->data = *data;
    return read;
}

// What a log line quotes of an unreadable "__return__".
QString shownReturn(const QJsonValue &value)
{
    return value.isObject()
               ? QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact).left(128))
               : value.toString().left(128);
}

// The dispatch rule for a content decoded once for every callback that gets it.
Export::CobLifeState deliver(const ContentCallback &callback, int code, const CommunicationContent &content)
{
    return callback(code, code == Error::Success ? content : CommunicationContent());
}

} // namespace

KCommunicatorIpc::KCommunicatorIpc()
{
    KCloudSvrProxy *proxy = cloudProxy();
    if (!proxy)
        return;
    QObject *events = proxy->cirraEventObject();
    connect(events, SIGNAL(signal_broadcast(const QString &)), this, SLOT(onNotifyBroadcast(const QString &)));
    connect(events, SIGNAL(SocketConnected()), this, SLOT(reRegisterListen()));
}

KCommunicatorIpc::~KCommunicatorIpc() = default;

QString KCommunicatorIpc::ipcCall(QObject *receiver, const char *method, std::map<std::string, std::string> params)
{
    KCloudSvrProxy *proxy = cloudProxy();
    if (!proxy)
        return QString();
    params["__method__"] = method;
    qoz::cirra::CirraIpcArg arg;
    arg.method = "requestSoftBusCommunicator";
    arg.argMap = std::move(params);
    return proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, receiver,
                            QLatin1String("ipc_") + QLatin1String(method));
}

int KCommunicatorIpc::send(const CommunicationContent &content, ContentCallback callback)
{
    const QString id = ipcCall(this, "send", {{"content", content.toText().toStdString()}});
    if (id.isEmpty())
        return Refused;
    m_pendingSends.insert(id, std::move(callback));
    return Accepted;
}

int KCommunicatorIpc::listenMessage(const ChannelAbility::Operation &operation, ContentCallback callback)
{
    const QString id = ipcCall(this, "listenMessage", {{"operation", Protocol::recordToText(operation).toStdString()}});
    if (id.isEmpty())
        return Refused;
    m_pendingListens.insert(id, qMakePair(operation, std::move(callback)));
    return Accepted;
}

void KCommunicatorIpc::ipc_send(bool ok, QString requestId, CirraIpcResult result)
{
    const auto pending = m_pendingSends.find(requestId);
    if (pending == m_pendingSends.end())
        return;
    const ContentCallback callback = pending.value();
    m_pendingSends.erase(pending);
    if (ok && result.state == 0) {
        const auto ret = result.resultMap.find("__return__");
        bool parsed = false;
        const qint64 cobId =
            ret == result.resultMap.end() ? 0 : QString::fromStdString(ret->second).toLongLong(&parsed, 10);
        if (parsed) {
            m_awaitingResults.insert(cobId, entry(callback));
            return;
        }
        log(2, "KCommunicatorIpc::ipc_send", QStringLiteral("no usable __return__ for request %1").arg(requestId));
    }
    dispatchContent(callback, ipcError(ok, result), QString());
}

void KCommunicatorIpc::ipc_listenMessage(bool ok, QString requestId, CirraIpcResult result)
{
    const auto pending = m_pendingListens.find(requestId);
    if (pending == m_pendingListens.end())
        return;
    const QPair<ChannelAbility::Operation, ContentCallback> listen = pending.value();
    m_pendingListens.erase(pending);
    if (ok && result.state == 0)
        m_listeners[listen.first].append(entry(listen.second));
    else
        dispatchContent(listen.second, ipcError(ok, result), QString());
}

void KCommunicatorIpc::ipc_reRegisterListen(bool, QString, CirraIpcResult)
{
}

void KCommunicatorIpc::reRegisterListen()
{
    m_pendingSends.clear();
    m_pendingListens.clear();
    m_awaitingResults.clear();
    m_listeners.clear();
    // The process-wide communicator proxy registers its standing listeners again.
    KCommunicatorProxy::instance()->reRegisterListen();
}

void KCommunicatorIpc::onNotifyBroadcast(QString message)
{
    const BroadcastLine line = parseLine(message);
    if (line.action != QLatin1String("broadcast"))
        return;
    // Other broadcasts (label sync, ...) share the line format; they carry no SoftBus event.
    QStringView payload;
    if (!line.find(QLatin1String("SoftBusEvent"), &payload) || payload.isEmpty())
        return;
    QByteArray decoded;
    if (!decodeBase64(payload, &decoded) || decoded.isEmpty()) {
        log(2, kBroadcastTag, QStringLiteral("SoftBusEvent is not Base64 text: ") + payload.left(64).toString());
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(decoded);
    const QJsonValue method = doc.object().value(QLatin1String("__method__"));
    if (!doc.isObject() || !method.isString()) {
        log(2, kBroadcastTag,
            QStringLiteral("SoftBusEvent without __method__: ") + QString::fromUtf8(decoded).left(128));
        return;
    }
    // The content's data as its own part, beside the event.
    QString data;
    QStringView part;
    const bool hasPart = line.find(QLatin1String("SoftBusData"), &part);
    if (hasPart) {
        QByteArray bytes;
        if (!decodeBase64(part, &bytes)) {
            log(2, kBroadcastTag, QStringLiteral("SoftBusData is not Base64: ") + part.left(64).toString());
            return;
        }
        // Up to a NUL, as QString::fromUtf8(QByteArray) reads, without its byte-at-a-time search.
        const auto nul = static_cast<const char *>(std::memchr(bytes.constData(), 0, std::size_t(bytes.size())));
        data = bytes.isEmpty()
                   ? QStringLiteral("")
                   : QString::fromUtf8(bytes.constData(), nul ? int(nul - bytes.constData()) : bytes.size());
    }
    const QString *beside = hasPart ? &data : nullptr;
    if (method.toString() == QLatin1String("send"))
        onSendResult(doc.object(), beside);
    else if (method.toString() == QLatin1String("listenMessage"))
        onListenNotice(doc.object(), beside);
    else
        log(0, kBroadcastTag, QStringLiteral("Unknown SoftBus Listen Result: ") + method.toString());
}

void KCommunicatorIpc::onSendResult(const QJsonObject &event, const QString *data)
{
    const int code = event.value(QLatin1String("__code__")).toInt(0);
    CommunicationContent content;
    const QJsonValue returned = event.value(QLatin1String("__return__"));
    if (!readReturn(returned, data, &content)) {
        log(2, kBroadcastTag, QStringLiteral("send result without a readable __return__: ") + shownReturn(returned));
        return;
    }
    const auto found = m_awaitingResults.constFind(content.cobId);
    if (found == m_awaitingResults.cend())
        return;
    const Entry awaiting = found.value();
    const Export::CobLifeState state = deliver(awaiting.callback, code, content);
    // The callback may have reached the registries itself (a reconnection, a new request).
    const auto now = m_awaitingResults.find(content.cobId);
    if ((state == Export::Finished || content.isLast) && now != m_awaitingResults.end()
        && now->serial == awaiting.serial)
        m_awaitingResults.erase(now);
}

void KCommunicatorIpc::onListenNotice(const QJsonObject &event, const QString *data)
{
    const QString actionText = event.value(QLatin1String("__action__")).toString();
    ChannelAbility::Operation operation;
    if (!Protocol::recordFromText(actionText, &operation)) {
        log(2, kBroadcastTag, QStringLiteral("listen notice without a readable __action__: ") + actionText.left(64));
        return;
    }
    CommunicationContent content;
    int code = event.value(QLatin1String("__code__")).toInt(0);
    // Undecodable content reaches the listeners as code 4, as the dispatch rule has it.
    if (!readReturn(event.value(QLatin1String("__return__")), data, &content) && code == Error::Success)
        code = Error::BadAnswer;
    // Listeners run in registration order; those that answer Finished are dropped afterwards.
    const QList<Entry> listeners = m_listeners.value(operation);
    QList<quint64> finished;
    for (const Entry &listener : listeners) {
        if (deliver(listener.callback, code, content) == Export::Finished)
            finished.append(listener.serial);
    }
    if (finished.isEmpty())
        return;
    const auto list = m_listeners.find(operation);
    if (list == m_listeners.end())
        return;
    list->erase(std::remove_if(list->begin(), list->end(),
                               [&](const Entry &e) { return finished.contains(e.serial); }),
                list->end());
    if (list->isEmpty())
        m_listeners.erase(list);
}

} // namespace Business
} // namespace SoftBus
