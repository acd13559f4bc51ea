// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "protocol/noticestatus.h"

#include <QObject>

/*
 * A signal source for device-state changes: the online state of this device
 * and the status notices of the user's devices (KStatusMsg is the notice of
 * operation (1, 3)). Connect() starts listening through the communicator
 * proxy; the listeners fall away when this object is destroyed.
 *
 * Owner: its Qt parent; GUI thread.
 */
namespace SoftBus {
namespace Business {

using KStatusMsg = Protocol::NoticeStatus;

class KDeviceInfoListener : public QObject
{
    Q_OBJECT
public:
    explicit KDeviceInfoListener(QObject *parent = nullptr);

    // Registers the two listeners with the process-wide proxy once.
    void start();

Q_SIGNALS:
    void listenCurrentDeviceOnlineChange(bool online);
    void listenDeviceInfoChange(SoftBus::Business::KStatusMsg status);

private:
    bool m_started = false;
};

} // namespace Business
} // namespace SoftBus

Q_DECLARE_METATYPE(SoftBus::Business::KStatusMsg)
