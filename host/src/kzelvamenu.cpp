// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvamenu.h"

KZelvaMenu::KZelvaMenu(QWidget *parent, int style)
    : QMenu(parent)
    , m_style(style)
{
}
