// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelpart.h"

#include "kzelvacrossterminalpanelmgr.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvatabbar.h>

KZelvaCrossTerminalPanelPart::KZelvaCrossTerminalPanelPart(QObject *manager)
    : QObject(manager)
{
}

void KZelvaCrossTerminalPanelPart::refreshWorkareaData()
{
    KZelvaCrossTerminalPanelMgr::instance()->refreshWorkareaData();
}

void KZelvaCrossTerminalPanelPart::showCrossTerminalPanel(const QString &source)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    QWidget *target = window ? window->tabBar() : nullptr;
    if (!target)
        return;
    const QRect rect(target->mapToGlobal(QPoint(0, 0)), target->size());
    KZelvaCrossTerminalPanelMgr::instance()->popupCrossTerminalPanel(target, rect, source, QVariantMap());
}
