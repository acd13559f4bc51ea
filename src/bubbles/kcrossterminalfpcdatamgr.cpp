// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcrossterminalfpcdatamgr.h"

#include "kzelvabubblessettingskeys.h"
#include "kzelvasettingskeys.h"

#include <kpluginssettings.h>

#include <QCoreApplication>
#include <QPointer>

KCrossTerminalFpcDataMgr::KCrossTerminalFpcDataMgr(QObject *parent)
    : QObject(parent)
{
}

KCrossTerminalFpcDataMgr *KCrossTerminalFpcDataMgr::instance()
{
    static QPointer<KCrossTerminalFpcDataMgr> s_instance;
    if (!s_instance)
        s_instance = new KCrossTerminalFpcDataMgr(QCoreApplication::instance());
    return s_instance;
}

bool KCrossTerminalFpcDataMgr::isRelayBubbleVisible()
{
    if (m_relayBubbleVisible < 0)
        m_relayBubbleVisible =
            krt::KPluginsSettings::boolValue(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                             QLatin1String(KZelvaBubblesSettingsKeys::IsRelayBubbleVisible), true)
                ? 1
                : 0;
    return m_relayBubbleVisible == 1;
}
