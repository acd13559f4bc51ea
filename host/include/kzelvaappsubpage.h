// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvasubpage.h"

#include <QSize>
#include <QVariantMap>

/*
 * A sub page of one of the suite's built-in applications, which draw their
 * tab icon by name: getPageTabIconInfo() tells the icon's size, its name in
 * the application manager and the name of the built-in fallback picture.
 * Stands in for those applications; owned like any sub page by its central
 * area.
 */
class KZELVASHELL_EXPORT KZelvaAppSubPage : public KZelvaSubPage
{
    Q_OBJECT
public:
    KZelvaAppSubPage(KZelvaPluginWidget::WidgetType type, const QString &title, const QString &iconName,
                     const QString &defaultIconName, QWidget *parent = nullptr);

    // {"icon_size": QSize, "icon_name": text, "icon_default_name": text}
    Q_INVOKABLE QVariantMap getPageTabIconInfo() const;

private:
    QString m_iconName;
    QString m_defaultIconName;
    QSize m_iconSize{28, 28};
};
