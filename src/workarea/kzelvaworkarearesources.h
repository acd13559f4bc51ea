// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The plug-in's icons (compiled into this library, handed to the
 * application's icon registry by name) and its skin package
 * "kzelvaworkarea". Registered when the popup first opens, unregistered at
 * teardown. GUI thread.
 */
class KZelvaWorkAreaResources
{
public:
    // The application icon name of the work-area icon.
    static QString workAreaIconName();
    // Registers what is not registered yet; true when all is registered.
    static bool ensureRegistered();
    static void unregister();
    static bool isRegistered();
};
