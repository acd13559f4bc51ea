// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvaworkareaassembly.h"

/*
 * Where the plug-in is put together: during the manager's initialisation it
 * makes the menu action manager, the popup and close-handler integration,
 * the thumbnail manager (when wanted) and the label-sync service, and at its
 * end the mixed-transfer bubbles, and hands each to the manager through its
 * typed setters. Installed by CreateManagerImpl; owned by the manager. GUI
 * thread.
 */
class KZelvaWorkAreaAssembly : public IKZelvaWorkAreaAssembly
{
public:
    void createParts(KZelvaWorkAreaManager *manager, bool withThumbnails) override;
    void startBubbles(KZelvaWorkAreaManager *manager) override;
};
