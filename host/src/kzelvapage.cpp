// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapage.h"

#include "kzelvasubpage.h"

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
