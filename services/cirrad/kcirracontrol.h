// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirraservice.h"

/*
 * The control requests of cirrad (function "control", a CirraIpcArg whose
 * method names the request and whose argMap carries its arguments), used by
 * tests as oracle and fault switch and by scripts:
 *   login/logout {user, userName}, setStorage {user, used, total},
 *   addDevice {user, deviceId, deviceName, deviceType, os},
 *   emitEvent {user, signal, text, count, ...record fields, "arg.<key>" map entries},
 *   hold/fail/drop/delay/die {function, method, count, ms}, release, clearFaults,
 *   callLog, clearCallLog, peers, state {user}, federation (the broker link's figures), shutdown.
 * Answers a CirraIpcResult: state 0 on success, 422 for bad arguments.
 *
 * Owned by KCirraService; main thread.
 */
class KCirraControl
{
public:
    explicit KCirraControl(KCirraService *service);

    KCirraService::Outcome handle(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);

private:
    KCirraService *m_service;
};
