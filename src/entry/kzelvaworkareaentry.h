// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkarea_export.h"

class QObject;

/*
 * The C entry points the host finds with dlsym. Everything else in the
 * module is hidden. All of them run on the host's GUI thread and never
 * throw; only DeleteManagerImpl depends on an earlier CreateManagerImpl.
 */
extern "C" {
KZELVAWORKAREA_EXPORT void CreateManagerImpl();
KZELVAWORKAREA_EXPORT void DeleteManagerImpl();
// Copies the manager's published name (25 characters, no terminating zero)
// into `buffer`; returns 0, or 25 without writing when the buffer is null or
// shorter than that.
KZELVAWORKAREA_EXPORT int GetManagerName(char *buffer, int size);
KZELVAWORKAREA_EXPORT void RegisterCrossTerminalPanelImpl();
KZELVAWORKAREA_EXPORT void RegisterSoftbusCenterManagerImpl();
KZELVAWORKAREA_EXPORT void *GetExtensionJsApiObj();
// A new KAppEntryObject without parent; the caller owns it.
KZELVAWORKAREA_EXPORT QObject *GetAppEntryObject();
}

// Registration function handed out by GetExtensionJsApiObj().
using KzScriptCoreRegistrar = int (*)(void *a, void *b);
