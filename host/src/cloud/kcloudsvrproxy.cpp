// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcloudsvrproxy.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCloud, "zelva.cloud", QtInfoMsg)

KCloudSvrProxy::KCloudSvrProxy(QObject *parent)
    : QObject(parent)
{
}

KCloudSvrProxy::~KCloudSvrProxy() = default;

bool KCloudSvrProxy::checkCirraRunning() const
{
    return false;
}

void KCloudSvrProxy::startCirraProcess(const QString &, bool)
{
    qCInfo(lcCloud) << "startCirraProcess: no service available";
}

bool KCloudSvrProxy::isLogined() const
{
    return false;
}

void KCloudSvrProxy::login(int src, const QString &, const QString &)
{
    qCInfo(lcCloud) << "login requested, source" << src;
}

QString KCloudSvrProxy::asyncCall(const QString &function,
                                  const std::pair<const apache::thrift::TBase *, const char *> &record,
                                  QObject *, const QString &)
{
    qCInfo(lcCloud) << "call" << function << "record" << record.second << "not sent: not connected";
    return QString();
}
