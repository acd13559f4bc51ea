// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaclosehandler.h>

#include <QSet>

class KZelvaMainWindow;
class KZelvaSubPage;

/*
 * Close handler of a main window, handed to the shell by the manager
 * (createMainWindowCloseHandler). Its children: one work-area handler per
 * work area of the window (the current one first), the process-local page
 * handlers and the window's own close objects (the order depends on
 * independent mode), and a sub-page handler for any tab nobody else asks.
 * A window closed with "ForceClose" never asks about unsaved changes. When
 * the close is cancelled, a residual record this close wrote for the window
 * is taken back. Owned by whoever runs it (the window); GUI thread.
 */
class KZelvaMainWindowCloseHandler : public KZelvaCloseHandler
{
    Q_OBJECT
public:
    explicit KZelvaMainWindowCloseHandler(KZelvaMainWindow *window, QObject *parent = nullptr);

    // Window property holding the residual id of the record its close wrote.
    static const char *residualIdProperty() { return "residualUuid"; }

protected:
    void onChildrenFinished(bool cancelled) override;

private:
    void addProcessOnLocalPageHandlers(KZelvaMainWindow *window, bool withSubPages);
    void addWindowCloseObjects(KZelvaMainWindow *window);
    void addSubPageHandler(KZelvaSubPage *page);
    void noteCovered(const QSharedPointer<KZelvaCloseHandler> &handler);

    bool m_forceClose = false;
    QString m_residualIdBefore;
    QSet<const QObject *> m_covered;
};
