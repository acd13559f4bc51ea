// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvacrossterminalpanel.h"

#include <QObject>

/*
 * The cross-terminal panel manager as the work-area manager uses it: a
 * refresh after a work area closed, and the panel shown under the current
 * window's tab bar for a hand-off. A child of the manager. GUI thread.
 */
class KZelvaCrossTerminalPanelPart : public QObject, public IKZelvaCrossTerminalPanel
{
    Q_OBJECT
public:
    explicit KZelvaCrossTerminalPanelPart(QObject *manager);

    void refreshWorkareaData() override;
    void showCrossTerminalPanel(const QString &source) override;
};
