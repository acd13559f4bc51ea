// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMainWindow>
#include <QPointer>

class QMenu;
class QToolButton;
class KZelvaCentralArea;
class KZelvaCloseHandler;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaTabBar;

/*
 * A main window of the shell: a tab bar with a corner work-area button
 * above the central area. Created and owned by KZelvaApplication (deleted
 * on close). Closing runs through the close protocol: the window announces
 * the query (aboutToQueryClose; a listener may hand it the close handler to
 * run with setCloseHandler(), else it builds its own from its sub pages),
 * runs the handler, and when nothing vetoed announces the close
 * (aboutToClose) and goes away; a veto ends in closeCancelled.
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
    // The top bar's cross-terminal button; hidden until the shell shows it.
    QToolButton *crossTerminalButton() const { return m_crossTerminalButton; }
    QMenu *fileMenu() const { return m_fileMenu; }

    bool isClosing() const { return m_closing; }
    // Whether the window's header bar is a special one (never given work areas).
    bool isSpecialHeaderBar() const { return m_special; }
    void setSpecialHeaderBar(bool special) { m_special = special; }

    // Closes one tab. Returns false when the page refused (unsaved changes
    // and `force` not set) or does not belong to this window.
    bool closeSubPage(KZelvaSubPage *page, bool force = false);

    // The close handler this close runs (taken over; only while
    // aboutToQueryClose is being emitted).
    void setCloseHandler(KZelvaCloseHandler *handler);
    // Objects that take part in closing the window besides the work areas:
    // the sub pages that belong to no work area.
    QList<QObject *> getCloseHandlerObjectList() const;
    // Closes the window without asking anything again (the close was agreed).
    void closeWithoutQuery();

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
    void crossTerminalButtonClicked(const QRect &globalRect);
    void aboutToQueryClose(KZelvaMainWindow *window);
    void aboutToClose(KZelvaMainWindow *window);
    void closeCancelled(KZelvaMainWindow *window);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onCloseHandlerFinished(bool cancelled);
    void announceClose();

    KZelvaTabBar *m_tabBar = nullptr;
    KZelvaCentralArea *m_centralArea = nullptr;
    QToolButton *m_workAreaButton = nullptr;
    QToolButton *m_crossTerminalButton = nullptr;
    QMenu *m_fileMenu = nullptr;
    bool m_closing = false;
    bool m_closeApproved = false;
    bool m_closeAnnounced = false;
    bool m_collectingHandler = false;
    bool m_inCloseEvent = false;
    QPointer<KZelvaCloseHandler> m_closeHandler;
    bool m_special = false;
    bool m_lockFocus = false;
};
