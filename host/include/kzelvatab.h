// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QPointer>

class KZelvaSubPage;
class KZelvaTabBar;

/*
 * One tab of a window's tab bar, bound to one sub page for its whole life.
 * Owned by the tab bar; deleted when its sub page leaves the window.
 */
class KZELVASHELL_EXPORT KZelvaTab : public QObject
{
    Q_OBJECT
public:
    KZelvaTab(KZelvaSubPage *page, KZelvaTabBar *bar);

    KZelvaSubPage *subPage() const { return m_page; }
    KZelvaTabBar *tabBar() const;
    QString text() const;

    bool isLock() const { return m_locked; }
    void setLock(bool locked);
    // Whether this is the current (checked) tab of its bar.
    bool isChecked() const;
    void activate();
    // Asks the window to close this tab; false when the close was refused.
    bool tryClose();
    // Opens the tab's context menu at the cursor (through the tab bar).
    Q_INVOKABLE void popupMenu();
    // Opens it at globalPos (a menu opened from the keyboard goes to its item).
    void popupMenu(const QPoint &globalPos);

private:
    QPointer<KZelvaSubPage> m_page;
    bool m_locked = false;
};
