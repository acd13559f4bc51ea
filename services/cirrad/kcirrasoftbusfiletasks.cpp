// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbusfiletasks.h"

#include "kcirrapeer.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

KCirraSoftBusFileTasks::KCirraSoftBusFileTasks(KCirraSoftBus *bus)
    : QObject(bus)
    , m_bus(bus)
{
}

KCirraSoftBus::Answer KCirraSoftBusFileTasks::control(KCirraPeer *peer, int action, const QString &ownerId)
{
    if (action < 3 || action > 5)
        return {KCirraSoftBus::NotFound, {}, {}, {}};
    if (ownerId.isEmpty() || ownerId.size() > kMaxOwnerId || ownerId.contains(QChar(0))) {
        qCWarning(lcCirrad).noquote() << "file task control" << action << ": unusable owner id from"
                                      << peer->describe();
        return {KCirraSoftBus::Success,
                KCirraSoftBus::response(KCirraSoftBus::BadArgument, QStringLiteral("bad owner id")), {}, {}};
    }
    // The user's transfers of that owner id are what the transfer engine runs; without one there is nothing.
    qCInfo(lcCirrad).noquote() << "file task control" << action << ": no task of owner id" << ownerId.left(64);
    return {KCirraSoftBus::Success, KCirraSoftBus::response(KCirraSoftBus::NotFound, QStringLiteral("no such task")),
            {}, {}};
}
