// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljseventobj.h"

KZelvaCrossTerminalPanelJsEventObj *KZelvaCrossTerminalPanelJsEventObj::instance()
{
    static KZelvaCrossTerminalPanelJsEventObj object;
    return &object;
}
