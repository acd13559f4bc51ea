// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "klabelsyncdevice.h"

#include <cirra/cirra_types.h>

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

class KCloudSvrProxy;

// The cloud proxy names answer records by their bare class names.
using qoz::cirra::CirraIpcResult;
using qoz::cirra::GetStorageInfoResult;

/*
 * The client of the cloud service's device and file-label feature: the
 * user's device list with the tags open on each device, start and stop of
 * label sync while the cross-terminal panel is open, device renames, the
 * cloud storage figures, and the broadcasts the service sends about them.
 * Requests go through the cloud proxy; answers arrive at the slots below.
 *
 * One per process, created by the work-area manager (its parent) when it
 * initialises; instance() finds it. GUI thread.
 */
class KWorkAreaLabelSync : public QObject
{
    Q_OBJECT
public:
    // Talks through `proxy`, or the application's cloud proxy when null.
    explicit KWorkAreaLabelSync(QObject *parent = nullptr, KCloudSvrProxy *proxy = nullptr);
    ~KWorkAreaLabelSync() override;

    // The newest instance alive, or null.
    static KWorkAreaLabelSync *instance();

    // Stops hearing the service's broadcasts (teardown).
    void stopListening();

    // Sends one "cirraIpcCall" through `proxy`; the reply goes to `replySlot`
    // of `receiver`. The request id, or empty (logged) when the proxy refused.
    static QString sendCirraIpc(KCloudSvrProxy *proxy, const char *caller, const std::string &nameSpace,
                                const QString &method, const std::map<std::string, std::string> &args,
                                QObject *receiver, const char *replySlot);

    Q_INVOKABLE bool getSoftBussDeviceList();
    Q_INVOKABLE bool sendPanelOpenStatus();
    Q_INVOKABLE bool sendPanelCloseStatus();
    bool sendFileLabelOnlineMsg(const QString &command, const char *replySlot);
    Q_INVOKABLE bool renameSoftbussDevice(const QString &deviceId, const QString &name);
    Q_INVOKABLE bool getCloudStorage();
    Q_INVOKABLE bool openSoftbussDeviceTag(const QString &deviceId, const QString &uuid, const QString &fileId,
                                           const QString &ftype, const QString &name);
    // A relay asked for outside the pages (the command line): looks the
    // device up first when it is not in the cache.
    Q_INVOKABLE bool relayDeviceTag(const QString &deviceId, const QString &uuid, const QString &fileId,
                                    const QString &ftype, const QString &name);
    // A tag open or relay is under way: another one must wait.
    bool isRelaying() const { return !m_tagOpenRequests.isEmpty() || !m_relayTagRequests.isEmpty(); }

    QList<KLabelSyncDevice> devices() const { return m_devices; }
    bool findDevice(const QString &deviceId, KLabelSyncDevice *device = nullptr) const;
    Q_INVOKABLE QJsonObject softbussDeviceAndTagsData() const;
    Q_INVOKABLE QJsonObject cloudStorageData() const { return m_cloudStorage; }
    int totalTagsCount() const { return m_totalTags; }
    // Forgets the device list (the user logged out).
    void clearDeviceList();

Q_SIGNALS:
    void sigTotalTagsCountChanged(int count);
    void sigNotifyRenameResult(const QString &deviceId, bool result);
    void sigNotifyCloudStorageData(const QJsonObject &storage);

public Q_SLOTS:
    bool onNotifyBroadcast(const QString &text);
    bool onFileLabelMessageNotice(const QString &value);
    bool onFileLabelDeviceStatus(const QString &value);
    bool onFromSendMyDeviceMsg(const QString &value);
    bool onGetSoftbussDeviceTagsCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    bool onRenameSoftBussDeviceCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    bool onQueryFilesTagsCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    bool onUpdateWorkAreaStatusCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    void onGetCloudStorageCallBack(bool ok, const QString &requestId, const GetStorageInfoResult &result);
    void onGetSoftBussDeviceListFromRelayTag(bool ok, const QString &requestId, const CirraIpcResult &result);
    void onFileLabelRelayResultNotice();

public:
    // Reply of getSoftBussDeviceList().
    Q_INVOKABLE bool getSoftBussDeviceListCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);

private:
    struct PendingRename
    {
        QString deviceId;
        QString name;
    };
    struct PendingTag
    {
        QString deviceId;
        QString uuid;
        QString fileId;
        QString ftype;
        QString name;
    };

    bool onlineDocRelayHandle(const KLabelSyncDevice &device, const PendingTag &tag);
    bool localDocRelayHandle(const KLabelSyncDevice &device, const PendingTag &tag);
    void showRalayDocFailedDlg(const KLabelSyncDevice &device, const QString &reason);

    KCloudSvrProxy *cloudProxy(const char *caller) const;
    QString userId() const;
    QString localDeviceId() const;
    QString ipcCall(const char *caller, const QString &method, const std::map<std::string, std::string> &args,
                    const char *replySlot);
    // Logs the reply; true when the call went through with "msg" = "success".
    bool replySucceeded(const char *slot, bool ok, const CirraIpcResult &result, QJsonObject *answer) const;
    // replySucceeded() plus the "success" line of plain acknowledgements.
    bool acknowledged(const char *slot, bool ok, const CirraIpcResult &result) const;
    bool isCrossTerminalUsed(const char *caller);
    void refreshPages(const QJsonObject &data) const;

    QPointer<KCloudSvrProxy> m_proxy;
    bool m_explicitProxy = false;
    QList<KLabelSyncDevice> m_devices;
    QJsonObject m_cloudStorage;
    int m_totalTags = 0;
    QHash<QString, PendingRename> m_renameRequests;
    QHash<QString, PendingTag> m_tagOpenRequests;
    QHash<QString, PendingTag> m_relayTagRequests;
    int m_openCount = 0;
    int m_crossTerminalVisible = -1;
};
