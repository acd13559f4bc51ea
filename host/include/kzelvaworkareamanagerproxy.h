// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

/*
 * What the shell keeps about the work-area plug-in's progress: whether the
 * manual recovery of documents is done. Process-wide, GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaWorkAreaManagerProxy
{
public:
    static void setManualRecoverDone(bool done);
    static bool isManualRecoverDone();
};
