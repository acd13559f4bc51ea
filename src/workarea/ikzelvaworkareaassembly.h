// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class KZelvaWorkAreaManager;

/*
 * Builds the parts the manager drives but cannot link (menus, thumbnails,
 * popups, close handlers, label sync, bubbles) and hands them to it through
 * its typed setters. The module's entry installs one right after creating
 * the manager, which owns it; the manager calls it from its initialisation,
 * in the order the initialisation fixes. GUI thread.
 */
class IKZelvaWorkAreaAssembly
{
public:
    virtual ~IKZelvaWorkAreaAssembly() = default;
    // Menus, popups, close handlers, thumbnails when `withThumbnails`, and
    // the label sync (which starts listening to the service's broadcasts).
    virtual void createParts(KZelvaWorkAreaManager *manager, bool withThumbnails) = 0;
    // The mixed-transfer bubbles, at the end of the initialisation.
    virtual void startBubbles(KZelvaWorkAreaManager *manager) = 0;
};
