// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgeconnection.h"

#include "kxwebbridgelimits.h"
#include "kxweblog.h"
#include "kxwebviewjsdispatcher.h"

#include <kxwebviewasynjsobject.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Page call ids are JavaScript numbers; only whole numbers that survive a
// round trip through a double are accepted.
bool isUsableId(const QJsonValue &id)
{
    if (!id.isDouble())
        return false;
    const double value = id.toDouble();
    return std::isfinite(value) && value >= 0 && value <= 9007199254740991.0 && std::floor(value) == value;
}

QByteArray idText(const QJsonValue &id)
{
    return QByteArray::number(qint64(id.toDouble()));
}

// QString::fromUtf8(QByteArray) first looks for a NUL byte by byte, which
// cost more than the conversion itself on a long answer; JSON text has none.
QString fromUtf8(const QByteArray &json)
{
    return QString::fromUtf8(json.constData(), json.size());
}

quint64 nextPageId()
{
    static quint64 last = 0; // GUI thread only
    return ++last;
}

} // namespace

KxWebBridgeConnection::KxWebBridgeConnection(KxWebViewAsynJSObject *page, bool inView, QObject *parent)
    : QObject(parent)
    , m_page(page)
    , m_id(nextPageId())
    , m_maxLength(KxWebBridgeLimits::kMaxMessageBytes)
    , m_inView(inView)
{
    if (m_page) {
        m_page->attach(this);
        connect(m_page, &QObject::destroyed, this, &KxWebBridgeConnection::pageClosed);
    }
}

void KxWebBridgeConnection::pageClosed()
{
}

KxWebBridgeConnection::~KxWebBridgeConnection()
{
    if (m_page) {
        m_page->detach(this);
        Q_EMIT m_page->pageGone(m_id);
    }
}

void KxWebBridgeConnection::pageReloaded()
{
    const quint64 gone = m_id;
    m_id = nextPageId();
    if (m_page)
        Q_EMIT m_page->pageGone(gone);
}

void KxWebBridgeConnection::refuse(const QJsonValue &id, const QString &error)
{
    ++m_malformed;
    qCWarning(lcWeb, "page %s: malformed message: %s", m_page ? qUtf8Printable(m_page->objectName()) : "(gone)",
              qUtf8Printable(error));
    // Always answered, so the page learns of it: with the call's id when it has a usable one, else null.
    sendFailure(isUsableId(id) ? id : QJsonValue(QJsonValue::Null), KxWebViewJSAnswer::BadRequest, error);
}

void KxWebBridgeConnection::sendFailure(const QJsonValue &id, int status, const QString &error)
{
    flushEvents();
    const QJsonObject reply{{QStringLiteral("t"), QStringLiteral("reply")},
                            {QStringLiteral("id"), id},
                            {QStringLiteral("ok"), false},
                            {QStringLiteral("code"), KxWebViewJSAnswer::codeName(KxWebViewJSAnswer::Status(status))},
                            {QStringLiteral("error"), error}};
    sendText(fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact)));
}

void KxWebBridgeConnection::receiveText(const QString &text)
{
    if (text.size() > m_maxLength)
        return refuse(QJsonValue(), QStringLiteral("%1 characters exceed the limit of %2").arg(text.size()).arg(m_maxLength));
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (!document.isObject())
        return refuse(QJsonValue(), parseError.error != QJsonParseError::NoError
                                        ? QStringLiteral("not JSON: %1").arg(parseError.errorString())
                                        : QStringLiteral("not a JSON object"));
    const QJsonObject message = document.object();
    const QString type = message.value(QLatin1String("t")).toString();
    const QJsonValue id = message.value(QLatin1String("id"));

    if (type == QLatin1String("on")) {
        const QString event = message.value(QLatin1String("e")).toString();
        if (!KxWebViewJSDispatcher::isValidName(event, false))
            return refuse(id, QStringLiteral("bad event name"));
        if (m_events.size() >= KxWebBridgeLimits::kMaxSubscriptions && !m_events.contains(event))
            return refuse(id, QStringLiteral("too many event subscriptions"));
        m_events.insert(event);
        return;
    }
    if (type != QLatin1String("call"))
        return refuse(id, QStringLiteral("unknown message type"));
    if (!isUsableId(id))
        return refuse(id, QStringLiteral("call without a usable id"));
    const QJsonValue handler = message.value(QLatin1String("h"));
    const QJsonValue method = message.value(QLatin1String("m"));
    if (!handler.isString() || !method.isString())
        return refuse(id, QStringLiteral("handler and method must be strings"));
    if (!m_page) {
        // The page object closed while this client stayed; nobody will answer.
        qCInfo(lcWeb, "page call %s.%s after the page object was closed", qUtf8Printable(handler.toString().left(80)),
               qUtf8Printable(method.toString().left(80)));
        return sendFailure(id, KxWebViewJSAnswer::NoAnswer, QStringLiteral("the page was closed"));
    }

    QPointer<KxWebBridgeConnection> self(this);
    const QByteArray callId = idText(id);
    QPointer<KxWebViewAsynJSObject> page = m_page;
    const quint64 outerCaller = page->m_callingPage;
    page->m_callingPage = m_id;
    m_page->call(handler.toString(), method.toString(), message.value(QLatin1String("a")),
                 [self, callId](const KxWebViewJSAnswer &answer) {
                     if (!self)
                         return;
                     if (answer.isOk()) {
                         // The value is JSON text already; splice it in rather than parse it again.
                         static const char kHead[] = "{\"t\":\"reply\",\"id\":";
                         static const char kOk[] = ",\"ok\":true,\"v\":";
                         QByteArray reply;
                         reply.reserve(int(sizeof kHead + sizeof kOk) + callId.size() + answer.value.size() + 1);
                         reply.append(kHead).append(callId).append(kOk).append(answer.value).append('}');
                         self->flushEvents();
                         self->sendText(fromUtf8(reply));
                         return;
                     }
                     self->sendFailure(callId.toLongLong(), answer.status, answer.error);
                 },
                 text.size());
    if (page)
        page->m_callingPage = outerCaller;
}

bool KxWebBridgeConnection::queueEvent(const QString &eventName, const QByteArray &message)
{
    if (!m_events.contains(eventName))
        return false;
    if (m_queuedCount > 0 && m_queuedEvents.size() + message.size() > kMaxBatchBytes)
        flushEvents();
    if (m_queuedCount++ > 0)
        m_queuedEvents.append(',');
    m_queuedEvents.append(message);
    if (!m_flushPosted) {
        m_flushPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushPosted = false;
                flushEvents();
            },
            Qt::QueuedConnection);
    }
    return true;
}

void KxWebBridgeConnection::flushEvents()
{
    if (m_queuedCount == 0)
        return;
    static const char kHead[] = "{\"t\":\"batch\",\"m\":[";
    QByteArray text;
    if (m_queuedCount == 1)
        text = m_queuedEvents;
    else
        text.append(kHead).append(m_queuedEvents).append("]}");
    m_queuedEvents.clear();
    m_queuedCount = 0;
    sendText(fromUtf8(text));
}

void KxWebBridgeConnection::sendScript(const QString &code)
{
    flushEvents();
    const QJsonObject script{{QStringLiteral("t"), QStringLiteral("script")}, {QStringLiteral("c"), code}};
    sendText(fromUtf8(QJsonDocument(script).toJson(QJsonDocument::Compact)));
}
