// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMetaType>
#include <QString>
#include <QVariantMap>

/*
 * Value records the host declares and the work-area plug-in fills.
 *
 * KZelvaWorkAreaData describes one work area; KZelvaWorkAreaRecoverItem one
 * item (normally one tab) of it. Both are plain values: copy freely, compare
 * with operator==. Times are seconds since 1970-01-01 UTC.
 */
struct KZELVASHELL_EXPORT KZelvaWorkAreaData
{
    QString id;
    QString name;
    QString deviceType;
    QString deviceName;
    QString color;
    QString activeItemId;
    QString activeItemName;
    QString pid;
    QString lastPid;
    quint32 createDateTime = 0;
    quint32 lastRunDateTime = 0;
    qint32 posIndex = 0;
    qint32 newWorkAreaNumber = 0;
    bool isDefault = false;
    bool isNewCreate = false;
    bool forceSave = false;

    bool operator==(const KZelvaWorkAreaData &other) const;
    bool operator!=(const KZelvaWorkAreaData &other) const { return !(*this == other); }
};

struct KZELVASHELL_EXPORT KZelvaWorkAreaRecoverItem
{
    QString id;
    QString title;
    qint32 pageType = -1;
    qint32 tabIndex = -1;
    QString suffix;
    QString filePath;
    QString fileSize;
    QVariantMap extMap;
    bool bCrash = false;
    bool bLock = false;
    qint32 itemType = 0;
    qint32 itemCount = 0;

    bool operator==(const KZelvaWorkAreaRecoverItem &other) const;
    bool operator!=(const KZelvaWorkAreaRecoverItem &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(KZelvaWorkAreaData)
Q_DECLARE_METATYPE(KZelvaWorkAreaRecoverItem)
