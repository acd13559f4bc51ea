// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcoreapplication.h"

KCoreApplication::KCoreApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

KCoreApplication::~KCoreApplication() = default;
