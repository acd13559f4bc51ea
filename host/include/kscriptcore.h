// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QList>
#include <QObject>

/*
 * The widget kit's script core and its extension registry: plug-ins
 * register script extension objects, which pages can then reach. The core
 * is owned by the application (absent when the shell runs without one);
 * registrations are kept in order for the life of the core.
 */
class KZELVASHELL_EXPORT KScriptExtensionRegistry
{
public:
    struct Registration
    {
        void *object;
        void *a;
        void *b;
        int flags;
    };

    // Registers `object`; returns 0.
    int registerExtension(void *object, void *a, void *b, int flags);
    QList<Registration> registrations() const { return m_registrations; }

private:
    QList<Registration> m_registrations;
};

class KZELVASHELL_EXPORT KScriptCore : public QObject
{
    Q_OBJECT
public:
    explicit KScriptCore(QObject *parent = nullptr);
    KScriptExtensionRegistry *extensionRegistry() { return &m_registry; }

private:
    KScriptExtensionRegistry m_registry;
};

namespace orbilite {
// The running application's script core, or null when there is none.
KZELVASHELL_EXPORT KScriptCore *scriptCore();
}
