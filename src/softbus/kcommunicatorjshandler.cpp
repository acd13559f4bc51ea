// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcommunicatorjshandler.h"

#include "callbacktothreadof.h"
#include "kcommunicatorproxy.h"
#include "ksoftbusjsargs.h"
#include "ksoftbuspagelives.h"
#include "ksoftbuspage.h"

#include <kzelvaworkareahelper.h>

#include <kxwebviewjscontext.h>

namespace SoftBus {
namespace Business {
namespace JsApiHander {

namespace {

QVariantMap argsOf(const KxWebViewJSContext &context)
{
    return parseContextArgs(context, true);
}

template<class T>
QJsonValue pageOf(const T &record)
{
    return record.toJson();
}

QJsonValue pageOf(bool flag)
{
    return flag;
}

KCommunicatorProxy *proxy()
{
    return KCommunicatorProxy::instance();
}

} // namespace

KCommunicatorJSHandler::KCommunicatorJSHandler(QObject *parent, KxWebViewAsynJSObject *jsObject)
    : KxWebViewJSApiHandler(parent, jsObject)
    , m_pages(new KSoftBusPageLives(jsObject, this))
{
}

template<class T>
auto KCommunicatorJSHandler::answerLater(const KxWebViewJSContext &context)
{
    return callbackToThreadOf(this, [this, context](int code, const T &answer) {
        KSoftBusJsArgs::publish(jsObject(), context, code,
                                code == Error::Success ? QVariant(pageOf(answer)) : QVariant());
    });
}

template<class T>
auto KCommunicatorJSHandler::eventListener(const char *event)
{
    // Bound to the page that listens: once it went or loaded again, its listener falls away.
    return callbackToThreadOf(this, [this, event, page = m_pages->callingPage()](int code, const T &notice) {
        if (page.expired())
            return Export::Finished;
        KSoftBusJsArgs::raise(jsObject(), event, KSoftBusPage::event(code, pageOf(notice), true));
        return Export::Alive;
    });
}

void KCommunicatorJSHandler::refuse(KxWebViewJSContext &context)
{
    KSoftBusJsArgs::answer(context, Error::BadArgument);
}

// ---- device queries -------------------------------------------------------------

void KCommunicatorJSHandler::isDeviceOnline(KxWebViewJSContext &context)
{
    proxy()->isDeviceOnline(answerLater<bool>(context));
}

void KCommunicatorJSHandler::appendDeviceAbility(KxWebViewJSContext &context)
{
    QJsonObject page;
    Protocol::Ability ability;
    if (!KSoftBusJsArgs::object(argsOf(context), "ability", &page) || !Protocol::Ability::fromJson(page, &ability)
        || ability.name.isEmpty() || ability.name.size() > KSoftBusJsArgs::kMaxKey)
        return refuse(context);
    proxy()->appendDeviceAbility(ability, answerLater<Protocol::DeviceResponse<Protocol::LastModifiedTime>>(context));
}

void KCommunicatorJSHandler::getDeviceInfoList(KxWebViewJSContext &context)
{
    int status = 0;
    if (!KSoftBusJsArgs::integer(argsOf(context), "deviceStatus", 0, &status))
        return refuse(context);
    proxy()->getDeviceInfoList(Protocol::DeviceStatus{status},
                               answerLater<Protocol::DeviceResponse<Protocol::DeviceInfoList>>(context));
}

void KCommunicatorJSHandler::getDeviceInfo(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::getCurrentDeviceInfo(KxWebViewJSContext &context)
{
    proxy()->getCurrentDeviceInfo(answerLater<Protocol::DeviceResponse<Protocol::DeviceInfo>>(context));
}

void KCommunicatorJSHandler::renameDevice(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::deleteDeviceInfo(KxWebViewJSContext &context)
{
    refuse(context);
}

// ---- messages ---------------------------------------------------------------------

void KCommunicatorJSHandler::sendMsg(KxWebViewJSContext &context)
{
    QJsonObject page;
    Protocol::SendMsgReq request;
    if (!KSoftBusJsArgs::object(argsOf(context), "req", &page) || !Protocol::SendMsgReq::fromJson(page, &request)
        || request.to.deviceId.isEmpty() || request.to.deviceId.size() > KSoftBusJsArgs::kMaxKey
        || request.action.size() > KSoftBusJsArgs::kMaxKey)
        return refuse(context);
    proxy()->sendMsg(request, answerLater<Protocol::DeviceResponse<Protocol::KMsg>>(context));
}

void KCommunicatorJSHandler::handleMsg(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::listenCurrentDeviceOnlineChange(KxWebViewJSContext &context)
{
    proxy()->listenCurrentDeviceOnlineChange(eventListener<bool>(KSoftBusPage::kEventCurrentDeviceOnlineChange));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::listenMsg(KxWebViewJSContext &context)
{
    QString action;
    if (!KSoftBusJsArgs::text(argsOf(context), "action", KSoftBusJsArgs::kMaxKey, &action, true))
        return refuse(context);
    writeModuleLog(KzLogModule::kSoftBusBusiness, 0, QStringLiteral("KCommunicatorJSHandler::listenMsg : ") + action);
    proxy()->listenMsg(action.toStdString(), eventListener<Protocol::KMsg>(KSoftBusPage::kEventMsg));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::listenOfflineMsgNotice(KxWebViewJSContext &context)
{
    QString action;
    if (!KSoftBusJsArgs::text(argsOf(context), "action", KSoftBusJsArgs::kMaxKey, &action, true))
        return refuse(context);
    proxy()->listenOfflineMsgNotice(action.toStdString(),
                                    eventListener<Protocol::UnreadNumItem>(KSoftBusPage::kEventOfflineMsgNotice));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::listenDeviceInfoChange(KxWebViewJSContext &context)
{
    proxy()->listenDeviceInfoChange(eventListener<Protocol::NoticeStatus>(KSoftBusPage::kEventDeviceInfoChange));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::queryOfflineMsg(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::pingNearFieldDevice(KxWebViewJSContext &context)
{
    refuse(context);
}

// ---- file tasks -------------------------------------------------------------------

void KCommunicatorJSHandler::listenFileTaskInfo(KxWebViewJSContext &context)
{
    QString ownerId;
    if (!KSoftBusJsArgs::text(argsOf(context), "action", KSoftBusJsArgs::kMaxKey, &ownerId))
        return refuse(context);
    proxy()->listenFileTaskInfo(ownerId.toStdString(),
                                eventListener<Protocol::KFileTaskInfo>(KSoftBusPage::kEventFileTaskInfo));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::recoverTaskByOwnerId(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::taskControl(KxWebViewJSContext &context, int (*control)(const std::string &))
{
    QString ownerId;
    if (!KSoftBusJsArgs::text(argsOf(context), "ownerId", KSoftBusJsArgs::kMaxKey, &ownerId))
        return refuse(context);
    control(ownerId.toStdString());
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::resumeTaskByOwnerId(KxWebViewJSContext &context)
{
    taskControl(context, [](const std::string &id) { return proxy()->resumeTaskByOwnerId(id); });
}

void KCommunicatorJSHandler::pauseTaskByOwnerId(KxWebViewJSContext &context)
{
    taskControl(context, [](const std::string &id) { return proxy()->pauseTaskByOwnerId(id); });
}

void KCommunicatorJSHandler::cancelTaskByOwnerId(KxWebViewJSContext &context)
{
    taskControl(context, [](const std::string &id) { return proxy()->cancelTaskByOwnerId(id); });
}

// ---- discovery and raw transport --------------------------------------------------

void KCommunicatorJSHandler::discoverServiceSearch(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::listenDiscoverServiceSearch(KxWebViewJSContext &context)
{
    QString serviceName;
    if (!KSoftBusJsArgs::text(argsOf(context), "serviceName", KSoftBusJsArgs::kMaxKey, &serviceName))
        return refuse(context);
    proxy()->listenDiscoverServiceSearch(serviceName.toStdString(), eventListener<Protocol::DiscoverServiceInfoResult>(
                                                                        KSoftBusPage::kEventDiscoverService));
    KSoftBusJsArgs::answer(context, Error::Success);
}

void KCommunicatorJSHandler::send(KxWebViewJSContext &context)
{
    refuse(context);
}

void KCommunicatorJSHandler::listenMessage(KxWebViewJSContext &context)
{
    refuse(context);
}

} // namespace JsApiHander
} // namespace Business
} // namespace SoftBus
