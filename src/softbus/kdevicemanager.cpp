// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kdevicemanager.h"

#include "callbackiflive.h"
#include "kcommunicatorproxy.h"

namespace SoftBus {
namespace Business {

namespace {

bool sameDevice(const Protocol::Device &a, const Protocol::Device &b)
{
    return a.appId == b.appId && a.userId == b.userId && a.deviceId == b.deviceId;
}

// Asks for the current device, then reports `info` marked against it.
void markLocal(const Protocol::DeviceInfo &info, KDeviceManager::DeviceAnswer answer, bool ok)
{
    KCommunicatorProxy::instance()->getCurrentDeviceInfo(
        [info, answer, ok](int, const Protocol::DeviceResponse<Protocol::DeviceInfo> &current) {
            answer(ok, Data::DeviceInfo(info, sameDevice(info.identify, current.data.identify)));
        });
}

} // namespace

std::shared_ptr<KDeviceManager> KDeviceManager::create()
{
    return std::shared_ptr<KDeviceManager>(new KDeviceManager);
}

void KDeviceManager::getDeviceInfoList(ListAnswer answer)
{
    KCommunicatorProxy::instance()->getDeviceInfoList(
        Protocol::DeviceStatus{0}, [answer](int code, const Protocol::DeviceResponse<Protocol::DeviceInfoList> &list) {
            if (code != Error::Success) {
                answer(false, {});
                return;
            }
            const QList<Protocol::DeviceInfo> devices = list.data.devices;
            // Whatever the current device's answer, every listed device is reported.
            KCommunicatorProxy::instance()->getCurrentDeviceInfo(
                [answer, devices](int, const Protocol::DeviceResponse<Protocol::DeviceInfo> &current) {
                    QList<Data::DeviceInfo> page;
                    page.reserve(devices.size());
                    for (const Protocol::DeviceInfo &d : devices)
                        page.append(Data::DeviceInfo(d, sameDevice(d.identify, current.data.identify)));
                    answer(true, page);
                });
        });
}

void KDeviceManager::getDevice(const Data::DeviceIdentify &identify, DeviceAnswer answer)
{
    KCommunicatorProxy::instance()->getDeviceInfo(
        identify, [answer](int code, const Protocol::DeviceResponse<Protocol::DeviceInfo> &device) {
            const bool ok = code == Error::Success && device.code == Error::Success;
            markLocal(device.data, answer, ok);
        });
}

void KDeviceManager::getCurrentDevice(DeviceAnswer answer)
{
    KCommunicatorProxy::instance()->getCurrentDeviceInfo(
        [answer](int code, const Protocol::DeviceResponse<Protocol::DeviceInfo> &device) {
            answer(code == Error::Success && device.code == Error::Success, Data::DeviceInfo(device.data, true));
        });
}

void KDeviceManager::renameDevice(const Data::DeviceIdentify &identify, const QString &newName,
                                  std::function<void(bool ok, const QString &time)> answer)
{
    KCommunicatorProxy::instance()->renameDevice(
        identify, newName.toStdString(),
        [answer](int code, const Protocol::DeviceResponse<Protocol::LastModifiedTime> &changed) {
            answer(code == Error::Success && changed.code == Error::Success, QString::number(changed.data.time));
        });
}

void KDeviceManager::deleteDeviceInfo(const Data::DeviceIdentify &identify, std::function<void(bool ok)> answer)
{
    KCommunicatorProxy::instance()->deleteDeviceInfo(
        identify, [answer](int code, const Protocol::DeviceResponse<Protocol::LastModifiedTime> &changed) {
            answer(code == Error::Success && changed.code == Error::Success);
        });
}

bool KDeviceManager::listenCurrentDeviceOnlineChange(OnlineListener listener)
{
    if (!listener)
        return false;
    if (m_onlineListeners.empty()) {
        const std::weak_ptr<KDeviceManager> weak = weak_from_this();
        KCommunicatorProxy::instance()->listenCurrentDeviceOnlineChange(
            callbackIfLive(weak, [weak](int code, bool online) {
                if (const auto self = weak.lock()) {
                    const auto listeners = self->m_onlineListeners;
                    for (const OnlineListener &l : listeners)
                        l(code == Error::Success, online);
                }
            }));
    }
    m_onlineListeners.push_back(std::move(listener));
    return true;
}

bool KDeviceManager::listenDeviceInfoChange(DeviceListener listener)
{
    if (!listener)
        return false;
    if (m_deviceListeners.empty()) {
        const std::weak_ptr<KDeviceManager> weak = weak_from_this();
        KCommunicatorProxy::instance()->listenDeviceInfoChange(
            callbackIfLive(weak, [weak](int code, const KStatusMsg &status) {
                const auto self = weak.lock();
                if (self && code == Error::Success)
                    self->onDeviceInfoChange(status);
            }));
    }
    m_deviceListeners.push_back(std::move(listener));
    return true;
}

void KDeviceManager::onDeviceInfoChange(const KStatusMsg &status)
{
    // The notice names the device and its state; the report is a page device
    // with that identity, status and change time, marked against this device.
    Protocol::DeviceInfo info;
    info.identify = status.device;
    info.status = status.status;
    info.lastModifiedTime = status.lastModifiedTime;
    const std::weak_ptr<KDeviceManager> weak = weak_from_this();
    markLocal(
        info,
        [weak](bool ok, const Data::DeviceInfo &device) {
            const auto self = weak.lock();
            if (!self)
                return;
            const auto listeners = self->m_deviceListeners;
            for (const DeviceListener &l : listeners)
                l(ok, device);
        },
        true);
}

} // namespace Business
} // namespace SoftBus
