// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <QDialog>

class KZelvaWorkAreaManager;

/*
 * The cross-device command lines the host hands over ("&"-separated:
 * "show_crossterminal_other_device", "relay_file") and the login guide they
 * need while no account is logged in. A command line waits until the device
 * is reported online, at most kOnlineWaitMs; a relay that waited in vain
 * shows the relay-failure box. A child of the manager, which forwards the host's
 * notifications and the device-online callback to it. GUI thread.
 */
class KZelvaCommandLines : public QObject
{
    Q_OBJECT
public:
    static constexpr int kOnlineWaitMs = 30000;

    explicit KZelvaCommandLines(KZelvaWorkAreaManager *manager);

    void commandLineChanged();
    void startupGuideLogin();
    void splashFinished();
    void sdkUserInfoChanged();
    SoftBus::Export::CobLifeState deviceOnlineChanged(Error::Code error, bool online);
    // Splits and carries out one command line.
    void handleCommandLine(const QString &commandLine);

    QString pendingConfirmId() const { return m_pendingConfirmId; }
    // The relay-failure box while it is shown (window modal, never a nested loop).
    QDialog *relayFailBox() const { return m_relayFailBox; }
    bool isLoginConfirmed() const { return m_loginConfirmed; }

private:
    void handleGuideLogin();
    void showRelayFailBox(const QString &reason);
    void showOtherDevice(const QString &userId);
    void relayFile(const QString &payload);
    bool isAccountLoggedIn() const;
    QString loggedInUserId() const;
    void pendingCommandLineExpired();

    KZelvaWorkAreaManager *m_manager;
    bool m_loginConfirmed = false;
    bool m_deviceOnline = false;
    bool m_pendingGuideLogin = false;
    bool m_pendingCommandLine = false;
    QString m_pendingConfirmId;
    QString m_previousCommandToken;
    QPointer<QDialog> m_relayFailBox;
    QTimer m_onlineWait;
};
