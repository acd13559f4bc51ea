// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasoftbus.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

class KCirraTransfer;

/*
 * File tasks between the devices of a user. "cirraIpcCall" method
 * "sendFileToDevice" (argMap "path", "deviceId", "ownerId") starts a task:
 * the file's bytes move through KCirraTransfer into the target device's
 * received folder (the relay folder). KFileTaskInfo notices (5, 1) reach
 * the open (5, 1) requests of that owner id on both devices, progress at
 * most kNoticesPerSecond a second plus every state change. Resume (5, 3),
 * pause (5, 4) and cancel (5, 5) act on the user's unfinished tasks of an
 * owner id between chunks; answers are DeviceResponses (0, 404 no task,
 * 422 unusable owner id). A task whose receiver has no shell left waits
 * (state Waiting) and goes on when the device returns; a task whose sender
 * has no shell left fails ("sender_offline"). The receiving
 * device's shells get the transfer progress bubble. $KZELVA_RELAY_RATE
 * (bytes per second) slows transfers, as it does relays. A device of
 * another machine gets the file through the broker (KCirraFederationBytes):
 * the task runs on both machines under one id, the sender's notices here,
 * the receiver's notices and bubble there; a task waits while that device
 * is offline there, and a pause or resume on either machine holds both.
 *
 * Owned by KCirraSoftBus (Qt parent); main thread.
 */
class KCirraSoftBusFileTasks : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxOwnerId = 256;
    static constexpr int kNoticesPerSecond = 10;
    // KFileTaskInfo "state".
    enum State {
        Waiting = 0,
        Running = 1,
        Paused = 2,
        Finished = 3,
        Failed = 4,
        Cancelled = 5
    };

    explicit KCirraSoftBusFileTasks(KCirraSoftBus *bus);

    KCirraSoftBus::Answer control(KCirraPeer *peer, int action, const QString &ownerId);

private:
    struct Task
    {
        QString id;
        QString userId;
        QString ownerId;
        QString fileName;
        QString sourceDevice;
        QString targetDevice;
        QPointer<KCirraTransfer> transfer;
        int state = Running;
        bool userPaused = false;
        qint64 lastNoticeMs = 0;
        QString reason; // the transfer's failure word, or "receiver_offline" while it waits
    };

    qoz::cirra::CirraIpcResult start(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    // A file from another machine for a device of this one.
    bool receive(const QJsonObject &open, KCirraTransfer *transfer);
    void watch(const QString &taskId, KCirraTransfer *transfer);
    void announce(Task &task);
    void onDevice(const QString &userId, const QString &deviceId, bool online);
    // The target device has a shell here, or is online on its machine.
    bool reachable(const Task &task) const;
    // Pause (5, 4) or resume (5, 3) of one task, asked here or on the other machine.
    void setPaused(Task &task, bool paused);
    void setState(Task &task, int state);
    void notify(Task &task, bool force);
    void bubble(const Task &task, int pageAction, const QString &content);
    void onShell(KCirraPeer *peer, bool online);
    void onFinished(const QString &taskId, bool ok, const QString &error);

    KCirraSoftBus *m_bus;
    QHash<QString, Task> m_tasks;
    qint64 m_nextId = 0;
    qint64 m_rate = 0;
};
