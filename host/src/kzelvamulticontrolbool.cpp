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

namespace {
constexpr int kBits = 64;
bool isBit(int type)
{
    return type >= 0 && type < kBits;
}
} // namespace

bool KZelvaMultiControlBool::value(int type) const
{
    return isBit(type) ? !(m_falseBits & (quint64(1) << type)) : !m_falseTypes.contains(type);
}

bool KZelvaMultiControlBool::set(int type, bool value)
{
    const bool before = this->value();
    if (isBit(type)) {
        const quint64 bit = quint64(1) << type;
        m_falseBits = value ? m_falseBits & ~bit : m_falseBits | bit;
    } else if (value) {
        m_falseTypes.remove(type);
    } else {
        m_falseTypes.insert(type);
    }
    return before != this->value();
}
