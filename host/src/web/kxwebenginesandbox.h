// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * Whether the web engine may start its sandbox. Its zygote refuses to run as
 * root and dies when it cannot make the user namespace it sandboxes pages
 * in; either would take the whole shell down at the first web view. Before
 * the first view, prepare() checks once per process and, when the sandbox
 * cannot run, starts the web engine without it (QTWEBENGINE_DISABLE_SANDBOX)
 * with one warning line. A caller who already turned the sandbox off is
 * taken at their word.
 */
class KxWebEngineSandbox
{
public:
    enum class State {
        Usable,            // the web engine runs sandboxed
        TurnedOffByCaller, // QTWEBENGINE_DISABLE_SANDBOX or --no-sandbox was given
        RunningAsRoot,
        NoUserNamespace,
    };

    // Checks (once) and turns the sandbox off when it cannot start.
    static State prepare();
    // What prepare() would decide now, without changing anything.
    static State check();
};
