// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QLoggingCategory>

// Log category of the web views and the page-API bridge ("zelva.web").
Q_DECLARE_LOGGING_CATEGORY(lcWeb)
