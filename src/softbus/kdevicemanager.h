// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "data/deviceidentify.h"
#include "data/deviceinfo.h"
#include "kdeviceinfolistener.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

/*
 * The device layer of the device page API: device operations of the
 * communicator proxy in the page's records, success as a bool, and the
 * device this program runs on marked `local` (same app, user and device id
 * as the current device). Its own online and device-change listeners are
 * registered with the proxy once each, through callbackIfLive, so they fall
 * away when the manager is gone.
 *
 * Owned through a shared pointer (create()); GUI thread.
 */
namespace SoftBus {
namespace Business {

class KDeviceManager : public std::enable_shared_from_this<KDeviceManager>
{
public:
    using ListAnswer = std::function<void(bool ok, const QList<Data::DeviceInfo> &devices)>;
    using DeviceAnswer = std::function<void(bool ok, const Data::DeviceInfo &device)>;
    using OnlineListener = std::function<void(bool ok, bool online)>;
    using DeviceListener = std::function<void(bool ok, const Data::DeviceInfo &device)>;

    static std::shared_ptr<KDeviceManager> create();

    void getDeviceInfoList(ListAnswer answer);
    void getDevice(const Data::DeviceIdentify &identify, DeviceAnswer answer);
    void getCurrentDevice(DeviceAnswer answer);
    void renameDevice(const Data::DeviceIdentify &identify, const QString &newName,
                      std::function<void(bool ok, const QString &time)> answer);
    void deleteDeviceInfo(const Data::DeviceIdentify &identify, std::function<void(bool ok)> answer);
    bool listenCurrentDeviceOnlineChange(OnlineListener listener);
    bool listenDeviceInfoChange(DeviceListener listener);

private:
    KDeviceManager() = default;
    void onDeviceInfoChange(const KStatusMsg &status);

    std::vector<OnlineListener> m_onlineListeners;
    std::vector<DeviceListener> m_deviceListeners;
};

} // namespace Business
} // namespace SoftBus
