// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVariantMap>
#include <QWidget>

/*
 * Drives the shell's own tab-manager panel when the shell offers one: runs
 * the shell plug-in "kwebintegratedpanel" at the button, and passes work-area
 * changes on to its page while it is shown.
 *
 * Child of the panel manager. GUI thread.
 */
class KZelvaCrossTerminalPanelUtil : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaCrossTerminalPanelUtil(QObject *parent = nullptr);

    void showPanel(QWidget *anchorWidget, const QRect &btnGeometry, const QVariantMap &extra);
    void setPanelVisible(bool visible) { m_visible = visible; }
    bool isPanelVisible() const { return m_visible; }
    QWidget *anchorWidget() const { return m_anchor; }
    QRect buttonGeometry() const { return m_btnGeometry; }

public Q_SLOTS:
    void onWorkAreaDataChanged();
    void onRunPlugin(const QVariantMap &params);

private:
    QPointer<QWidget> m_anchor;
    QRect m_btnGeometry;
    bool m_visible = false;
};
