// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kaccountsdkproxy.h"

#include <QCoreApplication>
#include <QUuid>

namespace kacctoutsdk {

KAccountSdkProxy::KAccountSdkProxy(QObject *parent)
    : QObject(parent)
{
}

bool KAccountSdkProxy::isEnable(const QString &name) const
{
    return !m_disabled.contains(name);
}

void KAccountSdkProxy::setEnabled(const QString &name, bool enabled)
{
    m_disabled.removeAll(name);
    if (!enabled)
        m_disabled.append(name);
}

QString KAccountSdkProxy::generateConfirmId()
{
    return QStringLiteral("confirm-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_nextConfirm);
}

void KAccountSdkProxy::login(const QVariantMap &params)
{
    m_lastLogin = params;
}

QVariant KAccountSdkProxy::value(const QString &key) const
{
    if (key == QLatin1String("login.params.confirmId"))
        return m_lastLogin.value(QStringLiteral("confirmId"));
    if (key == QLatin1String("userId"))
        return m_userId;
    return QVariant();
}

void KAccountSdkProxy::confirmLoginSuccess(const QString &confirmId)
{
    m_confirmed.append(confirmId);
}

void KAccountSdkProxy::completeLogin(const QString &userId)
{
    if (userId.isEmpty() || userId == m_userId)
        return;
    m_switching = !m_userId.isEmpty();
    m_userId = userId;
    Q_EMIT currentAccountChanged();
    Q_EMIT userInfoChanged();
    m_switching = false;
    Q_EMIT accountInfoReady();
}

void KAccountSdkProxy::logout()
{
    if (m_userId.isEmpty())
        return;
    m_userId.clear();
    Q_EMIT currentAccountChanged();
    Q_EMIT userInfoChanged();
}

} // namespace kacctoutsdk
