// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaresidualrules.h"

#include <QPair>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {
constexpr qint64 kMsecsPerDay = qint64(24) * 3600 * 1000;
}

qint64 KZelvaResidualRules::closedTime(const KZelvaWorkAreaRecoverItem &item)
{
    const QVariant value = item.extMap.value(QStringLiteral("lastClosedDateTime"));
    bool ok = false;
    const qint64 ms = value.toString().toLongLong(&ok);
    return ok && ms >= 0 ? ms : -1;
}

void KZelvaResidualRules::sortNewestFirst(Items *items)
{
    // Two closes in one millisecond: the one recorded later is the newer.
    QVector<QPair<qint64, int>> keys;
    keys.reserve(items->size());
    for (int i = 0; i < items->size(); ++i)
        keys.append({closedTime(items->at(i)), i});
    std::sort(keys.begin(), keys.end(), [](const QPair<qint64, int> &a, const QPair<qint64, int> &b) {
        if (a.first != b.first)
            return a.first > b.first;
        return a.first < 0 ? a.second < b.second : a.second > b.second;
    });
    Items sorted;
    sorted.reserve(items->size());
    for (const QPair<qint64, int> &key : qAsConst(keys))
        sorted.append(items->at(key.second));
    *items = sorted;
}

bool KZelvaResidualRules::isDocument(const KZelvaWorkAreaRecoverItem &item)
{
    if (item.filePath.isEmpty())
        return false;
    // Web pages keep their address in the path field.
    const QUrl url(item.filePath);
    return url.scheme().size() <= 1;
}

QString KZelvaResidualRules::cloudFileId(const KZelvaWorkAreaRecoverItem &item)
{
    for (const char *key : {"recoverFileId", "fileId", "File_ID"}) {
        const QString id = item.extMap.value(QLatin1String(key)).toString();
        if (!id.isEmpty())
            return id;
    }
    return QString();
}

QStringList KZelvaResidualRules::invalidItemIds(const Items &items, int maxCount, int maxDays, qint64 nowMs,
                                                const FileExists &fileExists)
{
    Items sorted = items;
    sortNewestFirst(&sorted);
    const qint64 oldest = nowMs - qint64(qMax(0, maxDays)) * kMsecsPerDay;
    QStringList invalid;
    int k = 1;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(sorted)) {
        const qint64 closed = closedTime(item);
        const bool kept = closed >= 0 && k <= maxCount && closed >= oldest
            && (!isDocument(item) || (fileExists && fileExists(item.filePath)));
        if (kept)
            ++k;
        else
            invalid.append(item.id);
    }
    return invalid;
}

QStringList KZelvaResidualRules::duplicateItemIds(const Items &items)
{
    Items sorted = items;
    sortNewestFirst(&sorted);
    QStringList duplicates;
    QSet<QString> documents;
    QSet<QString> cloudIds;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(sorted)) {
        const QString document = item.filePath.isEmpty()
            ? QString()
            : QString::number(item.pageType) + QLatin1Char(':') + item.filePath;
        const QString cloud = cloudFileId(item);
        if ((!document.isEmpty() && documents.contains(document)) || (!cloud.isEmpty() && cloudIds.contains(cloud))) {
            duplicates.append(item.id);
            continue;
        }
        if (!document.isEmpty())
            documents.insert(document);
        if (!cloud.isEmpty())
            cloudIds.insert(cloud);
    }
    return duplicates;
}

bool KZelvaResidualRules::isSavedCloseMode(int closeMode)
{
    return closeMode == 0 || closeMode == 1 || closeMode == 5 || closeMode == 11;
}

bool KZelvaResidualRules::isDocumentWidgetType(int widgetType)
{
    static constexpr int kTypes[] = {1, 3, 4, 5, 11, 17, 21, 27, 38, 48};
    return std::find(std::begin(kTypes), std::end(kTypes), widgetType) != std::end(kTypes);
}
