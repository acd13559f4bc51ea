// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * Identifiers of work areas and items, and the check applied to a settings
 * group name before it is read as a stored work area.
 *
 * An id is the decimal seconds since 1970-01-01 UTC followed directly by the
 * process-wide counter workAreaIdCounter, incremented before each use and
 * never reset, so two ids of one process never repeat. An id noted as read
 * from a stored record is skipped (the next counter value is taken), so a
 * process started inside the second of an earlier one's last ids never
 * hands them out again. Ids are compared as text. The counter is atomic; the
 * noted ids belong to the GUI thread, where ids are made.
 */
class KZelvaWorkAreaIdGenerator
{
public:
    static QString newId();
    static QString newId(qint64 nowSecsSinceEpoch);
    // `id` (of a work area or an item) was read from a stored record.
    static void noteStoredId(const QString &id);

    // Whether `group` may be read as a work-area group: an independent
    // application type name or "IndependentDefault" (any case), or a name
    // whose leading digits (as many as the current time has) are a time not
    // after now. Logs its verdict under the module "kzelvashell".
    static bool checkSettingDataGroupId(const QString &group);
    static bool checkSettingDataGroupId(const QString &group, qint64 nowSecsSinceEpoch);
};
