// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

namespace krt {
namespace kcc {

/*
 * The shell's configuration centre: values by key path
 * ("qozoffice/plugins/kzelvaworkarea/maxMMapFileSize"), kept in
 * configcenter.ini in the config directory and re-read on every flushRead,
 * so values written by another process are seen. GUI thread.
 */
KZELVASHELL_EXPORT QVariant flushRead(const QString &key, const QVariant &defaultValue,
                                      const QVariantMap &options = QVariantMap());
// Writes and syncs the value; `callback` (may be empty) gets whether it worked.
KZELVASHELL_EXPORT bool flushWrite(const QString &key, const QVariant &value,
                                   const std::function<void(bool)> &callback = {},
                                   const QVariantMap &extra = QVariantMap(),
                                   const QVariantMap &options = QVariantMap());

} // namespace kcc
} // namespace krt
