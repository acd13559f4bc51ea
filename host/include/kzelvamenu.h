// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMenu>

/*
 * A menu of the shell that plug-ins fill (the tab context menu, say).
 * `style` picks the look of the shell's menu kinds (0 plain, 2 sub menu of
 * a tab menu). A tab menu announces its built-in close entries with the
 * close signals. Owned by whoever shows it.
 */
class KZELVASHELL_EXPORT KZelvaMenu : public QMenu
{
    Q_OBJECT
public:
    explicit KZelvaMenu(QWidget *parent = nullptr, int style = 0);

    int menuStyle() const { return m_style; }

Q_SIGNALS:
    void closeRightTab();
    void closeOtherTab();
    void closeAllTab();

private:
    int m_style = 0;
};
