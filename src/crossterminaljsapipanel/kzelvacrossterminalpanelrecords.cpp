// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelrecords.h"

#include "kzelvaworkarea.h"

#include <kzelvaapplication.h>
#include <kzelvahostutils.h>
#include <kzelvapluginwidget.h>

#include <QFileInfo>

#include <algorithm>

namespace {

bool isWebPage(int pageType)
{
    return pageType == KZelvaPluginWidget::WebPage || pageType == KZelvaPluginWidget::WebApp;
}

QString extText(const KZelvaWorkAreaRecoverItem &item, const char *key)
{
    return item.extMap.value(QLatin1String(key)).toString();
}

QString documentPath(const KZelvaWorkAreaRecoverItem &item)
{
    const QString url = extText(item, "url");
    if (!url.isEmpty())
        return url;
    const QString virtualPath = extText(item, "virtualPath");
    if (!virtualPath.isEmpty())
        return virtualPath;
    // QFileInfo would make an empty path the working directory.
    return item.filePath.isEmpty() ? QString() : QFileInfo(item.filePath).absolutePath();
}

} // namespace

QString KZelvaCrossTerminalPanelRecords::statusText(int status)
{
    switch (status) {
    case Current:
        return QStringLiteral("current");
    case Other:
        return QStringLiteral("other");
    default:
        return QStringLiteral("none");
    }
}

int KZelvaCrossTerminalPanelRecords::windowStatus(const KZelvaMainWindow *window)
{
    if (!window)
        return None;
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->currentMainWindow() == window ? Current : Other;
}

QJsonObject KZelvaCrossTerminalPanelRecords::tagRecord(const KZelvaWorkAreaRecoverItem &item,
                                                       const TagContext &context)
{
    const QString typeText = convertWidgetType(KZelvaPluginWidget::WidgetType(item.pageType));
    QJsonObject tag;
    tag.insert(QStringLiteral("tagId"), item.id);
    tag.insert(QStringLiteral("name"), item.title);
    if (!isWebPage(item.pageType)) {
        tag.insert(QStringLiteral("path"), documentPath(item));
        tag.insert(QStringLiteral("size"), item.fileSize);
    }
    tag.insert(QStringLiteral("isActive"), !item.id.isEmpty() && item.id == context.activeItemId);
    tag.insert(QStringLiteral("type"), typeText);
    if (!context.webSuffix.isEmpty()) {
        tag.insert(QStringLiteral("suffix"), context.webSuffix);
        tag.insert(QStringLiteral("pluginIcon"), false);
        tag.insert(QStringLiteral("name"), QStringLiteral("%1.%2").arg(item.title, context.webSuffix));
    } else if (item.suffix.isEmpty()) {
        tag.insert(QStringLiteral("suffix"), QStringLiteral("workarea_%1").arg(typeText));
        tag.insert(QStringLiteral("pluginIcon"), true);
    } else {
        tag.insert(QStringLiteral("suffix"), item.suffix);
        tag.insert(QStringLiteral("pluginIcon"), false);
    }
    tag.insert(QStringLiteral("isDirty"), item.extMap.value(QStringLiteral("isDirty")).toBool());
    tag.insert(QStringLiteral("lock"), item.bLock);
    tag.insert(QStringLiteral("isOpen"), context.workAreaOpen && context.documentOpen);
    if (context.withLastAccessTime)
        tag.insert(QStringLiteral("lastAccessTime"), context.lastAccessTime);
    tag.insert(QStringLiteral("isResidual"), item.extMap.value(QStringLiteral("isResidual"), false).toBool());
    tag.insert(QStringLiteral("workAreaId"), context.workAreaId);
    tag.insert(QStringLiteral("status"), statusText(context.status));
    tag.insert(QStringLiteral("itemType"), item.itemType);
    tag.insert(QStringLiteral("itemCount"), item.itemCount);
    return tag;
}

QJsonObject KZelvaCrossTerminalPanelRecords::workAreaRecord(const KZelvaWorkArea *workArea, int status,
                                                            const QJsonArray &tags)
{
    if (!workArea)
        return {};
    const KZelvaWorkAreaData &data = workArea->data();
    QJsonObject record;
    record.insert(QStringLiteral("workAreaId"), data.id);
    record.insert(QStringLiteral("name"), data.name);
    record.insert(QStringLiteral("type"), data.deviceType);
    record.insert(QStringLiteral("deviceName"), data.deviceName);
    record.insert(QStringLiteral("tagNum"), workArea->itemCount());
    record.insert(QStringLiteral("activeTagName"), data.activeItemName);
    record.insert(QStringLiteral("customColor"), data.color);
    record.insert(QStringLiteral("status"), statusText(status));
    record.insert(QStringLiteral("isDefault"), data.isDefault);
    record.insert(QStringLiteral("isVisible"), workArea->isVisible());
    record.insert(QStringLiteral("forceSave"), data.forceSave);
    record.insert(QStringLiteral("Tags"), tags);
    return record;
}

bool KZelvaCrossTerminalPanelRecords::listsBefore(const KZelvaWorkAreaData &a, const KZelvaWorkAreaData &b)
{
    const bool aIndexed = a.posIndex != -1;
    const bool bIndexed = b.posIndex != -1;
    if (aIndexed != bIndexed)
        return aIndexed;
    if (aIndexed)
        return a.posIndex < b.posIndex;
    return a.createDateTime < b.createDateTime;
}

void KZelvaCrossTerminalPanelRecords::sortWorkAreas(QList<KZelvaWorkArea *> *workAreas)
{
    std::stable_sort(workAreas->begin(), workAreas->end(), [](const KZelvaWorkArea *a, const KZelvaWorkArea *b) {
        return listsBefore(a->data(), b->data());
    });
}
