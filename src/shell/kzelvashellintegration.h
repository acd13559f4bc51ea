// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvawindowclosehandlers.h"
#include "ikzelvaworkareapopups.h"

#include <QObject>

class KZelvaWorkAreaManager;

/*
 * The window integration of this folder as the manager uses it: the
 * work-area popup (connected to the thumbnails and to the manager's
 * data-changed signal) and the main-window close handler. Made by the
 * module's assembly as a child of the manager. GUI thread.
 */
class KZelvaShellIntegration : public QObject, public IKZelvaWorkAreaPopups, public IKZelvaWindowCloseHandlers
{
    Q_OBJECT
public:
    explicit KZelvaShellIntegration(KZelvaWorkAreaManager *manager);

    QObject *openPopup(KZelvaMainWindow *window, const QRect &anchor) override;
    void closePopup(QObject *popup) override;
    void refreshPopup(QObject *popup) override;

    KZelvaCloseHandler *createMainWindowCloseHandler(KZelvaMainWindow *window) override;

private:
    KZelvaWorkAreaManager *m_manager;
};
