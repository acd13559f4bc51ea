// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaappsubpage.h"

KZelvaAppSubPage::KZelvaAppSubPage(KZelvaPluginWidget::WidgetType type, const QString &title, const QString &iconName,
                                   const QString &defaultIconName, QWidget *parent)
    : KZelvaSubPage(type, parent)
    , m_iconName(iconName)
    , m_defaultIconName(defaultIconName)
{
    setWindowTitle(title);
}

QVariantMap KZelvaAppSubPage::getPageTabIconInfo() const
{
    return {{QStringLiteral("icon_size"), m_iconSize},
            {QStringLiteral("icon_name"), m_iconName},
            {QStringLiteral("icon_default_name"), m_defaultIconName}};
}
