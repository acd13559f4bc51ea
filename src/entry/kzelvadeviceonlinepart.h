// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvadeviceonlinelistener.h"

#include <QObject>

/*
 * The device's online state for the work-area manager, from the SoftBus
 * proxy: the listener is registered once; every call also asks the state
 * once, so that a pending command line runs on this connection's answer
 * instead of waiting for the next status notice. A child of the manager.
 * GUI thread.
 */
class KZelvaDeviceOnlinePart : public QObject, public IKZelvaDeviceOnlineListener
{
    Q_OBJECT
public:
    explicit KZelvaDeviceOnlinePart(QObject *manager);

    void listenCurrentDeviceOnlineChange(QObject *receiver, Listener listener) override;

private:
    bool m_listening = false;
};
