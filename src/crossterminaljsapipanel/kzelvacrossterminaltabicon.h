// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QIcon>
#include <QString>
#include <QVariantMap>

/*
 * The "extraTabIcon" of the tabs whose page types draw their own icon
 * (76, 78, 79, 84): a 28 x 28 (DPI scaled) PNG, Base64 encoded. The icon is
 * the browser favicon when the caller has one, else the one the page's
 * icon info names ("icon_size", "icon_name", "icon_default_name"). The data
 * is kept per page type for the life of the process. GUI thread.
 */
class KZelvaCrossTerminalTabIcon
{
public:
    static constexpr int IconSize = 28;

    static bool isIconPageType(int pageType);
    // Empty when the page type draws no icon of its own or no icon is found.
    static QString extraTabIcon(int pageType, const QIcon &favicon, const QVariantMap &iconInfo);
    // The host application manager's icon of that name; null when it has
    // none (the resource icon is taken then).
    static QIcon hostIconByName(const QString &name);
    // Resource path of a default icon: ":/icons_svg/<w>x<h>/<name>.svg".
    static QString resourcePath(const QSize &size, const QString &defaultName);
};
