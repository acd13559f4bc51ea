// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class KZelvaMainWindow;

/*
 * The tab pictures the popup shows (the thumbnail manager). Created by the
 * module's assembly during the manager's initialisation unless the
 * cross-terminal entrance shows its own previews; a child of the manager.
 * GUI thread.
 */
class IKZelvaWorkAreaThumbnails
{
public:
    virtual ~IKZelvaWorkAreaThumbnails() = default;
    // Follows the tab activations of `window` (pictures of the tab left).
    virtual void watchWindow(KZelvaMainWindow *window) = 0;
    // Takes a picture of the current sub page of `window`.
    virtual void updateCurrentSubPage(KZelvaMainWindow *window) = 0;
};
