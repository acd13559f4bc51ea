// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "filetasknotify.h"
#include "ikcommunicator.h"
#include "ksoftbuslistenerlist.h"
#include "protocol/ability.h"
#include "protocol/device.h"
#include "protocol/deviceinfo.h"
#include "protocol/deviceinfolist.h"
#include "protocol/deviceresponse.h"
#include "protocol/devicestatus.h"
#include "protocol/discoverserviceinfo.h"
#include "protocol/discoverserviceinforesult.h"
#include "protocol/kmsg.h"
#include "protocol/lastmodifiedtime.h"
#include "protocol/noticestatus.h"
#include "protocol/sendmsgreq.h"
#include "protocol/unreadnumitem.h"

#include <QList>

#include <map>
#include <memory>
#include <string>

/*
 * The one entry of the process to the SoftBus service. Typed requests go out
 * as CommunicationContent on a fixed (ability, action) through the
 * communicator and come back as typed answers, each closed after its first
 * answer. Standing listeners are kept here: per operation (registered with
 * the service once, however many listen), per offline-notice key, per
 * discovery key and, through FileTaskNotify, per file-task owner id. After
 * the service socket came back, reRegisterListen() registers all of them
 * again.
 *
 * instance() creates it on first use (also by the communicator's
 * reconnection) and it lives until the process ends; its communicator and
 * file-task notifier live exactly as long. GUI thread only; callers on
 * other threads wrap their callbacks with callbackToThreadOf.
 */
namespace SoftBus {
namespace Business {

class KCommunicatorProxy
{
public:
    template<class T>
    using Answer = std::function<void(int code, const T &answer)>;
    template<class T>
    using Listener = std::function<Export::CobLifeState(int code, const T &notice)>;
    using DeviceInfoAnswer = Answer<Protocol::DeviceResponse<Protocol::DeviceInfo>>;
    using ChangeAnswer = Answer<Protocol::DeviceResponse<Protocol::LastModifiedTime>>;

    static KCommunicatorProxy *instance();
    // A proxy over another communicator (tests, the transport-less one).
    explicit KCommunicatorProxy(std::unique_ptr<IKCommunicator> communicator);
    ~KCommunicatorProxy();

    int isDeviceOnline(Answer<bool> answer);
    int getDeviceInfoList(const Protocol::DeviceStatus &status,
                          Answer<Protocol::DeviceResponse<Protocol::DeviceInfoList>> answer);
    int getDeviceInfo(const Protocol::Device &device, DeviceInfoAnswer answer);
    int deleteDeviceInfo(const Protocol::Device &device, ChangeAnswer answer);
    int doAppendDeviceAbility(const Protocol::Ability &ability, ChangeAnswer answer);
    // Keeps the ability (announced again after a reconnection) and announces it.
    int appendDeviceAbility(const Protocol::Ability &ability, ChangeAnswer answer);
    int renameDevice(const Protocol::Device &device, const std::string &newName, ChangeAnswer answer);
    int getCurrentDeviceInfo(DeviceInfoAnswer answer);
    // A message to another device of the user (1, 6); it waits there while that device is offline.
    int sendMsg(const Protocol::SendMsgReq &request, Answer<Protocol::DeviceResponse<Protocol::KMsg>> answer);

    int listenCurrentDeviceOnlineChange(Listener<bool> listener);
    int listenDeviceInfoChange(Listener<Protocol::NoticeStatus> listener);
    int listenMsg(const std::string &key, Listener<Protocol::KMsg> listener);
    int listenOfflineMsgNotice(const std::string &key, Listener<Protocol::UnreadNumItem> listener);
    int doListenOfflineMsgNotice(const std::string &key);
    int listenFileTaskInfo(const std::string &ownerId, Listener<Protocol::KFileTaskInfo> listener);
    int doListenFileTaskInfo(const std::string &ownerId);
    int resumeTaskByOwnerId(const std::string &ownerId);
    int pauseTaskByOwnerId(const std::string &ownerId);
    int cancelTaskByOwnerId(const std::string &ownerId);
    int discoverServiceSearch(const Protocol::DiscoverServiceInfo &info, Answer<quint64> answer);
    int listenDiscoverServiceSearch(const std::string &key, Listener<Protocol::DiscoverServiceInfoResult> listener);

    // The service socket came back: every standing registration is made again.
    void reRegisterListen();

    QList<Protocol::Ability> appendedAbilities() const { return m_abilities; }

private:
    int request(ChannelAbility::Operation operation, const QString &data, ContentCallback answer);
    template<class T>
    int oneShot(ChannelAbility::Operation operation, const QString &data, Answer<T> answer);
    int taskControl(int action, const std::string &ownerId);
    int listenOperation(ChannelAbility::Operation operation, ContentCallback listener);
    int doListenMessage(ChannelAbility::Operation operation);
    int doListenDiscoverNotice();

    std::unique_ptr<IKCommunicator> m_communicator;
    std::map<std::string, KSoftBusListenerList<Protocol::UnreadNumItem>> m_offlineNoticeListeners;
    std::map<std::string, KSoftBusListenerList<Protocol::DiscoverServiceInfoResult>> m_discoverListeners;
    QList<Protocol::Ability> m_abilities;
    // Searches (mode 2) not stopped since (mode 3): the service forgets them with the connection.
    QList<Protocol::DiscoverServiceInfo> m_searches;
    std::map<ChannelAbility::Operation, KSoftBusListenerList<Protocol::Internal::CommunicationContent>>
        m_operationListeners;
    std::shared_ptr<FileTaskNotify> m_fileTasks;

    Q_DISABLE_COPY(KCommunicatorProxy)
};

} // namespace Business
} // namespace SoftBus
