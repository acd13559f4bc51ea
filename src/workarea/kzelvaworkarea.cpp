// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkarea.h"

KZelvaWorkArea::KZelvaWorkArea(QObject *parent)
    : QObject(parent)
{
}
