// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

/*
 * The cross-terminal panel manager: one per process, created on first use
 * with the application object as parent, registered with the host's plug-in
 * manager under "__KZelvaCrossTerminalPanelManager__". The panel window and
 * its page come with the panel itself; this is its registration anchor.
 */
class KZelvaCrossTerminalPanelMgr : public QObject
{
    Q_OBJECT
public:
    // The process-wide manager; null only when there is no application.
    static KZelvaCrossTerminalPanelMgr *instance();

    Q_INVOKABLE void refreshWorkareaData();

private:
    explicit KZelvaCrossTerminalPanelMgr(QObject *parent);
};
