// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcloudsvrproxy.h>

#include <memory>

// A cloud proxy of its own for `user`'s device `device`, as a shell of that device would hold.
inline std::unique_ptr<KCloudSvrProxy> makeTestCloudProxy(const QString &device,
                                                          const QString &user = QStringLiteral("alice"))
{
    auto proxy = std::make_unique<KCloudSvrProxy>();
    KCloudSvrProxy::ClientInfo info;
    info.userId = user;
    info.deviceId = device;
    info.deviceName = QStringLiteral("Device ") + device;
    info.appName = QStringLiteral("tst_cloudproxy");
    proxy->setClientInfo(info);
    return proxy;
}
