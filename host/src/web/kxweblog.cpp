// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxweblog.h"

Q_LOGGING_CATEGORY(lcWeb, "zelva.web", QtInfoMsg)
