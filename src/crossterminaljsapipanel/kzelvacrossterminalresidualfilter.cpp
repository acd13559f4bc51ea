// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalresidualfilter.h"

#include "kzelvaresidualrules.h"
#include "kzelvaworkareahelper.h"

#include <QDateTime>

namespace {

constexpr qint64 kMsecsPerDay = qint64(24) * 3600 * 1000;
const QLatin1String kFunction("generateWorkareaAndTagsJson");

QString timeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool holds(const KZelvaCrossTerminalResidualFilter::ItemCheck &check, const KZelvaWorkAreaRecoverItem &item)
{
    return check && check(item);
}

} // namespace

bool KZelvaCrossTerminalResidualFilter::isWithinDays(qint64 closedMs, qint64 nowMs, int maxDays)
{
    // A close in the future (another machine's clock) counts as today.
    const qint64 days = closedMs >= nowMs ? 0 : (nowMs - closedMs) / kMsecsPerDay;
    return days <= qint64(qMax(0, maxDays));
}

KZelvaCrossTerminalResidualFilter::Result
KZelvaCrossTerminalResidualFilter::filter(const Items &items, int maxDays, int maxVisible, qint64 nowMs,
                                          const Checks &checks)
{
    Result result;
    for (const KZelvaWorkAreaRecoverItem &item : items) {
        if (item.id.isEmpty()) {
            writeLog(0, QStringLiteral("%1 item is nullptr").arg(kFunction));
            continue;
        }
        const qint64 closed = KZelvaResidualRules::closedTime(item);
        if (closed < 0) {
            writeLog(0, QStringLiteral("%1, residualList invalidItem uid: %2 titleName: %3, suffix: %4 "
                                       "not container lastClosedTime")
                            .arg(kFunction, item.id, item.title, item.suffix));
            continue;
        }
        if (holds(checks.isOpen, item)) {
            writeLog(0, QStringLiteral("%1, residualList conatiner in workItem uid: %2 titleName: %3, suffix: %4")
                            .arg(kFunction, item.id, item.title, item.suffix));
            continue;
        }
        if (holds(checks.isFixedItem, item)) {
            writeLog(0, QStringLiteral("%1, residualList included fixedItem uid: %2 titleName: %3")
                            .arg(kFunction, item.id, item.title));
            continue;
        }
        if (holds(checks.isValidWorkAreaDoc, item)) {
            writeLog(0, QStringLiteral("%1, residualList isValidWorkAreaDocItem uid: %2 titleName: %3, suffix: %4")
                            .arg(kFunction, item.id, item.title, item.suffix));
            continue;
        }
        const bool recent = isWithinDays(closed, nowMs, maxDays);
        if (result.listed.size() >= maxVisible || !recent) {
            result.visible = true;
            if (!recent)
                result.invalidIds.append(item.id);
            writeLog(0, QStringLiteral("%1, residualList invalidItem uid: %2, itemType: %3, titleName: %4, "
                                       "suffix: %5, visibleCnt: %6, time: %7")
                            .arg(kFunction, item.id, QString::number(item.itemType), item.title, item.suffix,
                                 QString::number(result.listed.size()), timeText(closed)));
            continue;
        }
        if (item.itemType == 1 && checks.recordFileExists && !checks.recordFileExists(item.id)) {
            result.invalidIds.append(item.id);
            writeLog(0, QStringLiteral("%1, getResidualCfgFilePath file not exists uid: %2, titleName: %3, time: %4")
                            .arg(kFunction, item.id, item.title, timeText(closed)));
            continue;
        }
        result.listed.append(item);
    }
    return result;
}
