// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class KZelvaCloseHandler;
class KZelvaMainWindow;

/*
 * Makes the close handler of a main window (the close protocol of its work
 * areas). GUI thread.
 */
class IKZelvaWindowCloseHandlers
{
public:
    virtual ~IKZelvaWindowCloseHandlers() = default;
    // A new handler the host owns, or null.
    virtual KZelvaCloseHandler *createMainWindowCloseHandler(KZelvaMainWindow *window) = 0;
};
