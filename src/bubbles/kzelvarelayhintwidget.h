// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QDialog>
#include <QFont>

class KRelayHintTitleBar;

// A document of another device to relay here, as the panel page names it.
struct KZelvaRelayInfo
{
    QString deviceId;
    QString uuid;
    QString fileId;
    QString ftype;
    QString name;
};

/*
 * The one-time explanation shown before the first relay: a frameless
 * dialog with its title bar, a picture, a heading, a text and "I see".
 * Dismissing it (button or close button) relays the stored document through
 * the label sync service. Created once by KZelvaRelayBubbleMgr (its owner);
 * GUI thread.
 */
class KZelvaRelayHintWidget : public QDialog
{
    Q_OBJECT
public:
    explicit KZelvaRelayHintWidget(QWidget *parent = nullptr);

    void setRelayInfo(const KZelvaRelayInfo &info) { m_info = info; }
    KZelvaRelayInfo relayInfo() const { return m_info; }
    KRelayHintTitleBar *titleBar() const { return m_titleBar; }

    // The hint's font at `pixels` (DPI-scaled for `widget`), with the fallbacks of docs/bubbles.md.
    static QFont hintFont(int pixels, const QWidget *widget);

public Q_SLOTS:
    void onCloseWidget();

private:
    KZelvaRelayInfo m_info;
    KRelayHintTitleBar *m_titleBar = nullptr;
};
