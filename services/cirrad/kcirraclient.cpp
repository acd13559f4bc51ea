// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraclient.h"

#include <kcirracodec.h>
#include <kcirraframereader.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>

#include <utility>

using namespace qoz::cirra;

KCirraClient::KCirraClient(const QString &socketPath)
    : m_socketPath(socketPath)
    , m_reader(std::make_unique<KCirraFrameReader>(KCirraCodec::kMaxFrameSize))
{
}

KCirraClient::~KCirraClient() = default;

bool KCirraClient::fail(const QString &error)
{
    m_error = error;
    return false;
}

bool KCirraClient::connectOnly(int timeoutMs)
{
    m_socket = std::make_unique<QLocalSocket>();
    m_reader = std::make_unique<KCirraFrameReader>(KCirraCodec::kMaxFrameSize);
    m_socket->connectToServer(m_socketPath);
    if (!m_socket->waitForConnected(timeoutMs))
        return fail(QStringLiteral("cannot connect to %1: %2").arg(m_socketPath, m_socket->errorString()));
    return true;
}

bool KCirraClient::open(const CirraHello &hello, int timeoutMs)
{
    if (!connectOnly(timeoutMs))
        return false;
    CirraFrame frame;
    frame.__set_hello(hello);
    QByteArray bytes;
    if (!KCirraCodec::encodeFrame(frame, &bytes) || !writeRaw(bytes))
        return fail(QStringLiteral("cannot send hello"));
    CirraFrame answer;
    if (!readFrame(&answer, timeoutMs))
        return false;
    if (!answer.__isset.hello)
        return fail(QStringLiteral("service did not answer with a hello"));
    m_serverHello = answer.hello;
    return true;
}

void KCirraClient::close()
{
    if (m_socket)
        m_socket->abort();
}

bool KCirraClient::isConnected() const
{
    return m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

bool KCirraClient::writeRaw(const QByteArray &bytes)
{
    if (!isConnected())
        return fail(QStringLiteral("not connected"));
    m_socket->write(bytes);
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(5000))
            return fail(QStringLiteral("write failed: %1").arg(m_socket->errorString()));
    }
    return true;
}

bool KCirraClient::sendCall(const QString &requestId, const QString &function, const KCirraRecord &record)
{
    CirraFrame frame;
    frame.__set_call(CirraCall());
    frame.call.requestId = requestId.toStdString();
    frame.call.functionName = function.toStdString();
    frame.call.recordType = record.typeName();
    if (!record.isNull() && !KCirraCodec::encode(*record.base(), &frame.call.record))
        return fail(QStringLiteral("cannot encode %1").arg(QLatin1String(record.typeName())));
    QByteArray bytes;
    if (!KCirraCodec::encodeFrame(frame, &bytes))
        return fail(QStringLiteral("cannot encode frame"));
    return writeRaw(bytes);
}

bool KCirraClient::readFrame(CirraFrame *frame, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        switch (m_reader->nextFrame(frame)) {
        case KCirraFrameReader::Status::Frame:
            return true;
        case KCirraFrameReader::Status::Error:
            return fail(m_reader->errorString());
        case KCirraFrameReader::Status::NeedMore:
            break;
        }
        if (!m_socket)
            return fail(QStringLiteral("not connected"));
        if (m_socket->bytesAvailable() == 0) {
            if (m_socket->state() != QLocalSocket::ConnectedState)
                return fail(QStringLiteral("disconnected"));
            if (deadline.hasExpired() || !m_socket->waitForReadyRead(int(deadline.remainingTime())))
                return fail(m_socket->state() == QLocalSocket::ConnectedState
                                ? QStringLiteral("timed out")
                                : QStringLiteral("disconnected"));
        }
        m_reader->append(m_socket->readAll());
    }
}

bool KCirraClient::call(const QString &function, const KCirraRecord &record, CirraReply *reply,
                        KCirraRecord *answer, int timeoutMs)
{
    const QString id = QStringLiteral("c%1").arg(++m_nextId);
    if (!sendCall(id, function, record))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        CirraFrame frame;
        if (!readFrame(&frame, int(qMax<qint64>(0, deadline.remainingTime()))))
            return false;
        if (frame.__isset.event) {
            m_events.append(frame.event);
            continue;
        }
        if (!frame.__isset.reply || frame.reply.requestId != id.toStdString())
            return fail(QStringLiteral("unexpected frame while waiting for %1").arg(id));
        *reply = frame.reply;
        if (answer && !reply->recordType.empty()) {
            *answer = KCirraRecords::create(QByteArray::fromStdString(reply->recordType));
            if (answer->isNull() || !KCirraCodec::decode(reply->record, answer->base()))
                return fail(QStringLiteral("bad answer record"));
        }
        return true;
    }
}

bool KCirraClient::waitForEvents(int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_events.size() < count) {
        CirraFrame frame;
        if (!readFrame(&frame, int(qMax<qint64>(0, deadline.remainingTime()))))
            return false;
        if (!frame.__isset.event)
            return fail(QStringLiteral("unexpected frame while waiting for events"));
        m_events.append(frame.event);
    }
    return true;
}

QList<CirraEvent> KCirraClient::takeEvents()
{
    return std::exchange(m_events, {});
}

bool KCirraClient::control(const QString &socketPath, const QString &method, const QMap<QString, QString> &args,
                           CirraIpcResult *result, QString *error, int timeoutMs)
{
    KCirraClient client(socketPath);
    CirraHello hello;
    hello.protocolVersion = KCirraRecords::kProtocolVersion;
    hello.appName = KCirraRecords::kControlAppName;
    hello.processId = QCoreApplication::applicationPid();
    CirraIpcArg arg;
    arg.method = method.toStdString();
    for (auto it = args.cbegin(); it != args.cend(); ++it)
        arg.argMap[it.key().toStdString()] = it.value().toStdString();
    CirraReply reply;
    KCirraRecord answer;
    if (!client.open(hello, timeoutMs)
        || !client.call(QLatin1String(KCirraRecords::kControl), KCirraRecord::make(arg), &reply, &answer, timeoutMs)) {
        *error = client.errorString();
        return false;
    }
    if (!reply.ok || !answer.as<CirraIpcResult>()) {
        *error = QString::fromStdString(reply.error);
        return false;
    }
    *result = *answer.as<CirraIpcResult>();
    return true;
}
