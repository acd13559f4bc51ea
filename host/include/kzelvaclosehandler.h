// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>

class KZelvaMainWindow;
class KZelvaPage;
class KZelvaSubPage;

/*
 * The shell's close protocol. A close handler stands for one close target
 * (a sub page, a page, a main window, or any other object such as a
 * plug-in's work area) and holds child handlers through shared pointers.
 *
 * start() sends a plain-object target the query-close event (33069), then
 * runs the children one after another; the first child that reports
 * cancelled ends the run. A sub-page handler then asks about unsaved changes
 * (property "bSaveChanged", default true; see DirtyAnswer). After that the
 * virtual onChildrenFinished(cancelled) runs; its default reports through
 * on_this_finished(cancelled), which emits finished(cancelled) once.
 *
 * Closing: a handler that closes by itself (setSelfDoClose, default true)
 * closes its target as soon as it is accepted. When the root of a tree is
 * accepted, every target below it that did not close by itself is closed,
 * children before parents, right after finished() was emitted; the root's
 * own target only when the root closes by itself (a root whose starter
 * closes everything itself, such as a main window, turns this off with
 * setClosesTree(false)). A cancelled close closes nothing. Closing a
 * plain-object target posts it the do-close event (33070).
 *
 * Owner: whoever creates the root (QObject parent); children are shared by
 * their parent handler. GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaCloseHandler : public QObject
{
    Q_OBJECT
public:
    static constexpr int QueryCloseEvent = 33069;
    static constexpr int DoCloseEvent = 33070;

    // What the sub-page handler answers for a document with unsaved changes.
    enum class DirtyAnswer { Ask, Save, Discard, Cancel };

    explicit KZelvaCloseHandler(KZelvaSubPage *subPage, QObject *parent = nullptr);
    // With `withSubPages` the page's sub pages get a handler each as children.
    explicit KZelvaCloseHandler(KZelvaPage *page, bool withSubPages = false, QObject *parent = nullptr);
    explicit KZelvaCloseHandler(KZelvaMainWindow *window, QObject *parent = nullptr);
    // Any other target; it receives the query-close and do-close events.
    explicit KZelvaCloseHandler(QObject *target, QObject *parent = nullptr);
    ~KZelvaCloseHandler() override;

    QObject *target() const { return m_target; }
    KZelvaSubPage *subPage() const;
    KZelvaPage *page() const;
    KZelvaMainWindow *mainWindow() const;

    void addChild(const QSharedPointer<KZelvaCloseHandler> &child);
    QList<QSharedPointer<KZelvaCloseHandler>> children() const { return m_children; }
    KZelvaCloseHandler *parentHandler() const { return m_parentHandler; }

    void setSelfDoClose(bool on) { m_selfDoClose = on; }
    bool isSelfDoClose() const { return m_selfDoClose; }
    // Whether an accepted root closes the targets below it (default true).
    void setClosesTree(bool on) { m_closesTree = on; }
    bool closesTree() const { return m_closesTree; }
    bool isStarted() const { return m_started; }
    bool isFinished() const { return m_finished; }
    bool isCancelled() const { return m_cancelled; }
    bool isClosed() const { return m_closed; }

    // Begins the close; later calls do nothing.
    void start();
    // Closes the targets of this handler's tree now (children first); the
    // handler's own target too when `includeSelf`. Done at most once per handler.
    void doClose(bool includeSelf = true);

    // The answer the sub-page handlers give for unsaved changes. Ask shows a
    // window-modal question and goes on when it is answered; without a
    // screen to show it on (offscreen) it cancels.
    static void setDirtyAnswer(DirtyAnswer answer);
    static DirtyAnswer dirtyAnswer();

Q_SIGNALS:
    void finished(bool cancelled);

public Q_SLOTS:
    // Reports the handler's result; only the first report counts.
    void on_this_finished(bool cancelled);

protected:
    // Runs after every child reported (or the first one cancelled) and the
    // handler's own question was answered.
    virtual void onChildrenFinished(bool cancelled);

private:
    void runNextChild();
    void onChildFinished(bool cancelled);
    // Reports through onChildrenFinished(), at once or when the user answered.
    void askAboutUnsavedChanges();
    // Whether the close goes on after `answer`.
    bool applyDirtyAnswer(DirtyAnswer answer);
    void closeTarget();

    QPointer<QObject> m_target;
    QPointer<KZelvaCloseHandler> m_parentHandler;
    QList<QSharedPointer<KZelvaCloseHandler>> m_children;
    int m_nextChild = 0;
    bool m_selfDoClose = true;
    bool m_closesTree = true;
    bool m_started = false;
    bool m_finished = false;
    bool m_cancelled = false;
    bool m_closed = false;
};
