// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvashellintegration.h"

#include "kzelvamainwindowclosehandler.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareathumbnailmgr.h"
#include "kzelvaworkareawidget.h"

#include <kzelvamainwindow.h>

KZelvaShellIntegration::KZelvaShellIntegration(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
}

QObject *KZelvaShellIntegration::openPopup(KZelvaMainWindow *window, const QRect &anchor)
{
    if (!window)
        return nullptr;
    auto *popup = new KZelvaWorkAreaWidget(window, window);
    if (KZelvaWorkAreaThumbnailMgr *thumbnails = KZelvaWorkAreaThumbnailMgr::instance()) {
        connect(thumbnails, &KZelvaWorkAreaThumbnailMgr::restoreFinished, popup,
                &KZelvaWorkAreaWidget::onThumbnailChanged);
        connect(thumbnails, &KZelvaWorkAreaThumbnailMgr::updateFinished, popup,
                &KZelvaWorkAreaWidget::onThumbnailChanged);
    }
    connect(m_manager, &KZelvaWorkAreaManager::sigWorkAreaDataChanged, popup,
            &KZelvaWorkAreaWidget::onWorkAreaDataChanged);
    popup->popup(anchor);
    return popup;
}

void KZelvaShellIntegration::closePopup(QObject *popup)
{
    if (auto *widget = qobject_cast<KZelvaWorkAreaWidget *>(popup))
        widget->closeWidget();
}

void KZelvaShellIntegration::refreshPopup(QObject *popup)
{
    if (auto *widget = qobject_cast<KZelvaWorkAreaWidget *>(popup))
        widget->refreshPage();
}

KZelvaCloseHandler *KZelvaShellIntegration::createMainWindowCloseHandler(KZelvaMainWindow *window)
{
    return window ? new KZelvaMainWindowCloseHandler(window) : nullptr;
}
