// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kdevicejshandler.h"

#include "callbacktothreadof.h"
#include "kdevicemanager.h"
#include "ksoftbusjsargs.h"
#include "ksoftbuspagelives.h"
#include "ksoftbuspage.h"

#include <kxwebviewjscontext.h>

#include <QJsonArray>

namespace SoftBus {
namespace Business {
namespace JsApiHander {

namespace {

// The device named by the call's top-level keys; false when one is not a bounded string or the id is empty.
bool deviceOf(const KxWebViewJSContext &context, Data::DeviceIdentify *out, QString *name = nullptr)
{
    const QVariantMap args = parseContextArgs(context, true);
    const int cap = KSoftBusJsArgs::kMaxKey;
    Data::DeviceIdentify device;
    QString newName;
    if (!KSoftBusJsArgs::text(args, "device_id", cap, &device.deviceId)
        || (args.contains(QStringLiteral("app_id")) && !KSoftBusJsArgs::text(args, "app_id", cap, &device.appId, true))
        || (args.contains(QStringLiteral("user_id"))
            && !KSoftBusJsArgs::text(args, "user_id", cap, &device.userId, true))
        || (args.contains(QStringLiteral("device_name"))
            && !KSoftBusJsArgs::text(args, "device_name", cap, &newName, true)))
        return false;
    device.deviceName = newName;
    *out = device;
    if (name)
        *name = newName;
    return true;
}

} // namespace

KDeviceJSHandler::KDeviceJSHandler(QObject *parent, KxWebViewAsynJSObject *jsObject)
    : KxWebViewJSApiHandler(parent, jsObject)
    , m_devices(KDeviceManager::create())
    , m_pages(new KSoftBusPageLives(jsObject, this))
{
}

KDeviceJSHandler::~KDeviceJSHandler() = default;

void KDeviceJSHandler::getDeviceInfoList(KxWebViewJSContext &context)
{
    m_devices->getDeviceInfoList(
        callbackToThreadOf(this, [this, context](bool ok, const QList<Data::DeviceInfo> &devices) {
            QJsonArray page;
            for (const Data::DeviceInfo &d : devices)
                page.append(d.toPage());
            KSoftBusJsArgs::publish(jsObject(), context, ok ? Error::Success : Error::IpcFailed, page.toVariantList());
        }));
}

void KDeviceJSHandler::getDeviceInfo(KxWebViewJSContext &context)
{
    Data::DeviceIdentify device;
    if (!deviceOf(context, &device))
        return KSoftBusJsArgs::answer(context, Error::BadArgument);
    m_devices->getDevice(device, callbackToThreadOf(this, [this, context](bool ok, const Data::DeviceInfo &info) {
                             KSoftBusJsArgs::publish(jsObject(), context, ok ? Error::Success : Error::IpcFailed,
                                                     ok ? info.toPage().toVariantMap() : QVariant());
                         }));
}

void KDeviceJSHandler::getCurrentDeviceInfo(KxWebViewJSContext &context)
{
    m_devices->getCurrentDevice(callbackToThreadOf(this, [this, context](bool ok, const Data::DeviceInfo &info) {
        KSoftBusJsArgs::publish(jsObject(), context, ok ? Error::Success : Error::IpcFailed,
                                ok ? info.toPage().toVariantMap() : QVariant());
    }));
}

void KDeviceJSHandler::renameDevice(KxWebViewJSContext &context)
{
    Data::DeviceIdentify device;
    QString newName;
    if (!deviceOf(context, &device, &newName) || newName.trimmed().isEmpty())
        return KSoftBusJsArgs::answer(context, Error::BadArgument);
    m_devices->renameDevice(device, newName,
                            callbackToThreadOf(this, [this, context, device](bool ok, const QString &) {
                                KSoftBusJsArgs::publish(jsObject(), context, ok ? Error::Success : Error::IpcFailed,
                                                        device.toPage().toVariantMap());
                            }));
}

void KDeviceJSHandler::listenCurrentDeviceOnlineChange(KxWebViewJSContext &context)
{
    m_devices->listenCurrentDeviceOnlineChange([this, page = m_pages->callingPage()](bool ok, bool online) {
        if (page.expired())
            return;
        KSoftBusJsArgs::raise(jsObject(), KSoftBusPage::kEventCurrentDeviceOnlineChange,
                              KSoftBusPage::event(ok ? Error::Success : Error::IpcFailed,
                                                  QJsonObject{{QStringLiteral("online"), online}}, false));
    });
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KDeviceJSHandler::listenDeviceInfoChange(KxWebViewJSContext &context)
{
    m_devices->listenDeviceInfoChange([this, page = m_pages->callingPage()](bool ok, const Data::DeviceInfo &device) {
        if (page.expired())
            return;
        KSoftBusJsArgs::raise(jsObject(), KSoftBusPage::kEventDeviceInfoChange,
                              KSoftBusPage::event(ok ? Error::Success : Error::IpcFailed, device.toPage(), false));
    });
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KDeviceJSHandler::deleteDeviceInfo(KxWebViewJSContext &context)
{
    Data::DeviceIdentify device;
    if (!deviceOf(context, &device))
        return KSoftBusJsArgs::answer(context, Error::BadArgument);
    m_devices->deleteDeviceInfo(device, callbackToThreadOf(this, [this, context](bool ok) {
                                    KSoftBusJsArgs::publish(jsObject(), context,
                                                            ok ? Error::Success : Error::IpcFailed);
                                }));
}

} // namespace JsApiHander
} // namespace Business
} // namespace SoftBus
