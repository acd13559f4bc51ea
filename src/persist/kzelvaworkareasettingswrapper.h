// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>

class ISyncSettingsData;
class KSyncSettings;
class KSyncSettingsManager;

/*
 * Opens the user's synchronised settings records the work areas live in:
 * "workarea" (the work areas, inside the group of the independent
 * application type or "IndependentDefault", and "lastActiveWorkAreaId" at
 * its root), "active", and the residual records by key. Re-opens them when
 * the user changes. The records belong to the host's settings manager; the
 * wrapper only keeps pointers. One per process, owned by the manager, GUI
 * thread.
 */
class KZelvaWorkAreaSettingsWrapper : public QObject
{
    Q_OBJECT
public:
    // Without `manager` the host's process-wide settings manager is used.
    explicit KZelvaWorkAreaSettingsWrapper(QObject *parent = nullptr, KSyncSettingsManager *manager = nullptr);
    ~KZelvaWorkAreaSettingsWrapper() override;

    QString userId() const { return m_userId; }
    QString residualUserId() const { return m_residualUserId; }
    // The user id records are stored under: the user's, or "local" while
    // nobody is logged in, so a local user's work areas survive a restart.
    static QString storageUser(const QString &userId);
    // The logged-in user of the cloud service, or empty.
    static QString currentCloudUser();
    // The group of "workarea" the work areas live in: the independent
    // application type's name in independent mode, else "IndependentDefault".
    static QString workAreaGroupName();
    // Moves `node`'s cursor back to its root and returns it (null stays null).
    static ISyncSettingsData *rewound(ISyncSettingsData *node);

    // Takes the cloud service's current user and opens their records.
    void refreshUser();
    // Opens "active" and "workarea" of the current user (again).
    void openForCurrentUser();
    KSyncSettings *activeSettings() const;
    KSyncSettings *workAreaSettings() const;
    // The "workarea" record positioned at the group the work areas live in;
    // null when it cannot be opened.
    ISyncSettingsData *workAreaGroup();
    // The "workarea" record at its root ("lastActiveWorkAreaId").
    ISyncSettingsData *workAreaRoot();
    bool flushWorkArea();
    bool flushActive();

    KSyncSettings *residualSettings(const QString &key, bool useCurrentUser);
    QString initResidualSetting(const QString &key, bool useCurrentUser);
    void removeResidualSettings(bool useCurrentUser, const QString &key);
    QString getResidualCfgFilePath(const QString &key, const QString &userId) const;
    void syncFlushWindowResidualSettings();

    // The settings service the records come from (null without one).
    KSyncSettingsManager *settingsManager() const;

    // While held (the holds are counted) a new version of "workarea" saved by
    // another process is announced once, at the last release.
    void holdNotifications() { ++m_notificationHolds; }
    void releaseNotifications();
    bool isHoldingNotifications() const { return m_notificationHolds > 0; }

    // Sync controls of the work-area page; the local service has no cloud copy.
    void pull();
    void push();
    void resolveUseMe();

Q_SIGNALS:
    void settingsAboutChange();
    void settingsChanged();
    void settingsVersionChanged();

public Q_SLOTS:
    void onUserChanged();
    void onLoginStatusChanged();

private:
    QString userFor(bool useCurrentUser) const;
    // Tells the user once, over the current window, that work areas cannot be kept.
    void onSaveFailed(const QString &fileName, const QString &error);

    QPointer<KSyncSettingsManager> m_manager;
    QPointer<KSyncSettings> m_workArea;
    QSharedPointer<ISyncSettingsData> m_workAreaGroup;
    QPointer<KSyncSettings> m_active;
    QHash<QString, QPointer<KSyncSettings>> m_residual;
    QString m_group;
    QString m_userId;
    QString m_residualUserId;
    bool m_explicitManager = false;
    bool m_saveFailureShown = false;
    int m_notificationHolds = 0;
    bool m_versionChangedWhileHeld = false;
};
