// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaclosehandler.h>

#include <QPointer>

class KZelvaWorkArea;

/*
 * Close handler of one work area: asks every tab of the work area (its
 * children, "bSaveChanged" = !force) and, when none vetoed, writes the
 * window's residual record from the work area's tabs
 * (saveWindowResidualCfgFile). A cancelled close marks the work area
 * "closeHandlerAbort" and leaves it as it was. The work area itself gets
 * the query-close event when the handler starts. Child of a main-window
 * close handler; GUI thread.
 */
class KZelvaWorkAreaCloseHandler : public KZelvaCloseHandler
{
    Q_OBJECT
public:
    KZelvaWorkAreaCloseHandler(KZelvaWorkArea *workArea, bool forceClose, QObject *parent = nullptr);

    KZelvaWorkArea *workArea() const;
    bool isForceClose() const { return m_forceClose; }

protected:
    void onChildrenFinished(bool cancelled) override;

private:
    void saveWindowResidualCfgFile(bool cancelled);

    bool m_forceClose;
    bool m_wasMarkedClosed;
};
