// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

/*
 * What the SoftBus page handlers hand to their pages: the answer envelope of
 * a page method {"code", "success", "data"}, the payload of a page event
 * {"success", "data"[, "code"]} and the names of the events.
 *
 * "data" takes a JSON array or object as such and converts anything else as
 * a scalar; an invalid (absent) value gives null. An event's payload goes to
 * the page as the object itself (the bridge writes it once).
 *
 * Stateless; any thread.
 */
namespace SoftBus {
namespace Business {

class KSoftBusPage
{
public:
    static constexpr char kEventCurrentDeviceOnlineChange[] = "event.softbus.currentDeviceOnlineChange";
    static constexpr char kEventDeviceInfoChange[] = "event.softbus.deviceInfoChange";
    static constexpr char kEventMsg[] = "event.softbus.msg";
    static constexpr char kEventOfflineMsgNotice[] = "event.softbus.offlineMsgNotice";
    static constexpr char kEventFileTaskInfo[] = "event.softbus.fileTaskInfo";
    static constexpr char kEventDiscoverService[] = "event.softbus.discoverService";

    // {"code": code, "success": code == 0, "data": data}
    static QJsonObject answer(int code, const QVariant &data = QVariant());
    // {"success": code == 0, "data": data} and, with `withCode`, "code".
    static QJsonObject event(int code, const QJsonValue &data, bool withCode);
};

} // namespace Business
} // namespace SoftBus
