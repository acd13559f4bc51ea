// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbusmessages.h"

#include "kcirrafederation.h"
#include "kcirrapeer.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QMap>
#include <QUuid>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {

QString compact(const QJsonArray &a)
{
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

QString waitKey(const QString &userId, const QString &deviceId)
{
    return userId + QLatin1Char('/') + deviceId;
}

} // namespace

KCirraSoftBusMessages::KCirraSoftBusMessages(KCirraSoftBus *bus)
    : QObject(bus)
    , m_bus(bus)
{
    connect(bus, &KCirraSoftBus::listened, this, &KCirraSoftBusMessages::onListened);
    connect(bus, &KCirraSoftBus::keyedOpened, this, &KCirraSoftBusMessages::onKeyedOpened);
    connect(bus->service(), &KCirraService::shellClosed, this, [this](KCirraPeer *peer) { m_unread.remove(peer); });
    if (KCirraFederation *federation = bus->service()->federation())
        connect(federation, &KCirraFederation::messageReceived, this, &KCirraSoftBusMessages::deliver);
}

KCirraSoftBus::Answer KCirraSoftBusMessages::send(KCirraPeer *from, const QJsonObject &request)
{
    const QJsonObject to = request.value(QStringLiteral("to")).toObject();
    const QString deviceId = to.value(QStringLiteral("device_id")).toString();
    const QString userId = to.value(QStringLiteral("user_id")).toString();
    const QString content = request.value(QStringLiteral("content")).toString();
    const QString action = request.value(QStringLiteral("action")).toString();
    if (!userId.isEmpty() && userId != from->userId())
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::Forbidden, QStringLiteral("forbidden")),
                {},
                {}};
    if (!KCirraPaths::isSafeId(deviceId) || content.size() > kMaxContent || action.size() > 256)
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::BadArgument, QStringLiteral("bad argument")),
                {},
                {}};
    const KCirraUser &user = m_bus->service()->users().user(from->userId());
    const auto target = user.devices.constFind(deviceId);
    const auto sender = user.devices.constFind(QString::fromStdString(from->hello().deviceId));
    if (target == user.devices.cend() || sender == user.devices.cend())
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::NotFound, QStringLiteral("device not found")),
                {},
                {}};

    const QJsonObject message{{QStringLiteral("msg_id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                              {QStringLiteral("from"), KCirraSoftBus::identify(user.id, *sender)},
                              {QStringLiteral("action"), action},
                              {QStringLiteral("content"), content},
                              {QStringLiteral("time"), double(QDateTime::currentMSecsSinceEpoch())}};
    const QString userOf = user.id;
    bool delivered = false;
    KCirraFederation *federation = m_bus->service()->federation();
    if (federation && federation->sendMessage(userOf, deviceId, message))
        delivered = federation->isRemoteOnline(userOf, deviceId); // else its machine keeps it waiting
    else
        delivered = deliver(userOf, deviceId, message);
    return {KCirraSoftBus::Success,
            KCirraSoftBus::response(KCirraSoftBus::Success,
                                    delivered ? QStringLiteral("delivered") : QStringLiteral("queued"), message),
            {},
            {}};
}

bool KCirraSoftBusMessages::deliver(const QString &userId, const QString &deviceId, const QJsonObject &message)
{
    bool delivered = false;
    const QList<KCirraPeer *> peers = m_bus->peersOf(userId, deviceId);
    for (KCirraPeer *peer : peers)
        delivered = m_bus->notifyOperation(peer, 1, 6, compact(QJsonArray{message})) || delivered;
    if (!delivered) {
        QJsonArray &waiting = m_waiting[waitKey(userId, deviceId)];
        if (waiting.size() >= kMaxQueued) {
            qCWarning(lcCirrad).noquote()
                << "messages for" << deviceId << "of" << userId << ": queue full, the oldest is dropped";
            waiting.removeFirst();
        }
        waiting.append(message);
    }
    return delivered;
}

void KCirraSoftBusMessages::onListened(KCirraPeer *peer, int ability, int action)
{
    if (ability != 1 || action != 6)
        return;
    const QString key = waitKey(peer->userId(), QString::fromStdString(peer->hello().deviceId));
    const QJsonArray waiting = m_waiting.take(key);
    if (waiting.isEmpty())
        return;
    // One count per sender and action, in the order their first message came.
    QList<QString> order;
    QMap<QString, QJsonObject> counts;
    for (const QJsonValue &v : waiting) {
        const QJsonObject m = v.toObject();
        const QJsonObject from = m.value(QStringLiteral("from")).toObject();
        const QString group = from.value(QStringLiteral("device_id")).toString() + QLatin1Char('\n')
                              + m.value(QStringLiteral("action")).toString();
        if (!counts.contains(group)) {
            order.append(group);
            counts.insert(group, {{QStringLiteral("action"), m.value(QStringLiteral("action"))},
                                  {QStringLiteral("from"), from},
                                  {QStringLiteral("unread_num"), 0}});
        }
        QJsonObject &item = counts[group];
        item.insert(QStringLiteral("unread_num"), item.value(QStringLiteral("unread_num")).toInt() + 1);
    }
    QJsonArray items;
    for (const QString &group : qAsConst(order))
        items.append(counts.value(group));
    m_unread.insert(peer, items);
    sendUnread(peer, items);
    m_bus->notifyOperation(peer, 1, 6, compact(waiting));
}

void KCirraSoftBusMessages::onKeyedOpened(KCirraPeer *peer, int ability, int action, const QString &key)
{
    if (ability == 1 && action == 13 && m_unread.contains(peer))
        sendUnread(peer, m_unread.value(peer), key);
}

void KCirraSoftBusMessages::sendUnread(KCirraPeer *peer, const QJsonArray &items, const QString &onlyKey)
{
    for (const QJsonValue &v : items) {
        const QJsonObject item = v.toObject();
        const QString action = item.value(QStringLiteral("action")).toString();
        const QString text = QString::fromUtf8(QJsonDocument(item).toJson(QJsonDocument::Compact));
        m_bus->notifyKeyed(
            peer, 1, 13,
            [&](const QString &key) {
                return (onlyKey.isNull() || key == onlyKey) && (key.isEmpty() || key == action);
            },
            text);
    }
}
