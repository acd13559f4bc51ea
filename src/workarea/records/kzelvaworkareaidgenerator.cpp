// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaidgenerator.h"

#include <kzelvaworkareahelper.h>


#include <kzelvahostutils.h>

#include <QDateTime>
#include <QSet>

#include <atomic>

namespace {

std::atomic<quint64> workAreaIdCounter{0};

// Ids read from stored records. An earlier process of the user counted from 0
// too: restarted inside the second of its last ids (a crash, then a quick
// start), this one would hand out the very ids its records still hold.
QSet<QString> &storedIds()
{
    static QSet<QString> ids;
    return ids;
}

constexpr int kIndependentAppTypeCount = 8;
const QLatin1String kCheckName("checkSettingDataGroupId");

void logCheck(const QString &message)
{
    writeModuleLog(KzLogModule::kShell, 0, message);
}

bool isIndependentGroup(const QString &group)
{
    if (group.compare(QLatin1String("IndependentDefault"), Qt::CaseInsensitive) == 0)
        return true;
    for (int type = 0; type < kIndependentAppTypeCount; ++type) {
        const QString name = independentAppTypeToString(type);
        if (!name.isEmpty() && group.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isAsciiDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !text.isEmpty();
}

} // namespace

QString KZelvaWorkAreaIdGenerator::newId()
{
    return newId(QDateTime::currentSecsSinceEpoch());
}

QString KZelvaWorkAreaIdGenerator::newId(qint64 nowSecsSinceEpoch)
{
    const QString second = QString::number(nowSecsSinceEpoch);
    QString id;
    do
        id = second + QString::number(++workAreaIdCounter);
    while (storedIds().contains(id));
    return id;
}

void KZelvaWorkAreaIdGenerator::noteStoredId(const QString &id)
{
    if (!id.isEmpty())
        storedIds().insert(id);
}

bool KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(const QString &group)
{
    return checkSettingDataGroupId(group, QDateTime::currentSecsSinceEpoch());
}

bool KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(const QString &group, qint64 nowSecsSinceEpoch)
{
    if (group.isEmpty()) {
        logCheck(QStringLiteral("%1, error, group is empty").arg(kCheckName));
        return false;
    }
    if (isIndependentGroup(group))
        return true;

    const QString now = QString::number(nowSecsSinceEpoch);
    if (group.size() < now.size()) {
        logCheck(QStringLiteral("%1, error, group size error, group=%2, nowtimeGroupString=%3")
                     .arg(kCheckName, group, now));
        return false;
    }
    // Digits only: toLongLong alone would also take a sign or blanks, and a
    // "-..." prefix would then pass as a time long past.
    const QString prefix = group.left(now.size());
    bool ok = false;
    const qint64 prefixTime = isAsciiDigits(prefix) ? prefix.toLongLong(&ok, 10) : 0;
    if (!ok) {
        logCheck(QStringLiteral("%1, error, group not number, group=%2").arg(kCheckName, prefix));
        return false;
    }
    if (prefixTime > nowSecsSinceEpoch) {
        logCheck(QStringLiteral("%1, error, group time over, group=%2, currentMaxGroup=%3")
                     .arg(kCheckName, group, now));
        return false;
    }
    logCheck(QStringLiteral("%1, valid group=%2").arg(kCheckName, group));
    return true;
}
