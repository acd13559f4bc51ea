// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvawebsubpage.h"

#include "kzelvaworkareadata.h"

#include <QLabel>
#include <QVBoxLayout>

KZelvaWebSubPage::KZelvaWebSubPage(const QUrl &url, QWidget *parent)
    : KZelvaSubPage(KZelvaPluginWidget::WebPage, parent)
    , m_label(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    layout->addWidget(m_label);
    setUrl(url);
}

void KZelvaWebSubPage::setUrl(const QUrl &url)
{
    m_url = url;
    // A page without a title of its own is named after its site.
    setWindowTitle(url.host().isEmpty() ? url.toDisplayString() : url.host());
    m_label->setText(url.toDisplayString());
}

bool KZelvaWebSubPage::getRecoverItem(KZelvaWorkAreaRecoverItem *item) const
{
    if (!KZelvaSubPage::getRecoverItem(item))
        return false;
    item->extMap.insert(QStringLiteral("url"), m_url.toString());
    return true;
}
