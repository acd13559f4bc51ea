// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalrelayhint.h"

namespace {
KZelvaCrossTerminalRelayHint *g_hint = nullptr;
}

void KZelvaCrossTerminalRelayHint::setInstance(KZelvaCrossTerminalRelayHint *hint)
{
    g_hint = hint;
}

KZelvaCrossTerminalRelayHint *KZelvaCrossTerminalRelayHint::instance()
{
    return g_hint;
}
