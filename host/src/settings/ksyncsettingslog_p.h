// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QLoggingCategory>

// "zelva.settings": every log line of the settings service.
Q_DECLARE_LOGGING_CATEGORY(lcSyncSettings)
