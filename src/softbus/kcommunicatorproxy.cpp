// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcommunicatorproxy.h"

#include "kcommunicatoripc.h"
#include "protocol/onlinestate.h"

#include <kzelvaworkareahelper.h>

#include <QTimer>

#include <algorithm>

namespace SoftBus {
namespace Business {

using Protocol::Internal::CommunicationContent;

namespace {

// (ability, action) of every operation the proxy uses.
namespace Op {
constexpr ChannelAbility::Operation StatusNotice{1, 3};
constexpr ChannelAbility::Operation Msg{1, 6};
constexpr ChannelAbility::Operation OfflineMsgNotice{1, 13};
constexpr ChannelAbility::Operation DeviceList{2, 2};
constexpr ChannelAbility::Operation DeviceInfo{2, 3};
constexpr ChannelAbility::Operation DeleteDevice{2, 4};
constexpr ChannelAbility::Operation AppendAbility{2, 5};
constexpr ChannelAbility::Operation RenameDevice{2, 7};
constexpr ChannelAbility::Operation CurrentDevice{2, 8};
constexpr ChannelAbility::Operation Online{2, 9};
constexpr ChannelAbility::Operation FileTaskInfo{5, 1};
constexpr int ResumeTask = 3;
constexpr int PauseTask = 4;
constexpr int CancelTask = 5;
constexpr int Discover = 7;
constexpr int StartSearch = 2;
constexpr int StopSearch = 3;
constexpr ChannelAbility::Operation DiscoverNotice{7, 4};
} // namespace Op

void log(int level, const QString &text)
{
    writeModuleLog(KzLogModule::kSoftBusBusiness, level, text);
}

QString keyText(const std::string &key)
{
    return QString::fromStdString(key);
}

} // namespace

KCommunicatorProxy *KCommunicatorProxy::instance()
{
    static KCommunicatorProxy proxy([] {
        log(0, QStringLiteral("create Business::KCommunicatorIpc"));
        return std::unique_ptr<IKCommunicator>(new KCommunicatorIpc);
    }());
    return &proxy;
}

KCommunicatorProxy::KCommunicatorProxy(std::unique_ptr<IKCommunicator> communicator)
    : m_communicator(std::move(communicator))
    , m_fileTasks(std::make_shared<FileTaskNotify>())
{
}

KCommunicatorProxy::~KCommunicatorProxy() = default;

int KCommunicatorProxy::request(ChannelAbility::Operation operation, const QString &data, ContentCallback answer)
{
    CommunicationContent content;
    content.operation = operation;
    content.data = data;
    return m_communicator->send(content, std::move(answer));
}

template<class T>
int KCommunicatorProxy::oneShot(ChannelAbility::Operation operation, const QString &data, Answer<T> answer)
{
    return request(operation, data, [answer = std::move(answer)](int code, const CommunicationContent &content) {
        T record;
        if (code == Error::Success && !Protocol::recordFromText(content.data, &record))
            code = Error::BadAnswer;
        if (answer)
            answer(code, code == Error::Success ? record : T());
        return Export::Finished;
    });
}

int KCommunicatorProxy::isDeviceOnline(Answer<bool> answer)
{
    return oneShot<Protocol::OnlineState>(Op::Online, QString(),
                                          [answer = std::move(answer)](int code, const Protocol::OnlineState &state) {
                                              if (answer)
                                                  answer(code, state.online);
                                          });
}

int KCommunicatorProxy::getDeviceInfoList(const Protocol::DeviceStatus &status,
                                          Answer<Protocol::DeviceResponse<Protocol::DeviceInfoList>> answer)
{
    return oneShot(Op::DeviceList, Protocol::recordToText(status), std::move(answer));
}

int KCommunicatorProxy::getDeviceInfo(const Protocol::Device &device, DeviceInfoAnswer answer)
{
    return oneShot(Op::DeviceInfo, Protocol::recordToText(device), std::move(answer));
}

int KCommunicatorProxy::deleteDeviceInfo(const Protocol::Device &device, ChangeAnswer answer)
{
    return oneShot(Op::DeleteDevice, Protocol::recordToText(device), std::move(answer));
}

int KCommunicatorProxy::doAppendDeviceAbility(const Protocol::Ability &ability, ChangeAnswer answer)
{
    return oneShot(Op::AppendAbility, Protocol::recordToText(ability), std::move(answer));
}

int KCommunicatorProxy::appendDeviceAbility(const Protocol::Ability &ability, ChangeAnswer answer)
{
    m_abilities.append(ability);
    return doAppendDeviceAbility(ability, std::move(answer));
}

int KCommunicatorProxy::renameDevice(const Protocol::Device &device, const std::string &newName, ChangeAnswer answer)
{
    Protocol::Device renamed = device;
    renamed.deviceName = QString::fromStdString(newName);
    return oneShot(Op::RenameDevice, Protocol::recordToText(renamed), std::move(answer));
}

int KCommunicatorProxy::getCurrentDeviceInfo(DeviceInfoAnswer answer)
{
    return oneShot(Op::CurrentDevice, QString(), std::move(answer));
}

int KCommunicatorProxy::sendMsg(const Protocol::SendMsgReq &request,
                                Answer<Protocol::DeviceResponse<Protocol::KMsg>> answer)
{
    return oneShot(Op::Msg, Protocol::recordToText(request), std::move(answer));
}

int KCommunicatorProxy::taskControl(int action, const std::string &ownerId)
{
    return request({Op::FileTaskInfo.ability, action}, keyText(ownerId),
                   [](int, const CommunicationContent &) { return Export::Finished; });
}

int KCommunicatorProxy::resumeTaskByOwnerId(const std::string &ownerId)
{
    return taskControl(Op::ResumeTask, ownerId);
}

int KCommunicatorProxy::pauseTaskByOwnerId(const std::string &ownerId)
{
    return taskControl(Op::PauseTask, ownerId);
}

int KCommunicatorProxy::cancelTaskByOwnerId(const std::string &ownerId)
{
    return taskControl(Op::CancelTask, ownerId);
}

int KCommunicatorProxy::discoverServiceSearch(const Protocol::DiscoverServiceInfo &info, Answer<quint64> answer)
{
    // A mode outside 0..3 names no action: the request goes to (0, 0) and the service refuses it.
    // A search lives in the service only as long as this connection: it is kept to be made again.
    if (info.mode == Op::StartSearch || info.mode == Op::StopSearch) {
        const auto same = [&info](const Protocol::DiscoverServiceInfo &s) { return s.serviceName == info.serviceName; };
        m_searches.erase(std::remove_if(m_searches.begin(), m_searches.end(), same), m_searches.end());
        if (info.mode == Op::StartSearch)
            m_searches.append(info);
    }
    const ChannelAbility::Operation operation = info.mode >= 0 && info.mode <= 3
                                                    ? ChannelAbility::Operation{Op::Discover, info.mode}
                                                    : ChannelAbility::Operation{0, 0};
    return oneShot<Protocol::LastModifiedTime>(
        operation, Protocol::recordToText(info),
        [answer = std::move(answer)](int code, const Protocol::LastModifiedTime &time) {
            if (answer)
                answer(code, time.time);
        });
}

// ---- standing listeners -----------------------------------------------------------

int KCommunicatorProxy::listenOperation(ChannelAbility::Operation operation, ContentCallback listener)
{
    const bool first = m_operationListeners.find(operation) == m_operationListeners.end();
    m_operationListeners[operation].append(std::move(listener));
    if (first)
        doListenMessage(operation);
    return 0;
}

int KCommunicatorProxy::doListenMessage(ChannelAbility::Operation operation)
{
    return m_communicator->listenMessage(operation, [this, operation](int code, const CommunicationContent &content) {
        const auto list = m_operationListeners.find(operation);
        if (list != m_operationListeners.end())
            list->second.notify(code, content);
        return Export::Alive;
    });
}

int KCommunicatorProxy::listenCurrentDeviceOnlineChange(Listener<bool> listener)
{
    // Every status notice asks afresh whether this device is online.
    auto state = std::make_shared<Export::CobLifeState>(Export::Alive);
    return listenOperation(Op::StatusNotice,
                           [this, listener = std::move(listener), state](int, const CommunicationContent &) {
                               if (*state == Export::Finished)
                                   return Export::Finished;
                               isDeviceOnline([listener, state](int code, bool online) {
                                   if (*state == Export::Alive)
                                       *state = listener(code, online);
                               });
                               return Export::Alive;
                           });
}

int KCommunicatorProxy::listenDeviceInfoChange(Listener<Protocol::NoticeStatus> listener)
{
    return listenOperation(Op::StatusNotice,
                           [listener = std::move(listener)](int code, const CommunicationContent &content) {
                               QList<Protocol::NoticeStatus> notices;
                               if (code == Error::Success && !Protocol::recordsFromText(content.data, &notices))
                                   return listener(Error::BadAnswer, Protocol::NoticeStatus());
                               if (code != Error::Success)
                                   return listener(code, Protocol::NoticeStatus());
                               // A listener whose owner is gone answers Finished and falls away.
                               Export::CobLifeState state = Export::Alive;
                               for (const Protocol::NoticeStatus &notice : qAsConst(notices)) {
                                   if (listener(code, notice) == Export::Finished)
                                       state = Export::Finished;
                               }
                               return state;
                           });
}

int KCommunicatorProxy::listenMsg(const std::string &key, Listener<Protocol::KMsg> listener)
{
    Q_UNUSED(key) // held by the caller's listener; messages are not filtered by it
    return listenOperation(Op::Msg, [listener = std::move(listener)](int code, const CommunicationContent &content) {
        QList<Protocol::KMsg> messages;
        if (code == Error::Success && !Protocol::recordsFromText(content.data, &messages))
            return listener(Error::BadAnswer, Protocol::KMsg());
        if (code != Error::Success)
            return listener(code, Protocol::KMsg());
        // A listener whose owner is gone answers Finished and falls away.
        Export::CobLifeState state = Export::Alive;
        for (const Protocol::KMsg &message : qAsConst(messages)) {
            if (listener(code, message) == Export::Finished)
                state = Export::Finished;
        }
        return state;
    });
}

// ---- keyed notices ----------------------------------------------------------------

int KCommunicatorProxy::listenOfflineMsgNotice(const std::string &key, Listener<Protocol::UnreadNumItem> listener)
{
    m_offlineNoticeListeners[key].append(std::move(listener));
    return doListenOfflineMsgNotice(key);
}

int KCommunicatorProxy::doListenOfflineMsgNotice(const std::string &key)
{
    return request(Op::OfflineMsgNotice, keyText(key), [this, key](int code, const CommunicationContent &content) {
        m_offlineNoticeListeners[key].notifyText(code, content.data);
        return Export::Alive;
    });
}

int KCommunicatorProxy::listenFileTaskInfo(const std::string &ownerId, Listener<Protocol::KFileTaskInfo> listener)
{
    m_fileTasks->append(ownerId, std::move(listener));
    return doListenFileTaskInfo(ownerId);
}

int KCommunicatorProxy::doListenFileTaskInfo(const std::string &ownerId)
{
    const std::weak_ptr<FileTaskNotify> weak = m_fileTasks;
    return request(Op::FileTaskInfo, keyText(ownerId), [weak, ownerId](int code, const CommunicationContent &content) {
        const std::shared_ptr<FileTaskNotify> notifier = weak.lock();
        if (!notifier)
            return Export::Alive;
        QTimer::singleShot(0, [notifier, code, content, ownerId] { notifier->nextNotify(code, content, ownerId); });
        return Export::Alive;
    });
}

int KCommunicatorProxy::listenDiscoverServiceSearch(const std::string &key,
                                                    Listener<Protocol::DiscoverServiceInfoResult> listener)
{
    m_discoverListeners[key].append(std::move(listener));
    return doListenDiscoverNotice();
}

int KCommunicatorProxy::doListenDiscoverNotice()
{
    if (m_operationListeners.find(Op::DiscoverNotice) != m_operationListeners.end())
        return 0;
    // A result goes to the listeners under the service name it carries.
    return listenOperation(Op::DiscoverNotice, [this](int code, const CommunicationContent &content) {
        Protocol::DiscoverServiceInfoResult result;
        if (code == Error::Success && !Protocol::recordFromText(content.data, &result)) {
            log(2, QStringLiteral("KCommunicatorProxy::doListenDiscoverNotice : unreadable result ")
                       + content.data.left(128));
            return Export::Alive;
        }
        if (code != Error::Success) {
            for (auto &listeners : m_discoverListeners)
                listeners.second.notify(code, Protocol::DiscoverServiceInfoResult());
            return Export::Alive;
        }
        const auto listeners = m_discoverListeners.find(result.serviceName.toStdString());
        if (listeners != m_discoverListeners.end())
            listeners->second.notify(code, result);
        return Export::Alive;
    });
}

// ---- reconnection -----------------------------------------------------------------

void KCommunicatorProxy::reRegisterListen()
{
    log(0, QStringLiteral("KCommunicatorProxy::reRegisterListen : re-register listen"));
    std::vector<std::string> keys;
    for (const auto &entry : m_offlineNoticeListeners)
        keys.push_back(entry.first);
    for (const std::string &key : keys)
        doListenOfflineMsgNotice(key);
    for (const std::string &ownerId : m_fileTasks->ownerIds())
        doListenFileTaskInfo(ownerId);
    for (const Protocol::Ability &ability : qAsConst(m_abilities))
        doAppendDeviceAbility(ability, nullptr);
    std::vector<ChannelAbility::Operation> operations;
    for (const auto &entry : m_operationListeners)
        operations.push_back(entry.first);
    for (const ChannelAbility::Operation &operation : operations)
        doListenMessage(operation);
    // Last, once the discovery notices are listened to again: the open searches.
    for (const Protocol::DiscoverServiceInfo &search : qAsConst(m_searches))
        request({Op::Discover, Op::StartSearch}, Protocol::recordToText(search),
                [](int, const CommunicationContent &) { return Export::Finished; });
}

} // namespace Business
} // namespace SoftBus
