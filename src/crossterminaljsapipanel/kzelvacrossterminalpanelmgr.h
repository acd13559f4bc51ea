// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVariantMap>

class KZelvaCrossTerminalPanel;
class KZelvaCrossTerminalPanelUtil;
class KZelvaCrossTerminalNotifyProxy;
class QWidget;

/*
 * The cross-terminal panel manager: one per process, created on first use
 * with the application object as parent, registered with the host's plug-in
 * manager under "__KZelvaCrossTerminalPanelManager__". The host asks it
 * whether the panel is available and pops it up at a button; it makes the
 * panel window at the first popup (or drives the shell's own tab-manager
 * panel when the shell has one) and forwards device and work-area
 * refreshes to the page. GUI thread.
 */
class KZelvaCrossTerminalPanelMgr : public QObject
{
    Q_OBJECT
public:
    // The process-wide manager; null only when there is no application.
    static KZelvaCrossTerminalPanelMgr *instance();

    Q_INVOKABLE void refreshDevices(const QString &deviceJson);
    Q_INVOKABLE void refreshWorkareaData();
    Q_INVOKABLE QObject *panel() const;
    // "plugin": the panel page's listing; "host": the shell tab-manager panel's.
    Q_INVOKABLE QJsonObject listing(const QString &kind) const;
    KZelvaCrossTerminalPanel *crossTerminalPanel() const;
    KZelvaCrossTerminalPanelUtil *panelUtil() const;
    QString source() const { return m_source; }
    QVariantMap extra() const { return m_extra; }

Q_SIGNALS:
    void sigDeviceTagsCountChanged(int count);
    void sigCrossPanelIsCreated(QObject *panel);
    void sigBeforeCrossPanelShow(QWidget *targetWidget);

public Q_SLOTS:
    void onUserLoginStatusChange();
    void onNetworkStatusChanged();

public:
    Q_INVOKABLE QObject *popupCrossTerminalPanel(QWidget *targetWidget, QRect btnGeometry, QString source,
                                                 QVariantMap extra);
    Q_INVOKABLE void hideCrossTerminalPanel();
    Q_INVOKABLE bool isCrossTerminalAvailable();

private:
    explicit KZelvaCrossTerminalPanelMgr(QObject *parent);
    static bool isEntranceVisible();
    static bool isHostPanelMode();

    QPointer<KZelvaCrossTerminalPanel> m_panel;
    QPointer<KZelvaCrossTerminalPanelUtil> m_util;
    QPointer<KZelvaCrossTerminalNotifyProxy> m_notifyProxy;
    QString m_source = QStringLiteral("unknown");
    QVariantMap m_extra;
};
