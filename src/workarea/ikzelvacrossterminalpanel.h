// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class QString;

/*
 * The cross-terminal panel manager as the manager uses it. GUI thread.
 */
class IKZelvaCrossTerminalPanel
{
public:
    virtual ~IKZelvaCrossTerminalPanel() = default;
    // The panel reads the work areas again (a work area was closed).
    virtual void refreshWorkareaData() = 0;
    // Shows the panel for a hand-off from another device (`source` "honorhandoff").
    virtual void showCrossTerminalPanel(const QString &source) = 0;
};
