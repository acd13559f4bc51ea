// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaclosehandler.h"

#include "kzelvadoclosehelper.h"
#include "kzelvamainwindow.h"
#include "kzelvapage.h"
#include "kzelvaqozsubpage.h"
#include "kzelvasubpage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMessageBox>

Q_LOGGING_CATEGORY(lcClose, "zelva.close", QtInfoMsg)

namespace {
KZelvaCloseHandler::DirtyAnswer g_dirtyAnswer = KZelvaCloseHandler::DirtyAnswer::Ask;

bool canShowDialogs()
{
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) && platform != QLatin1String("offscreen")
        && platform != QLatin1String("minimal");
}
} // namespace

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaSubPage *subPage, QObject *parent)
    : QObject(parent)
    , m_target(subPage)
{
}

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaPage *page, bool withSubPages, QObject *parent)
    : QObject(parent)
    , m_target(page)
{
    if (!withSubPages || !page)
        return;
    const QList<KZelvaSubPage *> pages = page->subPages();
    for (KZelvaSubPage *subPage : pages) {
        auto child = QSharedPointer<KZelvaCloseHandler>::create(subPage);
        child->setSelfDoClose(false);
        addChild(child);
    }
}

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaMainWindow *window, QObject *parent)
    : QObject(parent)
    , m_target(window)
{
}

KZelvaCloseHandler::KZelvaCloseHandler(QObject *target, QObject *parent)
    : QObject(parent)
    , m_target(target)
{
}

KZelvaCloseHandler::~KZelvaCloseHandler() = default;

KZelvaSubPage *KZelvaCloseHandler::subPage() const
{
    return qobject_cast<KZelvaSubPage *>(m_target.data());
}

KZelvaPage *KZelvaCloseHandler::page() const
{
    return qobject_cast<KZelvaPage *>(m_target.data());
}

KZelvaMainWindow *KZelvaCloseHandler::mainWindow() const
{
    return qobject_cast<KZelvaMainWindow *>(m_target.data());
}

void KZelvaCloseHandler::addChild(const QSharedPointer<KZelvaCloseHandler> &child)
{
    if (!child || child == this || m_started)
        return;
    child->m_parentHandler = this;
    m_children.append(child);
}

void KZelvaCloseHandler::setDirtyAnswer(DirtyAnswer answer)
{
    g_dirtyAnswer = answer;
}

KZelvaCloseHandler::DirtyAnswer KZelvaCloseHandler::dirtyAnswer()
{
    return g_dirtyAnswer;
}

void KZelvaCloseHandler::start()
{
    if (m_started)
        return;
    m_started = true;
    // Plain-object targets (a plug-in's work area) decide for themselves
    // what the query means; pages and windows are asked through children.
    if (m_target && !subPage() && !page() && !mainWindow()) {
        KZelvaDoCloseLogHelper::beforeQueryCloseEvent(m_target);
        QEvent query{QEvent::Type(QueryCloseEvent)};
        QCoreApplication::sendEvent(m_target, &query);
        KZelvaDoCloseLogHelper::afterQueryCloseEvent(m_target);
    }
    runNextChild();
}

void KZelvaCloseHandler::runNextChild()
{
    // Children run one at a time so the user is asked one question at a time,
    // and a cancel leaves the rest unasked.
    if (m_nextChild < m_children.size()) {
        const QSharedPointer<KZelvaCloseHandler> child = m_children.at(m_nextChild++);
        connect(child.data(), &KZelvaCloseHandler::finished, this, &KZelvaCloseHandler::onChildFinished,
                Qt::UniqueConnection);
        child->start();
        return;
    }
    askAboutUnsavedChanges();
}

void KZelvaCloseHandler::onChildFinished(bool cancelled)
{
    if (m_finished)
        return;
    if (cancelled) {
        m_nextChild = m_children.size();
        onChildrenFinished(true);
        return;
    }
    runNextChild();
}

void KZelvaCloseHandler::askAboutUnsavedChanges()
{
    KZelvaSubPage *target = subPage();
    const QVariant saveChanged = property("bSaveChanged");
    if (!target || !target->isModified() || (saveChanged.isValid() && !saveChanged.toBool())) {
        onChildrenFinished(false);
        return;
    }
    if (g_dirtyAnswer != DirtyAnswer::Ask) {
        onChildrenFinished(!applyDirtyAnswer(g_dirtyAnswer));
        return;
    }
    if (!canShowDialogs()) {
        qCInfo(lcClose) << "tab" << target->windowTitle() << "has unsaved changes and nobody to ask; close cancelled";
        onChildrenFinished(true);
        return;
    }
    // Window modal and answered later: no caller waits in a nested event loop.
    auto *box =
        new QMessageBox(QMessageBox::Question, QCoreApplication::translate("KZelvaCloseHandler", "Unsaved changes"),
                        QCoreApplication::translate("KZelvaCloseHandler", "Save the changes to \"%1\" before closing?")
                            .arg(target->windowTitle()),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, target->window());
    box->setObjectName(QStringLiteral("unsavedChangesBox"));
    box->setDefaultButton(QMessageBox::Save);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        const QMessageBox::StandardButton button = box->standardButton(box->clickedButton());
        const DirtyAnswer answer = button == QMessageBox::Save      ? DirtyAnswer::Save
                                   : button == QMessageBox::Discard ? DirtyAnswer::Discard
                                                                    : DirtyAnswer::Cancel;
        onChildrenFinished(!applyDirtyAnswer(answer));
    });
    box->open();
}

bool KZelvaCloseHandler::applyDirtyAnswer(DirtyAnswer answer)
{
    KZelvaSubPage *target = subPage();
    const QString title = target ? target->windowTitle() : QString();
    switch (answer) {
    case DirtyAnswer::Discard:
        return true;
    case DirtyAnswer::Save:
        if (auto *doc = qobject_cast<KZelvaQozSubPage *>(target); doc && doc->save())
            return true;
        qCInfo(lcClose) << "tab" << title << "could not be saved; close cancelled";
        return false;
    default: qCInfo(lcClose) << "tab" << title << "keeps its unsaved changes; close cancelled"; return false;
    }
}

void KZelvaCloseHandler::onChildrenFinished(bool cancelled)
{
    on_this_finished(cancelled);
}

void KZelvaCloseHandler::on_this_finished(bool cancelled)
{
    // A handler answers once; a second answer would close a target twice.
    if (m_finished)
        return;
    m_finished = true;
    m_cancelled = cancelled;
    QPointer<KZelvaCloseHandler> guard(this);
    Q_EMIT finished(cancelled);
    if (!guard || cancelled)
        return;
    if (!m_parentHandler) {
        if (m_closesTree) {
            doClose(m_selfDoClose);
        } else if (m_selfDoClose && !m_closed) {
            m_closed = true;
            closeTarget();
        }
    }
    else if (m_selfDoClose)
        doClose(true);
}

void KZelvaCloseHandler::doClose(bool includeSelf)
{
    for (const QSharedPointer<KZelvaCloseHandler> &child : qAsConst(m_children)) {
        if (child->m_finished && !child->m_cancelled)
            child->doClose(true);
    }
    if (includeSelf && !m_closed) {
        m_closed = true;
        closeTarget();
    }
}

void KZelvaCloseHandler::closeTarget()
{
    if (!m_target)
        return;
    if (KZelvaSubPage *target = subPage()) {
        if (KZelvaMainWindow *window = findRelativeZelvaMainWindow(target))
            window->closeSubPage(target, true);
        else
            target->deleteLater();
        return;
    }
    if (KZelvaMainWindow *window = mainWindow()) {
        window->closeWithoutQuery();
        return;
    }
    // Pages and plug-in objects close themselves from the event loop.
    KZelvaDoCloseLogHelper::beforePostDoCloseEvent(m_target);
    QCoreApplication::postEvent(m_target, new QEvent(QEvent::Type(DoCloseEvent)));
}
