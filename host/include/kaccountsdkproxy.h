// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace kacctoutsdk {

/*
 * The shell's account service: who is logged in, login requests with a
 * confirmation id, and the signals that announce changes. In the demo
 * shell a login is completed through the automation interface
 * (completeLogin / logout). Owned by the application, GUI thread.
 */
class KZELVASHELL_EXPORT KAccountSdkProxy : public QObject
{
    Q_OBJECT
public:
    explicit KAccountSdkProxy(QObject *parent = nullptr);

    // Whether the account function named `name` is enabled for this shell.
    bool isEnable(const QString &name) const;
    void setEnabled(const QString &name, bool enabled);

    bool isLogined() const { return !m_userId.isEmpty(); }
    QString userId() const { return m_userId; }
    bool isSwitching() const { return m_switching; }

    QString generateConfirmId();
    // Starts a login; the request (with its map) is kept for inspection.
    void login(const QVariantMap &params);
    QVariantMap lastLoginRequest() const { return m_lastLogin; }
    QVariant value(const QString &key) const;
    void confirmLoginSuccess(const QString &confirmId);
    QStringList confirmedIds() const { return m_confirmed; }

    // Driven by the automation interface and tests.
    void completeLogin(const QString &userId);
    void logout();

Q_SIGNALS:
    void currentAccountChanged();
    void userInfoChanged();
    void accountInfoReady();

private:
    QString m_userId;
    QStringList m_disabled;
    QVariantMap m_lastLogin;
    QStringList m_confirmed;
    int m_nextConfirm = 0;
    bool m_switching = false;
};

} // namespace kacctoutsdk
