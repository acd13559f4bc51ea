// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminaltabicon.h"

#include <kzelvaapplication.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QScreen>

namespace {

int scaledIconSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return qRound(KZelvaCrossTerminalTabIcon::IconSize * (dpi > 0 ? dpi / 96.0 : 1.0));
}

QSize infoSize(const QVariant &value)
{
    if (value.canConvert<QSize>() && value.toSize().isValid())
        return value.toSize();
    const int side = value.toInt();
    return side > 0 && side <= 1024 ? QSize(side, side) : QSize(KZelvaCrossTerminalTabIcon::IconSize,
                                                                KZelvaCrossTerminalTabIcon::IconSize);
}

QString pngBase64(const QIcon &icon)
{
    const int side = scaledIconSize();
    const QPixmap pixmap = icon.pixmap(QSize(side, side));
    if (pixmap.isNull())
        return QString();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!pixmap.save(&buffer, "PNG"))
        return QString();
    return QString::fromLatin1(bytes.toBase64());
}

} // namespace

bool KZelvaCrossTerminalTabIcon::isIconPageType(int pageType)
{
    return pageType == 76 || pageType == 78 || pageType == 79 || pageType == 84;
}

QIcon KZelvaCrossTerminalTabIcon::hostIconByName(const QString &name)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app ? app->appIconByName(name) : QIcon();
}

QString KZelvaCrossTerminalTabIcon::resourcePath(const QSize &size, const QString &defaultName)
{
    return QStringLiteral(":/icons_svg/%1x%2/%3.svg")
        .arg(QString::number(size.width()), QString::number(size.height()), defaultName);
}

QString KZelvaCrossTerminalTabIcon::extraTabIcon(int pageType, const QIcon &favicon, const QVariantMap &iconInfo)
{
    // Pixmaps need a GUI application; a core-only process lists tabs without icons.
    if (!isIconPageType(pageType) || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QString();
    static QHash<int, QString> cache;
    const auto cached = cache.constFind(pageType);
    if (cached != cache.constEnd())
        return cached.value();
    QIcon icon = favicon;
    if (icon.isNull())
        icon = hostIconByName(iconInfo.value(QStringLiteral("icon_name")).toString());
    const QString defaultName = iconInfo.value(QStringLiteral("icon_default_name")).toString();
    // A name is one path component, so the resource path cannot leave its folder.
    if (icon.isNull() && !defaultName.isEmpty() && !defaultName.contains(QLatin1Char('/')))
        icon = QIcon(resourcePath(infoSize(iconInfo.value(QStringLiteral("icon_size"))), defaultName));
    const QString data = icon.isNull() ? QString() : pngBase64(icon);
    if (!data.isEmpty())
        cache.insert(pageType, data);
    return data;
}
