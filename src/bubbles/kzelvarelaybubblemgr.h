// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvarelayhintwidget.h"

#include <QObject>
#include <QPointer>

/*
 * Shows the first-relay hint (KZelvaRelayHintWidget) when the panel page
 * asks before the user's first relay, unless "isRelayBubbleVisible" is off.
 * The dialog is made on first use and shown again on later calls.
 *
 * One per process (instance(), child of the application); GUI thread.
 */
class KZelvaRelayBubbleMgr : public QObject
{
    Q_OBJECT
public:
    static KZelvaRelayBubbleMgr *instance();

    // False (nothing shown) when relay bubbles are off.
    bool showFirstRelayWidget(const KZelvaRelayInfo &relayInfo);
    KZelvaRelayHintWidget *hintWidget() const { return m_hint; }

public Q_SLOTS:
    void onBubbleClose();

private:
    explicit KZelvaRelayBubbleMgr(QObject *parent);
    QPointer<KZelvaRelayHintWidget> m_hint;
};
