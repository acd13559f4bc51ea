// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMap>
#include <QString>

/*
 * The shell's data-collection (usage event) service. Each general event is
 * appended as one JSON line {"time":..,"event":..,"args":{..}} to
 * dc-events.jsonl in the runtime directory. Thread-safe.
 */
class KZELVASHELL_EXPORT KDcInfo
{
public:
    void postGeneralEvent(const QString &event, const QMap<QString, QString> &args = {});
    QString eventFile() const;
};

KZELVASHELL_EXPORT KDcInfo *getDcInfo();
