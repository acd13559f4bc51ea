// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkarearesources.h"

#include "kzelvaworkareahelper.h"
#include "kzelvaworkareakeys.h"

#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QIcon>

// Outside every name space, as the resource functions need.
static void initWorkAreaResources()
{
    Q_INIT_RESOURCE(kzelvaworkarea);
}

static void cleanupWorkAreaResources()
{
    Q_CLEANUP_RESOURCE(kzelvaworkarea);
}

namespace {
bool g_registered = false;
}

QString KZelvaWorkAreaResources::workAreaIconName()
{
    return QStringLiteral("kzelvaworkarea_workarea");
}

bool KZelvaWorkAreaResources::isRegistered()
{
    return g_registered;
}

bool KZelvaWorkAreaResources::ensureRegistered()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (g_registered || !app)
        return g_registered;
    initWorkAreaResources();
    app->registerAppIcon(workAreaIconName(), QIcon(QStringLiteral(":/icons_svg/workarea/workarea.svg")));
    if (KZelvaSkin *skin = app->zelvaSkin())
        skin->addSubPackage(QLatin1String(KZelvaWorkAreaKeys::Translation));
    g_registered = true;
    logWorkArea(0, QStringLiteral("ensureRegistered : icons and skin package \"%1\" registered")
                       .arg(QLatin1String(KZelvaWorkAreaKeys::Translation)));
    return true;
}

void KZelvaWorkAreaResources::unregister()
{
    if (!g_registered)
        return;
    g_registered = false;
    if (KZelvaApplication *app = KZelvaApplication::instance()) {
        app->unregisterAppIcon(workAreaIconName());
        if (KZelvaSkin *skin = app->zelvaSkin())
            skin->removeSubPackage(QLatin1String(KZelvaWorkAreaKeys::Translation));
    }
    cleanupWorkAreaResources();
}
