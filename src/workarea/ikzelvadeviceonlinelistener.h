// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <functional>

class QObject;

/*
 * Registers a listener for the device's online state with the SoftBus proxy.
 * The listener runs on the thread of `receiver`. GUI thread.
 */
class IKZelvaDeviceOnlineListener
{
public:
    using Listener = std::function<SoftBus::Export::CobLifeState(Error::Code, bool)>;
    virtual ~IKZelvaDeviceOnlineListener() = default;
    virtual void listenCurrentDeviceOnlineChange(QObject *receiver, Listener listener) = 0;
};
