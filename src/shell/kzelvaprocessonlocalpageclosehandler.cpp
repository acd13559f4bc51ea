// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaprocessonlocalpageclosehandler.h"

#include <kzelvadoclosehelper.h>
#include <kzelvapage.h>
#include <kzelvapluginwidget.h>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

KZelvaProcessonLocalPageCloseHandler::KZelvaProcessonLocalPageCloseHandler(KZelvaPage *page, bool withSubPages,
                                                                           QObject *parent)
    : KZelvaCloseHandler(page, withSubPages, parent)
{
}

bool KZelvaProcessonLocalPageCloseHandler::qualifies(int pageType, bool quickStart)
{
    if (quickStart)
        return pageType != KZelvaPluginWidget::AppCenter && pageType != KZelvaPluginWidget::WebPage
               && pageType != KZelvaPluginWidget::ImageViewer;
    return pageType == LocalPageType;
}

void KZelvaProcessonLocalPageCloseHandler::onChildrenFinished(bool cancelled)
{
    QPointer<KZelvaPage> target = page();
    on_this_finished(cancelled);
    if (cancelled || !target || int(target->pageType()) != LocalPageType || !target->subPages().isEmpty())
        return;
    KZelvaDoCloseLogHelper::beforePostDoCloseEvent(target);
    QCoreApplication::postEvent(target, new QEvent(QEvent::Type(DoCloseEvent)));
}
