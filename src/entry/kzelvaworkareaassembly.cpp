// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaassembly.h"

#include "kzelvaatomixbubblemgr.h"
#include "kzelvacrossterminalpanelpart.h"
#include "kzelvadeviceonlinepart.h"
#include "kzelvadiscoverservicepart.h"
#include "kzelvarelayhintpart.h"
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
    manager->setDeviceOnlineListener(new KZelvaDeviceOnlinePart(manager));
    if (krt::product::isFeatureSupported(QLatin1String(KZelvaWorkAreaKeys::CrossTerminalFeature))) {
        auto *labelSync = new KZelvaLabelSyncPart(manager);
        manager->setLabelSync(labelSync);
        manager->setDocumentRelay(labelSync);
        manager->setCrossTerminalPanel(new KZelvaCrossTerminalPanelPart(manager));
        new KZelvaRelayHintPart(manager);
        new KZelvaDiscoverServicePart(manager);
    }
}

void KZelvaWorkAreaAssembly::startBubbles(KZelvaWorkAreaManager *)
{
    KZelvaAtoMixBubbleMgr::instance();
}
