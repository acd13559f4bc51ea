// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaclosehandler.h"

#include "kzelvamainwindow.h"
#include "kzelvapage.h"
#include "kzelvasubpage.h"

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaSubPage *subPage, QObject *parent)
    : QObject(parent)
    , m_subPage(subPage)
{
}

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaPage *page, QObject *parent)
    : QObject(parent)
    , m_page(page)
{
}

KZelvaCloseHandler::KZelvaCloseHandler(KZelvaMainWindow *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
}

KZelvaCloseHandler::~KZelvaCloseHandler() = default;

void KZelvaCloseHandler::start()
{
    on_this_finished(true);
}

void KZelvaCloseHandler::on_this_finished(bool accepted)
{
    // A handler answers once; a second answer would close a target twice.
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished(accepted);
}
