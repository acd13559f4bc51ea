// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewjsapihandler.h>

class KxWebViewJSContext;

/*
 * The full SoftBus surface for a page ("softbus.communicator"): device
 * queries, messages, offline-message, device, file-task and discovery
 * notices, file-task control. Arguments are read from the call's map;
 * an argument that does not read answers code 3 at once and the proxy is
 * not called. Asynchronous answers and events go out through the page
 * object; every callback is bound to this handler's thread and falls away
 * with it (callbackToThreadOf). Events carry "code".
 *
 * Owner: its Qt parent (the page API that registers it); GUI thread.
 */
namespace SoftBus {
namespace Business {
class KSoftBusPageLives;
namespace JsApiHander {

class KCommunicatorJSHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    KCommunicatorJSHandler(QObject *parent, KxWebViewAsynJSObject *jsObject);

public Q_SLOTS:
    void isDeviceOnline(KxWebViewJSContext &context);
    void appendDeviceAbility(KxWebViewJSContext &context);
    void getDeviceInfoList(KxWebViewJSContext &context);
    void getDeviceInfo(KxWebViewJSContext &context);
    void getCurrentDeviceInfo(KxWebViewJSContext &context);
    void renameDevice(KxWebViewJSContext &context);
    void deleteDeviceInfo(KxWebViewJSContext &context);
    void sendMsg(KxWebViewJSContext &context);
    void handleMsg(KxWebViewJSContext &context);
    void listenCurrentDeviceOnlineChange(KxWebViewJSContext &context);
    void listenMsg(KxWebViewJSContext &context);
    void listenOfflineMsgNotice(KxWebViewJSContext &context);
    void listenDeviceInfoChange(KxWebViewJSContext &context);
    void queryOfflineMsg(KxWebViewJSContext &context);
    void pingNearFieldDevice(KxWebViewJSContext &context);
    void listenFileTaskInfo(KxWebViewJSContext &context);
    void recoverTaskByOwnerId(KxWebViewJSContext &context);
    void resumeTaskByOwnerId(KxWebViewJSContext &context);
    void pauseTaskByOwnerId(KxWebViewJSContext &context);
    void cancelTaskByOwnerId(KxWebViewJSContext &context);
    void discoverServiceSearch(KxWebViewJSContext &context);
    void listenDiscoverServiceSearch(KxWebViewJSContext &context);
    void send(KxWebViewJSContext &context);
    void listenMessage(KxWebViewJSContext &context);

private:
    // Answers the kept context with (code, record as page object) on this handler's thread.
    template<class T>
    auto answerLater(const KxWebViewJSContext &context);
    // A listener raising `event` with (code, record as page object).
    template<class T>
    auto eventListener(const char *event);
    void refuse(KxWebViewJSContext &context);
    void taskControl(KxWebViewJSContext &context, int (*control)(const std::string &));

    KSoftBusPageLives *m_pages;
};

} // namespace JsApiHander
} // namespace Business
} // namespace SoftBus
