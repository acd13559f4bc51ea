// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <functional>

/*
 * The shell's registry of plug-in objects, by name. Entries are guarded:
 * an object that is destroyed disappears from the registry. Process-wide.
 */
class KZELVASHELL_EXPORT KPluginManager
{
public:
    static KPluginManager *instance();

    // Returns false (and keeps the old entry) for an empty name or null object.
    bool registerPluginInstanceObject(const QString &name, QObject *object);
    QObject *pluginInstanceObject(const QString &name) const;
    void unregisterPluginInstanceObject(const QString &name);

    // Runs the shell plug-in `name` with `params` (under "RunningParams");
    // 0 when it ran, -1 when no such plug-in is installed.
    using PluginRunner = std::function<int(const QVariantMap &params)>;
    void registerPluginRunner(const QString &name, const PluginRunner &runner);
    int runPlugin(const QString &name, const QVariantMap &params);

private:
    QHash<QString, QPointer<QObject>> m_objects;
    QHash<QString, PluginRunner> m_runners;
};
