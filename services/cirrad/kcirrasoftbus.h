// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrauserstore.h"

#include <kcirrarecords.h>

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>

class KCirraPeer;
class KCirraService;

/*
 * The device-communication ("SoftBus") service stand-in behind the
 * "cirraIpcCall" method "requestSoftBusCommunicator". argMap "__method__"
 * "send" takes a request ("content": the JSON text of a communication
 * content) and answers its cobId in resultMap "__return__"; the result
 * follows as a broadcast line to the calling shell only:
 *   act=broadcast&force=true&SoftBusEvent=<Base64 of
 *   {"__method__":"send","__return__":<content text>,"__code__":n}>
 * "listenMessage" ("operation": {"ability","action"}) registers the shell for
 * the notices of an operation, which arrive the same way with "__method__"
 * "listenMessage" and "__action__" (the operation's text).
 *
 * Answered from the per-user device registry: device list (2, 2), one
 * device (2, 3), delete (2, 4), rename (2, 7), this device (2, 8), online
 * (2, 9); device status notices (1, 3) when a device comes online, goes
 * offline, is renamed or deleted. Other operations answer code 404.
 *
 * Owned by KCirraService (Qt parent); main thread.
 */
class KCirraSoftBus : public QObject
{
    Q_OBJECT
public:
    explicit KCirraSoftBus(KCirraService *service);

private:
    // A result: its code, its data and the device notice it causes (if any).
    struct Answer
    {
        int code;
        QJsonObject data;
        QString notice;
        KCirraDevice changed;
    };

    qoz::cirra::CirraIpcResult request(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    Answer answer(KCirraPeer *peer, int ability, int action, const QJsonObject &request);
    Answer rename(KCirraPeer *peer, const QJsonObject &request);
    Answer remove(KCirraPeer *peer, const QJsonObject &request);
    void notifyStatus(const QString &userId, const KCirraDevice &device, const QString &action,
                      const KCirraPeer *closing = nullptr);
    void sendEvent(KCirraPeer *peer, const QJsonObject &event);
    KCirraPeer *peerOf(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;
    QJsonObject deviceRecord(const KCirraUser &user, const KCirraDevice &device) const;

    KCirraService *m_service;
    // Operations ("ability,action") each shell listens to.
    QHash<const KCirraPeer *, QSet<QString>> m_listens;
    qint64 m_nextCobId = 0;
};
