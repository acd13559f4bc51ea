// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QWidget>

/*
 * The themed top background of the later panel generations: a soft band
 * in the skin's accent that fades into the page colour, as wide as the
 * panel and growing with it. GUI thread; owned by the panel.
 */
class KZelvaCrossTerminalPanelBackWidget : public QWidget
{
    Q_OBJECT
public:
    explicit KZelvaCrossTerminalPanelBackWidget(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
