// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kdeviceinfolistener.h"

#include "callbacktothreadof.h"
#include "kcommunicatorproxy.h"

namespace SoftBus {
namespace Business {

KDeviceInfoListener::KDeviceInfoListener(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<KStatusMsg>();
}

void KDeviceInfoListener::start()
{
    if (m_started)
        return;
    m_started = true;
    KCommunicatorProxy *proxy = KCommunicatorProxy::instance();
    proxy->listenCurrentDeviceOnlineChange(callbackToThreadOf(this, [this](int code, bool online) {
        if (code == Error::Success)
            Q_EMIT listenCurrentDeviceOnlineChange(online);
        return Export::Alive;
    }));
    proxy->listenDeviceInfoChange(callbackToThreadOf(this, [this](int code, const KStatusMsg &status) {
        if (code == Error::Success)
            Q_EMIT listenDeviceInfoChange(status);
        return Export::Alive;
    }));
}

} // namespace Business
} // namespace SoftBus
