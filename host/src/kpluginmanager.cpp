// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kpluginmanager.h"

KPluginManager *KPluginManager::instance()
{
    static KPluginManager manager;
    return &manager;
}

bool KPluginManager::registerPluginInstanceObject(const QString &name, QObject *object)
{
    if (name.isEmpty() || !object)
        return false;
    // A deep copy: `name` may be a literal inside a plug-in module.
    m_objects.insert(QString(name.constData(), name.size()), object);
    return true;
}

QObject *KPluginManager::pluginInstanceObject(const QString &name) const
{
    return m_objects.value(name);
}

void KPluginManager::unregisterPluginInstanceObject(const QString &name)
{
    m_objects.remove(name);
}

void KPluginManager::registerPluginRunner(const QString &name, const PluginRunner &runner)
{
    if (!name.isEmpty())
        m_runners.insert(name, runner);
}

int KPluginManager::runPlugin(const QString &name, const QVariantMap &params)
{
    const auto found = m_runners.constFind(name);
    if (found == m_runners.constEnd() || !found.value())
        return -1;
    return found.value()(QVariantMap{{QStringLiteral("RunningParams"), params}});
}
