// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapage.h"

#include "kzelvaclosehandler.h"
#include "kzelvamainwindow.h"
#include "kzelvasubpage.h"

#include <QEvent>

KZelvaPage::KZelvaPage(KZelvaPluginWidget::WidgetType type, QObject *parent)
    : QObject(parent)
    , m_type(type)
{
}

QList<KZelvaSubPage *> KZelvaPage::subPages() const
{
    QList<KZelvaSubPage *> result;
    for (const QPointer<KZelvaSubPage> &page : m_subPages) {
        if (page)
            result.append(page);
    }
    return result;
}

bool KZelvaPage::event(QEvent *event)
{
    if (event->type() == QEvent::Type(KZelvaCloseHandler::DoCloseEvent)) {
        const QList<KZelvaSubPage *> pages = subPages();
        for (KZelvaSubPage *page : pages) {
            if (KZelvaMainWindow *window = findRelativeZelvaMainWindow(page))
                window->closeSubPage(page, true);
        }
        return true;
    }
    return QObject::event(event);
}

void KZelvaPage::executeCommand(const QString &command)
{
    // The stand-in's pages keep the last few commands for the automation interface.
    m_commands.append(command);
    if (m_commands.size() > 32)
        m_commands.removeFirst();
    Q_EMIT commandReceived(command);
}
