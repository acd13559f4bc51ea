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
 * never reset, so two ids of one process never repeat. Ids are compared as
 * text. Stateless apart from that counter (atomic; any thread).
 */
class KZelvaWorkAreaIdGenerator
{
public:
    static QString newId();
    static QString newId(qint64 nowSecsSinceEpoch);

    // Whether `group` may be read as a work-area group: an independent
    // application type name or "IndependentDefault" (any case), or a name
    // whose leading digits (as many as the current time has) are a time not
    // after now. Logs its verdict under the module "kzelvashell".
    static bool checkSettingDataGroupId(const QString &group);
    static bool checkSettingDataGroupId(const QString &group, qint64 nowSecsSinceEpoch);
};
