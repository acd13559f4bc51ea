// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "deviceidentify.h"

namespace SoftBus {
namespace Business {
namespace Data {

DeviceIdentify DeviceIdentify::fromPage(const QVariantMap &page)
{
    DeviceIdentify identify;
    identify.appId = page.value(QStringLiteral("app_id")).toString();
    identify.userId = page.value(QStringLiteral("user_id")).toString();
    identify.deviceId = page.value(QStringLiteral("device_id")).toString();
    identify.deviceName = page.value(QStringLiteral("device_name")).toString();
    return identify;
}

} // namespace Data
} // namespace Business
} // namespace SoftBus
