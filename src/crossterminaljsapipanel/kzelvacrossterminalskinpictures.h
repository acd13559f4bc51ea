// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class KxWebViewContainer;

/*
 * The panel pages' pictures of the current skin: the plug-in's pictures
 * under "zelvaimg://kzelvaworkarea/<name>" (kzelvacrossterminalpanel.qrc,
 * one folder per skin), served to the view by the shell's skin-picture
 * scheme.
 */
class KZelvaCrossTerminalSkinPictures
{
public:
    // Registers the pictures once per process and lets `container`'s pages
    // load them. False (logged) without a web engine view.
    static bool serveTo(KxWebViewContainer *container, const char *caller);
};
