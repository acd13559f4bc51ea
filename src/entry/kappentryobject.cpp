// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kappentryobject.h"

#include "kzelvaworkareahelper.h"

#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <cirra/cirra_types.h>

KAppEntryObject::KAppEntryObject(QObject *parent)
    : QObject(parent)
{
}

void KAppEntryObject::trigger(KAppObj, KAppContext)
{
    const QString name = QStringLiteral("trigger");
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud) {
        writeLog(0, QStringLiteral("%1 : zelvaApp or zelvaApp->cloudSvrProxy() is nullptr").arg(name));
        return;
    }
    if (!cloud->checkCirraRunning()) {
        writeLog(0, QStringLiteral("%1 : Cirra not running").arg(name));
        cloud->startCirraProcess(QString(), false);
    }
    if (cloud->isLogined()) {
        qoz::cirra::CirraIpcArg arg;
        arg.method = "showTransferHelperDlg";
        arg.argMap.emplace("src", "crossterminalpanel");
        cloud->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, nullptr, QString());
    } else {
        writeLog(0, QStringLiteral("%1 : not login").arg(name));
        cloud->login(0, QString(), QString());
    }
}
