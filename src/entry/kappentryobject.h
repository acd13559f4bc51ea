// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kappentrytypes.h>

#include <QObject>

/*
 * The app entry object the host gets from GetAppEntryObject(): its one
 * invokable operation opens the cloud service's transfer helper (or the
 * login flow). No data of its own; owned by the host, which deletes it.
 */
class KAppEntryObject : public QObject
{
    Q_OBJECT
public:
    explicit KAppEntryObject(QObject *parent = nullptr);

    Q_INVOKABLE void trigger(KAppObj app, KAppContext context);
};
