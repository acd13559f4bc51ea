// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

namespace krt {
namespace dirs {

/*
 * The office home directory: where the suite and its plug-ins keep per-user
 * data that is not settings (preview caches, say). It is "office/" below
 * KZelvaPaths::cacheDir(), returned with a trailing '/' and created on demand.
 */
KZELVASHELL_EXPORT QString officeHome();

} // namespace dirs
} // namespace krt
