// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvarelaybubblemgr.h"

#include "kcrossterminalfpcdatamgr.h"
#include "kzelvaworkareahelper.h"

#include <kdcinfo.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QCoreApplication>

KZelvaRelayBubbleMgr::KZelvaRelayBubbleMgr(QObject *parent)
    : QObject(parent)
{
}

KZelvaRelayBubbleMgr *KZelvaRelayBubbleMgr::instance()
{
    static QPointer<KZelvaRelayBubbleMgr> s_instance;
    if (!s_instance)
        s_instance = new KZelvaRelayBubbleMgr(QCoreApplication::instance());
    return s_instance;
}

bool KZelvaRelayBubbleMgr::showFirstRelayWidget(const KZelvaRelayInfo &relayInfo)
{
    writeModuleLog(KzLogModule::kWorkArea, 0, QStringLiteral("%1:").arg(QLatin1String("showFirstRelayWidget")));
    if (!KCrossTerminalFpcDataMgr::instance()->isRelayBubbleVisible()) {
        writeModuleLog(KzLogModule::kWorkArea, 0,
                       QStringLiteral("%1: relaybubble disabled").arg(QLatin1String("showFirstRelayWidget")));
        return false;
    }
    if (!m_hint) {
        KZelvaApplication *app = zelvaApp;
        m_hint = new KZelvaRelayHintWidget(app ? app->currentMainWindow() : nullptr);
        connect(m_hint, &QDialog::finished, this, &KZelvaRelayBubbleMgr::onBubbleClose);
    }
    getDcInfo()->postGeneralEvent(QStringLiteral("heels_ralaydoc_firstdialog_show"));
    m_hint->setRelayInfo(relayInfo);
    m_hint->show();
    m_hint->activateWindow();
    m_hint->raise();
    return true;
}

void KZelvaRelayBubbleMgr::onBubbleClose()
{
    writeModuleLog(KzLogModule::kWorkArea, 0, QStringLiteral("%1:").arg(QLatin1String("onBubbleClose")));
}
