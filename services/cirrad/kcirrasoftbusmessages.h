// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasoftbus.h"

#include <QHash>
#include <QJsonArray>
#include <QObject>

/*
 * Messages between the devices of a user. A message (send on (1, 6), data
 * {"to", "action", "content"}) goes as a KMsg list on (1, 6) to every shell
 * of the target device that listens to (1, 6); when none does, it waits
 * (at most kMaxQueued per device, the oldest dropped with a log line). When
 * a shell of that device next listens to (1, 6), its open (1, 13) requests
 * get one UnreadNumItem per sender and action (the key of a (1, 13) request
 * is an action; an empty key takes every action), then the waiting
 * messages follow. A (1, 13) request opened after that still gets the
 * counts. Waiting messages live as long as the service.
 *
 * Owned by KCirraSoftBus (Qt parent); main thread.
 */
class KCirraSoftBusMessages : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxQueued = 1000;
    static constexpr int kMaxContent = 64 * 1024;

    explicit KCirraSoftBusMessages(KCirraSoftBus *bus);

    KCirraSoftBus::Answer send(KCirraPeer *from, const QJsonObject &request);

private:
    // To the device's listening shells here, else into its waiting list; true when a shell got it.
    bool deliver(const QString &userId, const QString &deviceId, const QJsonObject &message);
    void onListened(KCirraPeer *peer, int ability, int action);
    void onKeyedOpened(KCirraPeer *peer, int ability, int action, const QString &key);
    void sendUnread(KCirraPeer *peer, const QJsonArray &items, const QString &onlyKey = QString());

    KCirraSoftBus *m_bus;
    // "user/device" -> messages waiting for that device.
    QHash<QString, QJsonArray> m_waiting;
    // Unread counts a shell was told (or is to be told) since it came back.
    QHash<const KCirraPeer *, QJsonArray> m_unread;
};
