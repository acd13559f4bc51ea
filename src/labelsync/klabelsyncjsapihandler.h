// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <cirra/cirra_types.h>
#include <kxwebviewjsapihandler.h>

#include <QHash>
#include <QJsonObject>
#include <QPointer>

class KWorkAreaLabelSync;
class KxWebViewJSContext;
class QWidget;

using qoz::cirra::CirraIpcResult;

/*
 * The page API "softbus.common" of the pages that show the user's devices
 * and the documents open on them: answers from the label sync service's
 * caches, starts its requests, asks before a device is forced offline and
 * forwards the service's notices to the page as events. Arguments come as
 * the map "params"; every answer object holds "callStatus".
 *
 * Made by a page API object (its parent) for the page object it serves;
 * the web view (the parent of its dialog) and the service are only
 * referenced. GUI thread.
 */
class KLabelSyncJSApiHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    KLabelSyncJSApiHandler(QObject *parent, KxWebViewAsynJSObject *jsObject, QWidget *webView = nullptr);
    ~KLabelSyncJSApiHandler() override;

    // Force-offline requests waiting for their reply: request id -> device id.
    QHash<QString, QString> pendingOfflineRequests() const { return m_offlineRequests; }

    // The settings are read once per process; this makes the next call read
    // them again (another user; tests).
    static void reloadSettings();

Q_SIGNALS:
    void queryClose();

public Q_SLOTS:
    void getSoftbussDeviceAndTags(KxWebViewJSContext &context);
    void network(KxWebViewJSContext &context);
    void offlineDevice(KxWebViewJSContext &context);
    void isShowLabelsyncPage(KxWebViewJSContext &context);
    void getStorageSize(KxWebViewJSContext &context);
    void openSoftbussDeviceTag(KxWebViewJSContext &context);
    void renameSoftbussDevice(KxWebViewJSContext &context);
    void addMobileDevice(KxWebViewJSContext &context);
    void queryObtainLabelTimeout(KxWebViewJSContext &context);
    void getSoftbussDeviceAndTagsData(KxWebViewJSContext &context);
    void getCloudStorage(KxWebViewJSContext &context);
    void getLastestActivateTagInfo(KxWebViewJSContext &context);

    void onOfflineSoftBussDeviceCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    void onLogoutRemoteDeviceCallBack(bool ok, const QString &requestId, const CirraIpcResult &result);
    void onNotifyRenameResult(const QString &deviceId, bool result);
    void onNotifyJsRefreshCloudStorageData();
    void onNotifyActivateTagInfoChange();

private:
    struct OfflineRequest
    {
        QString appId;
        QString userId;
        QString deviceId;
    };

    // The service, (re)connected when another one took its place; null
    // (with a log line naming `caller`) when there is none.
    KWorkAreaLabelSync *service(const char *caller);
    // Answers `context` for a confirmed or declined force-offline request.
    void finishOffline(KxWebViewJSContext &context, const OfflineRequest &request, bool confirmed);
    bool sendForceOffline(const OfflineRequest &request);
    void logoutRemoteDevice(const QString &deviceId);
    void sendEvent(const QString &name, const QString &payload) const;

    QPointer<QWidget> m_webView;
    QPointer<KWorkAreaLabelSync> m_service;
    QHash<QString, QString> m_offlineRequests;
};
