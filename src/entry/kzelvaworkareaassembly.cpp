// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaassembly.h"

#include "kzelvaatomixbubblemgr.h"
#include "kzelvalabelsyncpart.h"
#include "kzelvashellintegration.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareathumbnailmgr.h"

#include <kfuncswitch.h>

void KZelvaWorkAreaAssembly::createParts(KZelvaWorkAreaManager *manager, bool withThumbnails)
{
    manager->setMenus(new KZelvaWorkAreaMenuActionManager(manager));
    auto *shell = new KZelvaShellIntegration(manager);
    manager->setPopups(shell);
    manager->setCloseHandlers(shell);
    if (withThumbnails) {
        auto *thumbnails = new KZelvaWorkAreaThumbnailMgr(manager);
        thumbnails->initialise();
        manager->setThumbnails(thumbnails);
    }
    if (krt::product::isFeatureSupported(QLatin1String(KZelvaWorkAreaKeys::CrossTerminalFeature)))
        manager->setLabelSync(new KZelvaLabelSyncPart(manager));
}

void KZelvaWorkAreaAssembly::startBubbles(KZelvaWorkAreaManager *)
{
    KZelvaAtoMixBubbleMgr::instance();
}
