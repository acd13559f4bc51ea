// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

class KZelvaCrossTerminalPanelJsEventObj;
class KZelvaCrossTerminalPanelUtil;
class KZelvaMainWindow;
class KZelvaSubPage;
struct KZelvaWorkAreaRecoverItem;

/*
 * The shell tab-manager panel's side of the plug-in: its listing of the
 * current window's tabs and the closed documents, the documents of one
 * closed window, and the refresh event its page listens to. Closed
 * documents found too old or without record go to the residual clean-up.
 *
 * One per process (instance(), child of the application), GUI thread.
 */
class KZelvaCrossTerminalPanelJsHandle : public QObject
{
    Q_OBJECT
public:
    static KZelvaCrossTerminalPanelJsHandle *instance();

    QJsonObject generateWorkareaAndTagsJson();
    QJsonObject generateResidualTagsJson(const QString &residualId);
    // Sends the listing as "event.workarea.changedlistener".
    void notifyRefreshListData();
    void setPanelUtil(KZelvaCrossTerminalPanelUtil *util);
    KZelvaCrossTerminalPanelUtil *panelUtil() const;
    bool isPanelVisible() const { return m_panelVisible; }
    void setPanelVisible(bool visible);

    // Deletes one recently-closed document of the record that holds the
    // work area (or "default"/a residual id), or all of them. A record left
    // without documents goes too ("default" through its clean-up task,
    // which keeps what is still listed). `sync` tells other processes.
    bool removeResidualItem(const QString &workAreaId, const QString &tagId, bool sync);
    bool removeAllResidualItems(bool sync);
    // Broadcasts a deletion to the user's other processes of the suite
    // through the cloud service; the request id it sent.
    QString triggerEventNotify(const QString &operation, const QJsonObject &param);
    QString lastRequestId() const { return m_requestId; }
    // "isSupportRestartCirraProcess" of the cloud settings, read once.
    static bool isSupportRestartCirraProcess();

    // The host panel page's calls (through the script object). Each answers
    // in the script core's result form.
    QJsonArray currentTabList();
    QJsonObject openTab(const QVariantMap &args);
    QJsonObject closeTab(const QVariantMap &args);
    // Reopens the documents of a closed window (or of "default") in order,
    // the active one last; a window reopened before is only raised.
    QJsonObject openFiles(const QString &residualId);
    bool isResidualItemDeleteEnabled() const;
    // The window openFiles made for `residualId`, while it lives.
    KZelvaMainWindow *openedWindow(const QString &residualId) const;

private:
    explicit KZelvaCrossTerminalPanelJsHandle(QObject *parent);
    // The script event object once it is registered with the script core.
    KZelvaCrossTerminalPanelJsEventObj *eventObject() const;

    bool removeFromRecord(const QString &residualId, const QString &workAreaId, const QString &tagId, bool sync);
    void checkAndRestartCirraProcess(const QString &app);
    KZelvaSubPage *recoverFile(KZelvaMainWindow *window, const KZelvaWorkAreaRecoverItem &item,
                               const QVariantMap &recoverInfo);

    QPointer<KZelvaCrossTerminalPanelUtil> m_util;
    bool m_panelVisible = false;
    QString m_requestId;
    QHash<QString, QPointer<KZelvaMainWindow>> m_openedWindows;
};
