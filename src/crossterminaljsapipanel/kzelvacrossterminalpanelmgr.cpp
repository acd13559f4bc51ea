// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelmgr.h"

#include "kzelvaworkareahelper.h"

#include <QCoreApplication>
#include <QPointer>

KZelvaCrossTerminalPanelMgr::KZelvaCrossTerminalPanelMgr(QObject *parent)
    : QObject(parent)
{
}

KZelvaCrossTerminalPanelMgr *KZelvaCrossTerminalPanelMgr::instance()
{
    static QPointer<KZelvaCrossTerminalPanelMgr> manager;
    if (!manager && QCoreApplication::instance())
        manager = new KZelvaCrossTerminalPanelMgr(QCoreApplication::instance());
    return manager;
}

void KZelvaCrossTerminalPanelMgr::refreshWorkareaData()
{
    writeLog(0, QStringLiteral("%1 : panel is not built yet").arg(QLatin1String("refreshWorkareaData")));
}
