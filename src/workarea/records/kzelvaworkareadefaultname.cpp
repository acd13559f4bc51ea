// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareadefaultname.h"

#include "kzelvaworkareaidgenerator.h"

#include <kzelvaworkareahelper.h>

#include <QCoreApplication>
#include <QSysInfo>

#include <limits>

namespace {

qint32 nextNumber = 1;

const char kContext[] = "KZelvaWorkArea";

// Callers mark their texts with QT_TRANSLATE_NOOP so that lupdate finds them.
QString translated(const char *text)
{
    return QCoreApplication::translate(kContext, text);
}

} // namespace

KZelvaWorkAreaDefaultName::Name KZelvaWorkAreaDefaultName::next(bool isDefault, bool numberedStyle,
                                                                const QDateTime &localNow)
{
    Name result;
    if (isDefault) {
        result.name = numberedStyle
            ? translated(QT_TRANSLATE_NOOP("KZelvaWorkArea", "Default Work Window"))
            : translated(QT_TRANSLATE_NOOP("KZelvaWorkArea", "Default Work Area"));
        return result;
    }
    result.newWorkAreaNumber = nextNumber;
    if (numberedStyle) {
        result.name = translated(QT_TRANSLATE_NOOP("KZelvaWorkArea", "New Work Window"))
            + QString::number(nextNumber);
        if (nextNumber < std::numeric_limits<qint32>::max())
            ++nextNumber;
    } else {
        result.name = translated(QT_TRANSLATE_NOOP("KZelvaWorkArea", "Work Area"))
            + localNow.toString(QStringLiteral("yyMMdd@hhmmss"));
    }
    return result;
}

KZelvaWorkAreaData KZelvaWorkAreaDefaultName::newRecord(bool isDefault, bool numberedStyle)
{
    const QDateTime now = QDateTime::currentDateTime();
    const Name name = next(isDefault, numberedStyle, now);
    KZelvaWorkAreaData data;
    data.id = KZelvaWorkAreaIdGenerator::newId(now.toSecsSinceEpoch());
    data.name = name.name;
    data.newWorkAreaNumber = name.newWorkAreaNumber;
    data.deviceType = pcDeviceType();
    data.deviceName = QSysInfo::machineHostName();
    data.isDefault = isDefault;
    data.createDateTime = quint32(now.toSecsSinceEpoch());
    data.pid = QString::number(QCoreApplication::applicationPid());
    data.forceSave = false;
    return data;
}

QString KZelvaWorkAreaDefaultName::pcDeviceType()
{
    return translated(QT_TRANSLATE_NOOP("KZelvaWorkArea", "PC"));
}

bool KZelvaWorkAreaDefaultName::isCrossTerminalAvailable(bool featureSupported, bool entranceVisibleInReg)
{
    writeLog(0, QStringLiteral("isCrossTerminalAvailable : bEntranceVisibleInReg = %1")
                          .arg(int(entranceVisibleInReg)));
    return featureSupported && entranceVisibleInReg;
}

qint32 KZelvaWorkAreaDefaultName::nextWorkAreaNumber()
{
    return nextNumber;
}

void KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(qint32 number)
{
    nextNumber = number;
}

void KZelvaWorkAreaDefaultName::noteStoredWorkAreaNumber(qint32 storedNumber)
{
    if (storedNumber >= nextNumber && storedNumber < std::numeric_limits<qint32>::max())
        nextNumber = storedNumber + 1;
}
