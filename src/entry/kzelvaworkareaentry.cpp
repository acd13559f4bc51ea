// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaentry.h"

#include "kappentryobject.h"
#include "kzelvacrossterminalpaneljseventobj.h"
#include "kzelvacrossterminalpanelmgr.h"
#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareamanager.h"

#include <kpluginmanager.h>
#include <kscriptcore.h>

#include <QCoreApplication>
#include <QVariant>

#include <cstring>

namespace {

constexpr char kManagerName[] = "__KZelvaWorkAreaManager__";
constexpr int kManagerNameLength = sizeof(kManagerName) - 1;
static_assert(kManagerNameLength == 25, "the host relies on this length");
constexpr char kPanelManagerName[] = "__KZelvaCrossTerminalPanelManager__";
constexpr int kScriptCoreMissing = int(0x80000008u);

KZelvaWorkAreaManager *g_publishedManager = nullptr;
KZelvaCrossTerminalPanelMgr *g_registeredPanelManager = nullptr;

int scriptCoreRegistrar(void *a, void *b)
{
    KZelvaCrossTerminalPanelJsEventObj *object = KZelvaCrossTerminalPanelJsEventObj::instance();
    object->setState(3);
    object->addRef();
    KScriptCore *core = orbilite::scriptCore();
    if (!core)
        return kScriptCoreMissing;
    // The core calls the object through its extension base.
    core->extensionRegistry()->registerExtension(static_cast<KJCExtentionObjBase *>(object), a, b, 0);
    return 0;
}

} // namespace

extern "C" {

void CreateManagerImpl()
{
    if (g_publishedManager)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    g_publishedManager = new KZelvaWorkAreaManager(app);
    g_publishedManager->setAssembly(new KZelvaWorkAreaAssembly);
    if (app)
        app->setProperty(kManagerName, QVariant::fromValue<QObject *>(g_publishedManager));
}

void DeleteManagerImpl()
{
    if (!g_publishedManager)
        return;
    g_publishedManager->teardown();
    if (QCoreApplication *app = QCoreApplication::instance())
        app->setProperty(kManagerName, QVariant());
    delete g_publishedManager;
    g_publishedManager = nullptr;
}

int GetManagerName(char *buffer, int size)
{
    if (!buffer || size < kManagerNameLength)
        return kManagerNameLength;
    std::memcpy(buffer, kManagerName, size_t(kManagerNameLength));
    return 0;
}

void RegisterCrossTerminalPanelImpl()
{
    if (g_registeredPanelManager)
        return;
    g_registeredPanelManager = KZelvaCrossTerminalPanelMgr::instance();
    if (g_registeredPanelManager)
        KPluginManager::instance()->registerPluginInstanceObject(
            QLatin1String(kPanelManagerName), g_registeredPanelManager);
}

void RegisterSoftbusCenterManagerImpl()
{
}

void *GetExtensionJsApiObj()
{
    return reinterpret_cast<void *>(&scriptCoreRegistrar);
}

QObject *GetAppEntryObject()
{
    return new KAppEntryObject;
}

} // extern "C"
