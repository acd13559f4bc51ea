// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QObject>
#include <QPointer>

#include <memory>

// Completion slots name the record by its bare class name, as the proxy invokes them.
using qoz::cirra::CirraIpcResult;

class QMenu;
class KShellStartPage;
class KWebIntegratedPanel;
class KWorkAreaPluginLoader;
class KZelvaMainWindow;
class KZelvaQozSubPage;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWebSubPage;

/*
 * The demo shell's glue: gives every main window its menus, and tells the
 * work-area manager what the suite's shell would tell it (window added,
 * page about to become active, window closing, crash), calling its methods
 * by name. Lives for the whole run, parented to the application.
 */
class KZelvaShellController : public QObject
{
    Q_OBJECT
public:
    KZelvaShellController(KWorkAreaPluginLoader *loader, QObject *parent);
    ~KZelvaShellController() override;
    // The tab-manager panel once it ran (null before).
    KWebIntegratedPanel *integratedPanel() const { return m_integratedPanel.get(); }

    KZelvaMainWindow *newWindow();
    KZelvaQozSubPage *newDocument(KZelvaMainWindow *window, const QString &title = QString());
    KZelvaQozSubPage *openDocument(KZelvaMainWindow *window, const QString &path,
                                   QString *errorString);
    // Opens the web page of a "plugin://pageBrowser?<Base64 URL>" argument
    // (how another process asks for a web tab) as a tab of `window`; null,
    // with the reason, when the argument names no usable address.
    KZelvaWebSubPage *openPageBrowser(KZelvaMainWindow *window, const QString &argument, QString *errorString);
    static bool isPageBrowserArgument(const QString &argument);
    // The window's start page, null before a command showed it.
    KShellStartPage *startPage(KZelvaMainWindow *window) const;
    // Clicks the window's work-area button; returns what the manager answered.
    QObject *pressWorkAreaButton(KZelvaMainWindow *window);
    // The cross-terminal panel manager the plug-in registered, or null.
    QObject *panelManager() const;
    // Pops the panel up under the window's cross-terminal button.
    QObject *pressCrossTerminalButton(KZelvaMainWindow *window);
    // Closes one tab through the close protocol; false when it was vetoed
    // (unsaved changes and `force` not set).
    bool closeTab(KZelvaSubPage *page, bool force);
    // Closes one window through the close protocol ("ForceClose" with
    // `force`); false when it was vetoed.
    bool closeWindow(KZelvaMainWindow *window, bool force);
    // Reopens the documents of the stored work areas in `window` (what the
    // manager lists as recoverable); returns how many were opened.
    int restoreDocuments(KZelvaMainWindow *window);
    // Closes every window and leaves the event loop; false when a window
    // vetoed its close (the windows closed before it stay closed).
    bool quit(bool force = false);
    // Tells the manager about the crash, then aborts the process.
    [[noreturn]] void crash();

    // Hands a file to the device service for another device of the user
    // ("cirraIpcCall" "sendFileToDevice", owner id "qoz-office"); the
    // request id, empty when the call was refused.
    QString sendToDevice(const QString &path, const QString &deviceId);

    QObject *manager() const;
    int windowId(const KZelvaMainWindow *window) const;
    KZelvaMainWindow *windowById(int id) const;

private:
    void setupWindow(KZelvaMainWindow *window, bool notifyPlugins);
    // Shows the window's current work area on its corner button.
    void updateWorkAreaButton(KZelvaMainWindow *window);
    // A command for the window's start page: shown in its tab, made on first use.
    void showStartPage(KZelvaMainWindow *window, const QString &command);
    void fillWorkAreaMenu(KZelvaMainWindow *window, QMenu *menu);
    void showTabMenu(KZelvaMainWindow *window, KZelvaTab *tab, const QPoint &pos);
    void openWithDialog(KZelvaMainWindow *window);
    void askSendToDevice(KZelvaMainWindow *window, KZelvaSubPage *page);

private Q_SLOTS:
    void onSendToDeviceDone(bool ok, QString requestId, CirraIpcResult result);

private:
    KWorkAreaPluginLoader *m_loader;
    std::unique_ptr<KWebIntegratedPanel> m_integratedPanel;
    int m_nextWindowId = 1;
    int m_untitled = 0;
    QString m_lastTargetDevice;
};
