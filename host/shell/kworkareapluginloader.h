// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

/*
 * Loads the work-area plug-in the way the suite's shell does: dlopen of the
 * module, dlsym of its C entry points, CreateManagerImpl, then the manager
 * from the application property named by GetManagerName. unload() runs
 * DeleteManagerImpl; the module is never closed while the process runs,
 * because host registries may hold data that lives in it.
 */
class KWorkAreaPluginLoader
{
public:
    KWorkAreaPluginLoader() = default;
    ~KWorkAreaPluginLoader();
    KWorkAreaPluginLoader(const KWorkAreaPluginLoader &) = delete;
    KWorkAreaPluginLoader &operator=(const KWorkAreaPluginLoader &) = delete;

    // Loads `path`; false with `errorString` set when the module or one of
    // its entry points is missing.
    bool load(const QString &path, QString *errorString);
    bool isLoaded() const { return m_handle != nullptr; }
    QString managerName() const { return m_managerName; }
    // The manager published on the application object, or null.
    QObject *manager() const;

    void registerCrossTerminalPanel();
    // A new app entry object (owned by the caller) or null.
    QObject *createAppEntryObject();
    int registerScriptExtension(void *a, void *b);

    // Deletes the manager (DeleteManagerImpl); safe to call twice.
    void unload();

private:
    void *m_handle = nullptr;
    QString m_managerName;
    void (*m_create)() = nullptr;
    void (*m_delete)() = nullptr;
    int (*m_getName)(char *, int) = nullptr;
    void (*m_registerPanel)() = nullptr;
    void (*m_registerSoftbus)() = nullptr;
    void *(*m_getJsApi)() = nullptr;
    QObject *(*m_getAppEntry)() = nullptr;
    bool m_managerCreated = false;
};
