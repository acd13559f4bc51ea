// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

class QObject;

/*
 * The shell's close log: brackets every query-close and do-close event a
 * close target handles, so a stuck close can be traced. Lines go to the
 * host logger under "closelog".
 */
class KZELVASHELL_EXPORT KZelvaDoCloseLogHelper
{
public:
    static void beforeQueryCloseEvent(const QObject *target);
    static void afterQueryCloseEvent(const QObject *target);
    static void beforeDoCloseEvent(const QObject *target);
    static void afterDoCloseEvent(const QObject *target);
    static void beforePostDoCloseEvent(const QObject *target);
};
