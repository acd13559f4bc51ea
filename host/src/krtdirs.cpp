// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "krtdirs.h"

#include "kzelvapaths.h"

#include <QDir>

namespace krt {
namespace dirs {

QString officeHome()
{
    const QString path = KZelvaPaths::cacheDir() + QStringLiteral("/office/");
    QDir().mkpath(path);
    return path;
}

} // namespace dirs
} // namespace krt
