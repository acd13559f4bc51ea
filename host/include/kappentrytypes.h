// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QMetaType>
#include <QString>
#include <QVariantMap>

/*
 * Values the shell passes to an app entry object's trigger(): the app the
 * entry belongs to and the context it was triggered from. Plain values,
 * registered with the meta-type system by the application.
 */
struct KZELVASHELL_EXPORT KAppObj
{
    QString appId;
    QString name;
};

struct KZELVASHELL_EXPORT KAppContext
{
    QString source;
    QVariantMap params;
};

Q_DECLARE_METATYPE(KAppObj)
Q_DECLARE_METATYPE(KAppContext)
