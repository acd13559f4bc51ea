// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include "kzelvamainwindow.h"
#include "kzelvapage.h"
#include "kzelvasubpage.h"

#include <QObject>
#include <QPointer>

/*
 * Base of the close handlers plug-ins give the shell. The shell starts a
 * handler when it wants to close its target; the handler answers exactly
 * once through on_this_finished(bool): true lets the close go on, false
 * stops it. The shell owns the handler and deletes it after the answer.
 */
class KZELVASHELL_EXPORT KZelvaCloseHandler : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaCloseHandler(KZelvaSubPage *subPage, QObject *parent = nullptr);
    explicit KZelvaCloseHandler(KZelvaPage *page, QObject *parent = nullptr);
    explicit KZelvaCloseHandler(KZelvaMainWindow *window, QObject *parent = nullptr);
    ~KZelvaCloseHandler() override;

    KZelvaSubPage *subPage() const { return m_subPage; }
    KZelvaPage *page() const { return m_page; }
    KZelvaMainWindow *mainWindow() const { return m_window; }
    bool isFinished() const { return m_finished; }
    // Whether the handler closes its target itself once the close is accepted.
    void setSelfDoClose(bool on) { m_selfDoClose = on; }
    bool isSelfDoClose() const { return m_selfDoClose; }

    // Begins the handler's work. The default accepts at once.
    virtual void start();

Q_SIGNALS:
    void finished(bool accepted);

public Q_SLOTS:
    void on_this_finished(bool accepted);

private:
    QPointer<KZelvaSubPage> m_subPage;
    QPointer<KZelvaPage> m_page;
    QPointer<KZelvaMainWindow> m_window;
    bool m_finished = false;
    bool m_selfDoClose = true;
};
