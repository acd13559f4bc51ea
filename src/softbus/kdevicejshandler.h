// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewjsapihandler.h>

#include <memory>

class KxWebViewJSContext;

/*
 * The device-only SoftBus surface for a page ("softbus.device"): the user's
 * devices in their page form, this device, rename and delete, online and
 * device-change events (events without "code"). Works through its own
 * KDeviceManager; device keys are read from the top level of the call's
 * map, and a device id that does not read answers code 3 at once.
 *
 * Owner: its Qt parent (the page API that registers it); GUI thread.
 */
namespace SoftBus {
namespace Business {

class KDeviceManager;
class KSoftBusPageLives;

namespace JsApiHander {

class KDeviceJSHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    KDeviceJSHandler(QObject *parent, KxWebViewAsynJSObject *jsObject);
    ~KDeviceJSHandler() override;

public Q_SLOTS:
    void getDeviceInfoList(KxWebViewJSContext &context);
    void getDeviceInfo(KxWebViewJSContext &context);
    void getCurrentDeviceInfo(KxWebViewJSContext &context);
    void renameDevice(KxWebViewJSContext &context);
    void listenCurrentDeviceOnlineChange(KxWebViewJSContext &context);
    void listenDeviceInfoChange(KxWebViewJSContext &context);
    void deleteDeviceInfo(KxWebViewJSContext &context);

private:
    std::shared_ptr<KDeviceManager> m_devices;
    KSoftBusPageLives *m_pages;
};

} // namespace JsApiHander
} // namespace Business
} // namespace SoftBus
