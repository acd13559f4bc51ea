// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraeventobject.h"

KCirraEventObject::KCirraEventObject(QObject *parent)
    : QObject(parent)
{
}

KCirraEventObject::~KCirraEventObject() = default;
