// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QVariantMap>
#include <QWidget>

class KxWebViewContainer;

/*
 * The shell's tab-manager panel, run as the shell plug-in
 * "kwebintegratedpanel": a frameless tool window under the button given in
 * the run parameters, showing share/zelvashell/kwebintegratedpanel/index.html
 * (the current window's tabs and the recently closed documents, through the
 * script core's extension objects). Closing only hides it.
 *
 * Made once by the shell controller (no parent, deleted at exit). GUI thread.
 */
class KWebIntegratedPanel : public QWidget
{
    Q_OBJECT
public:
    KWebIntegratedPanel();

    // Places the panel from "btnX", "btnY", "btnWidth", "btnHeight" and shows it.
    int run(const QVariantMap &params);
    KxWebViewContainer *container() const { return m_view; }
    static QString pageUrl();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    KxWebViewContainer *m_view;
};
