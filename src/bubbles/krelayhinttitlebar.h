// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

/*
 * The title bar of the first-relay hint: its title, a close button
 * (sigExit()) and dragging of its window with the left button, which keeps
 * the window on its screen. Child of the hint dialog; GUI thread.
 */
class KRelayHintTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit KRelayHintTitleBar(QWidget *parent);

    QPushButton *closeButton() const { return m_close; }

Q_SIGNALS:
    void sigExit();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_title = nullptr;
    QPushButton *m_close = nullptr;
    bool m_dragging = false;
    QPoint m_grab; // the press point relative to the window's top left
};
