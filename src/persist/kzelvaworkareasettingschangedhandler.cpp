// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareasettingschangedhandler.h"

#include "kzelvaworkareahelper.h"
#include "kzelvaworkareasettingswrapper.h"

#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvaclosehandler.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>

#include <QCoreApplication>
#include <QEvent>

KZelvaWorkAreaSettingsChangedHandler::KZelvaWorkAreaSettingsChangedHandler(KZelvaWorkAreaSettingsWrapper *wrapper,
                                                                           Steps steps, QObject *parent)
    : QObject(parent)
    , m_wrapper(wrapper)
    , m_steps(std::move(steps))
{
}

void KZelvaWorkAreaSettingsChangedHandler::onSettingsAboutChanged()
{
    if (m_running)
        return;
    m_running = true;
    m_waiting = true;
    if (m_steps.saveAllWindows)
        m_steps.saveAllWindows();

    KZelvaApplication *app = KZelvaApplication::instance();
    m_kept = app ? app->currentMainWindow() : nullptr;
    const QList<KZelvaMainWindow *> windows = app ? app->mainWindows() : QList<KZelvaMainWindow *>();
    for (KZelvaMainWindow *window : windows) {
        if (window == m_kept)
            continue;
        window->setProperty("ForceClose", true);
        window->hide();
        connect(window, &QObject::destroyed, this, &KZelvaWorkAreaSettingsChangedHandler::onMainWindowDestroy);
        m_closing.append(window);
        window->close();
    }

    KZelvaCloseHandler *handler = m_kept && m_steps.createCloseHandler ? m_steps.createCloseHandler(m_kept) : nullptr;
    if (handler) {
        handler->setParent(this);
        handler->setSelfDoClose(false);
        connect(handler, &KZelvaCloseHandler::finished, this, &KZelvaWorkAreaSettingsChangedHandler::onCloseHandlerFinished);
        handler->start();
    } else {
        // Without a close handler the kept window's pages close directly.
        if (m_kept) {
            const QList<KZelvaSubPage *> pages = m_kept->centralArea()->subPages();
            for (KZelvaSubPage *page : pages)
                m_kept->closeSubPage(page, true);
        }
        onCloseHandlerFinished(true);
    }
}

void KZelvaWorkAreaSettingsChangedHandler::onMainWindowDestroy(QObject *window)
{
    m_closing.removeAll(window);
    if (m_running && m_closing.isEmpty() && !m_waiting)
        finish();
}

void KZelvaWorkAreaSettingsChangedHandler::onCloseHandlerFinished(bool)
{
    // Finish after the close handler has returned from its report.
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(FinishEvent)));
}

bool KZelvaWorkAreaSettingsChangedHandler::event(QEvent *event)
{
    if (event->type() == QEvent::Type(FinishEvent)) {
        m_waiting = false;
        if (m_running && m_closing.isEmpty())
            finish();
        return true;
    }
    return QObject::event(event);
}

void KZelvaWorkAreaSettingsChangedHandler::finish()
{
    if (!m_closing.isEmpty())
        writeLog(2, QStringLiteral("onAllMainWindowCloseFinish not empty"));
    if (m_steps.clearWindows)
        m_steps.clearWindows();
    m_wrapper->refreshUser();
    Q_EMIT m_wrapper->settingsChanged();
}

void KZelvaWorkAreaSettingsChangedHandler::onSettingsChangeded()
{
    const QString lastActive = m_steps.lastActiveWorkAreaId ? m_steps.lastActiveWorkAreaId() : QString();
    if (m_kept && m_steps.restore)
        m_steps.restore(m_kept, lastActive);
    m_kept = nullptr;
    m_running = false;
}
