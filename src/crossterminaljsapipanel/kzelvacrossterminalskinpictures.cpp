// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalskinpictures.h"

#include "kzelvaworkareahelper.h"

#include <kxwebviewcontainer.h>

// The pictures live in this static library: its resources need registering.
static void initSkinPictureResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(kzelvacrossterminalpanel);
        return true;
    }();
    Q_UNUSED(registered)
}

bool KZelvaCrossTerminalSkinPictures::serveTo(KxWebViewContainer *container, const char *caller)
{
    initSkinPictureResources();
    const bool served = container && container->installSkinImageScheme();
    writeLog(served ? 0 : 2,
             QStringLiteral("%1: view %2 %3 the skin's pictures")
                 .arg(QLatin1String(caller), container ? container->pageName() : QStringLiteral("(none)"),
                      served ? QStringLiteral("loads") : QStringLiteral("has no web engine for")));
    return served;
}
