// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvadeviceonlinepart.h"

#include "callbacktothreadof.h"
#include "kcommunicatorproxy.h"

KZelvaDeviceOnlinePart::KZelvaDeviceOnlinePart(QObject *manager)
    : QObject(manager)
{
}

void KZelvaDeviceOnlinePart::listenCurrentDeviceOnlineChange(QObject *receiver, Listener listener)
{
    using SoftBus::Business::callbackToThreadOf;
    SoftBus::Business::KCommunicatorProxy *softbus = SoftBus::Business::KCommunicatorProxy::instance();
    const auto onOnline = [listener](int code, bool online) { return listener(Error::Code(code), online); };
    if (!m_listening)
        m_listening = softbus->listenCurrentDeviceOnlineChange(callbackToThreadOf(receiver, onOnline)) == 0;
    softbus->isDeviceOnline(
        callbackToThreadOf(receiver, [onOnline](int code, bool online) { onOnline(code, online); }));
}
