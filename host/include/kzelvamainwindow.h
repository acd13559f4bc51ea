// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMainWindow>
#include <QPointer>

class QMenu;
class QToolButton;
class KZelvaCentralArea;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaTabBar;

/*
 * A main window of the shell: a tab bar with a corner work-area button
 * above the central area. Created and owned by KZelvaApplication (deleted
 * on close). Closing runs through the application's close protocol: the
 * window first announces the query (aboutToQueryClose), then the close
 * (aboutToClose), then goes away.
 */
class KZELVASHELL_EXPORT KZelvaMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit KZelvaMainWindow(QWidget *parent = nullptr);
    ~KZelvaMainWindow() override;

    KZelvaCentralArea *centralArea() const { return m_centralArea; }
    KZelvaTabBar *tabBar() const { return m_tabBar; }
    QToolButton *workAreaButton() const { return m_workAreaButton; }
    QMenu *fileMenu() const { return m_fileMenu; }

    bool isClosing() const { return m_closing; }
    // Whether the window's header bar is a special one (never given work areas).
    bool isSpecialHeaderBar() const { return m_special; }
    void setSpecialHeaderBar(bool special) { m_special = special; }

    // Closes one tab. Returns false when the page refused (unsaved changes
    // and `force` not set) or does not belong to this window.
    bool closeSubPage(KZelvaSubPage *page, bool force = false);

    void showToFront(bool activate, bool raise, bool maximize);
    // While locked, keyboard focus stays in the current page (moves of tabs
    // out of the window do not hand it to another widget).
    void setLockFocusInCurrentPage(bool locked) { m_lockFocus = locked; }
    bool isLockFocusInCurrentPage() const { return m_lockFocus; }
    void restoreWindowRect(bool maximize);

    // Told by the work-area plug-in when the data of the window's work area changed.
    void relativeWorkAreaDataChanged();
    void setWorkAreaTitle(const QString &title);
    // Colour mark of the current work area on the corner button ("#rrggbb", empty: none).
    void setWorkAreaColor(const QString &color);

Q_SIGNALS:
    void workAreaDataChanged();
    void workAreaButtonClicked(const QRect &globalRect);
    void aboutToQueryClose(KZelvaMainWindow *window);
    void aboutToClose(KZelvaMainWindow *window);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    KZelvaTabBar *m_tabBar = nullptr;
    KZelvaCentralArea *m_centralArea = nullptr;
    QToolButton *m_workAreaButton = nullptr;
    QMenu *m_fileMenu = nullptr;
    bool m_closing = false;
    bool m_special = false;
    bool m_lockFocus = false;
};
