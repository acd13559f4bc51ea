// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QDateTime>
#include <QString>

/*
 * Default names and numbers of new work areas, and the record a new work
 * area starts with.
 *
 * Numbered style (the cross-terminal feature is available): "Default Work
 * Window", "New Work Window<N>" with N taken from nextWorkAreaNumber, which
 * then grows by one. Dated style: "Default Work Area", "Work Area<yyMMdd@hhmmss>"
 * (local time). All texts are translated in the context "KZelvaWorkArea".
 *
 * nextWorkAreaNumber is process-wide (starts at 1); the manager resets it
 * when it is constructed and stored records raise it (UnSerialize).
 * GUI thread only.
 */
class KZelvaWorkAreaDefaultName
{
public:
    struct Name
    {
        QString name;
        qint32 newWorkAreaNumber = 0;
    };

    // Name and number of a new work area; a numbered non-default name uses
    // up one number.
    static Name next(bool isDefault, bool numberedStyle,
                     const QDateTime &localNow = QDateTime::currentDateTime());

    // A new record: fresh id, default name and number, translated "PC" as
    // device type, the host name, creation time now, this process's pid,
    // isDefault as given; everything else empty, 0 or false.
    static KZelvaWorkAreaData newRecord(bool isDefault, bool numberedStyle);

    // The translated device type of this machine ("PC").
    static QString pcDeviceType();

    // The numbered style applies when the host supports the feature
    // "ZelvaWorkAreaCrossTerminal" and the plug-in setting
    // "crossTerminalEntranceVisible" is on; logs the setting it was given.
    static bool isCrossTerminalAvailable(bool featureSupported, bool entranceVisibleInReg);

    static qint32 nextWorkAreaNumber();
    static void setNextWorkAreaNumber(qint32 number);
    // A stored number at or above the counter moves the counter past it.
    static void noteStoredWorkAreaNumber(qint32 storedNumber);
};
