// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

/*
 * The cross-terminal feature's settings, each read once per process:
 * "isRelayBubbleVisible" (plug-in settings group "kzelvaworkarea", default
 * true). One per process (instance(), child of the application); GUI thread.
 */
class KCrossTerminalFpcDataMgr : public QObject
{
    Q_OBJECT
public:
    static KCrossTerminalFpcDataMgr *instance();

    bool isRelayBubbleVisible();
    // Forgets what was read (tests).
    void reload() { m_relayBubbleVisible = -1; }

private:
    explicit KCrossTerminalFpcDataMgr(QObject *parent);
    int m_relayBubbleVisible = -1;
};
