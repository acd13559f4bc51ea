// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "data/deviceidentify.h"
#include "protocol/deviceinfo.h"

/*
 * A device as the web page sees it: the protocol's DeviceInfo plus whether
 * it is the device this program runs on. Page form: "client_info",
 * "identify_info", "net_info", "os_info", "register_time",
 * "last_modified_time", "status", "local" (abilities and ext stay off the page).
 *
 * Plain value; any thread.
 */
namespace SoftBus {
namespace Business {
namespace Data {

struct DeviceInfo : Protocol::DeviceInfo
{
    DeviceInfo() = default;
    DeviceInfo(const Protocol::DeviceInfo &info, bool isLocal)
        : Protocol::DeviceInfo(info)
        , local(isLocal)
    {
    }

    DeviceIdentify pageIdentify() const { return DeviceIdentify(identify); }
    QJsonObject toPage() const;

    bool local = false;
};

} // namespace Data
} // namespace Business
} // namespace SoftBus
