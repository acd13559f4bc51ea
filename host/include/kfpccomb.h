// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

/*
 * The host's feature configuration of its bubbles and popups: the group
 * "fpccomb" of features.ini in the config directory (values true/false).
 * Unlisted values are on. Read at each call; GUI thread.
 */
class KZELVASHELL_EXPORT KFpccomb
{
public:
    // "isFileBubbleVisible": whether the transfer-file bubble may show.
    static bool value(const QString &name, bool defaultValue = true);
};
