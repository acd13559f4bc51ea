// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "deviceinfo.h"

namespace SoftBus {
namespace Business {
namespace Data {

QJsonObject DeviceInfo::toPage() const
{
    QJsonObject page = toJson();
    page.remove(QStringLiteral("ability_info"));
    page.remove(QStringLiteral("ext"));
    page.insert(QStringLiteral("local"), local);
    return page;
}

} // namespace Data
} // namespace Business
} // namespace SoftBus
