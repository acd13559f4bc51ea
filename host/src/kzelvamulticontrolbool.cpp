// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvamulticontrolbool.h"

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

namespace {
struct Registry
{
    QMutex mutex;
    QStringList names{QStringLiteral("host")}; // type 0 belongs to the host itself
};
Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

int KZelvaMultiControlBool::registerControlType(const QString &name)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    const int existing = r.names.indexOf(name);
    if (existing >= 0)
        return existing;
    // A deep copy: `name` may be a literal inside a plug-in module.
    r.names.append(QString(name.constData(), name.size()));
    return r.names.size() - 1;
}

QString KZelvaMultiControlBool::controlTypeName(int type)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.names.value(type);
}

bool KZelvaMultiControlBool::set(int type, bool value)
{
    const bool before = this->value();
    if (value)
        m_falseTypes.remove(type);
    else
        m_falseTypes.insert(type);
    return before != this->value();
}
