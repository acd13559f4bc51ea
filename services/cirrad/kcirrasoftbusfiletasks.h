// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasoftbus.h"

#include <QObject>

/*
 * File-task control of the SoftBus service: resume (5, 3), pause (5, 4) and
 * cancel (5, 5) by owner id (the request's data). Answers a DeviceResponse
 * whose code is 0, 404 for an owner id without a task of the user, or 422
 * for an unusable owner id.
 *
 * Owned by KCirraSoftBus (Qt parent); main thread.
 */
class KCirraSoftBusFileTasks : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxOwnerId = 256;

    explicit KCirraSoftBusFileTasks(KCirraSoftBus *bus);

    KCirraSoftBus::Answer control(KCirraPeer *peer, int action, const QString &ownerId);

private:
    KCirraSoftBus *m_bus;
};
