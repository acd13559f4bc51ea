// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kfpccomb.h"

#include "kfuncswitch.h"

bool KFpccomb::value(const QString &name, bool defaultValue)
{
    return krt::product::featureFlag(QStringLiteral("fpccomb"), name, defaultValue);
}
