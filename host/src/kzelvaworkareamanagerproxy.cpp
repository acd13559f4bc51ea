// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareamanagerproxy.h"

namespace {
bool g_manualRecoverDone = false;
}

void KZelvaWorkAreaManagerProxy::setManualRecoverDone(bool done)
{
    g_manualRecoverDone = done;
}

bool KZelvaWorkAreaManagerProxy::isManualRecoverDone()
{
    return g_manualRecoverDone;
}
