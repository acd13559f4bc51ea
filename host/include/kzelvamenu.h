// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMenu>

/*
 * A menu of the shell that plug-ins fill (the tab context menu, say).
 * Owned by whoever shows it.
 */
class KZELVASHELL_EXPORT KZelvaMenu : public QMenu
{
    Q_OBJECT
public:
    explicit KZelvaMenu(QWidget *parent = nullptr);
};
