// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QString>

class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkAreaManager;
struct KZelvaWorkAreaData;

/*
 * The life of a main window as the work areas see it: a window added (the
 * first one of the process, a further one, a new one for the default work
 * area), recovered or given its work areas again, a page about to become
 * active, the current window changing (the last active work area), and a
 * window about to close. Decides which work area a window shows. A child of
 * the manager, reaching the registry, store and parts through it. GUI thread.
 */
class KZelvaWindowLifecycle : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWindowLifecycle(KZelvaWorkAreaManager *manager);

    void mainWindowAdded(KZelvaMainWindow *window);
    bool mainWindowRecovered(KZelvaMainWindow *window);
    // Gives `window` the work area `id` (empty: the device's default one);
    // returns whether the window was given one.
    bool addWindow(KZelvaMainWindow *window, const QString &id, bool recover);
    // With `restoreRect` the new window takes its stored geometry, else it
    // is shown to the front as it is.
    void newDefaultWorkAreaWindow(bool restoreRect);
    void reCreateWorkArea(KZelvaMainWindow *window);
    // A new window that shows a closed window's work area again (`data`, from
    // its residual record): the live one of that id, else one made again with
    // the items stored for it, so the reopened documents take those items back.
    // When another window shows that work area, or the record names none, the
    // window gets a new work area as any new window does.
    KZelvaMainWindow *newWindowForClosedWorkArea(const KZelvaWorkAreaData &data);
    void subPageAboutActive(KZelvaSubPage *page);
    // Writes the current work area of `window` as the last active one.
    void storeLastActive(KZelvaMainWindow *window);
    void aboutQueryClose(KZelvaMainWindow *window);
    void aboutToClose(KZelvaMainWindow *window);
    // A suppressed lifecycle ignores current-window changes.
    bool isCurrentWindowChangeSuppressed() const { return m_suppressCurrentWindowChange; }

private:
    void addFirstWindow(KZelvaMainWindow *window);
    void addFilesFromBeforeUpdate(KZelvaMainWindow *window);
    void watchThumbnails(KZelvaMainWindow *window);
    int trimResidualRecords(KZelvaMainWindow *window);

    KZelvaWorkAreaManager *m_manager;
    bool m_suppressCurrentWindowChange = false;
};
