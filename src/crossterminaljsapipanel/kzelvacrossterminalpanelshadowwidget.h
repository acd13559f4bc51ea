// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

/*
 * The panel's drop shadow: a translucent frameless tool window behind the
 * panel that never takes activation. It shows, hides, moves and resizes
 * with the panel it watches and passes its own activation on to it; it
 * goes when the panel goes. Follows skin changes. GUI thread.
 *
 * Translucency needs a compositing manager: without one (asked once, when
 * the window is made) the window is opaque and only 1 px larger than the
 * panel on each side, a plain border in the skin's line colour.
 */
class KZelvaCrossTerminalPanelShadowWidget : public QWidget
{
    Q_OBJECT
public:
    KZelvaCrossTerminalPanelShadowWidget(QWidget *panel, const QString &themeClass, int shadowOffset);

    int blurRadius() const { return m_blur; }
    bool isComposited() const { return m_composited; }
    // Whether a compositing manager runs on the display (X only).
    static bool compositorRunning();
    // The panel's frame grown by blur + 2 left and right and by
    // blur + offset + 2 above and below.
    static QRect shadowGeometry(const QRect &panelFrame, int blur, int offset);
    void updateGeometryFromPanel();

public Q_SLOTS:
    void onSkinChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_panel;
    bool m_composited;
    int m_offset;
    int m_blur = 10;
    QColor m_shadow{0, 0, 0, 16};
    QColor m_background{255, 255, 255, 0};
    QColor m_border;
};
