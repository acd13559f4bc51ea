// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

/*
 * A short message shown over a main window: centred, 120 DPI-scaled pixels
 * (or as asked) below the window's top edge, hidden and deleted after a while. The
 * background is painted inside the content rectangle shrunk by the margin.
 * The host UI kit has no toast of its own in this shell, so this is a
 * plain frameless tool window.
 *
 * showToast() makes one; it deletes itself. Related window only referenced.
 * GUI thread.
 */
class KToast : public QWidget
{
    Q_OBJECT
public:
    static constexpr int VerticalOffset = 120;
    static constexpr int Margin = 6;

    explicit KToast(QWidget *relatedWindow);
    ~KToast() override;

    // `verticalOffset`: logical pixels below the window's top edge.
    static KToast *showToast(QWidget *relatedWindow, const QString &text, int msecs = 2500,
                             int verticalOffset = VerticalOffset);

    QString text() const;
    void setText(const QString &text);
    // Where a toast of `size` goes over a window at `windowRect`.
    static QPoint position(const QRect &windowRect, const QSize &size, int verticalOffset);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_related;
    QLabel *m_label;
    QTimer *m_timer;
};
