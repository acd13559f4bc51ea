// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareadata.h"

bool KZelvaWorkAreaData::operator==(const KZelvaWorkAreaData &o) const
{
    return id == o.id && name == o.name && deviceType == o.deviceType
        && deviceName == o.deviceName && color == o.color && activeItemId == o.activeItemId
        && activeItemName == o.activeItemName && pid == o.pid && lastPid == o.lastPid
        && createDateTime == o.createDateTime && lastRunDateTime == o.lastRunDateTime
        && posIndex == o.posIndex && newWorkAreaNumber == o.newWorkAreaNumber
        && isDefault == o.isDefault && isNewCreate == o.isNewCreate && forceSave == o.forceSave;
}

bool KZelvaWorkAreaRecoverItem::operator==(const KZelvaWorkAreaRecoverItem &o) const
{
    return id == o.id && title == o.title && pageType == o.pageType && tabIndex == o.tabIndex
        && suffix == o.suffix && filePath == o.filePath && fileSize == o.fileSize
        && extMap == o.extMap && bCrash == o.bCrash && bLock == o.bLock
        && itemType == o.itemType && itemCount == o.itemCount;
}
