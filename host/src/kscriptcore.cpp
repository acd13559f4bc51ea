// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kscriptcore.h"

#include "kzelvaapplication.h"

int KScriptExtensionRegistry::registerExtension(void *object, void *a, void *b, int flags)
{
    m_registrations.append({object, a, b, flags});
    return 0;
}

KScriptCore::KScriptCore(QObject *parent)
    : QObject(parent)
{
}

namespace orbilite {
KScriptCore *scriptCore()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app ? app->scriptCore() : nullptr;
}
} // namespace orbilite
