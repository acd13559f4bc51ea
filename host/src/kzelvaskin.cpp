// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaskin.h"

KZelvaSkin::KZelvaSkin(QObject *parent)
    : QObject(parent)
    , m_dark(qEnvironmentVariable("KZELVA_SKIN") == QLatin1String("dark"))
{
}

void KZelvaSkin::setDarkSkin(bool dark)
{
    if (m_dark == dark)
        return;
    m_dark = dark;
    Q_EMIT skinChanged();
}

void KZelvaSkin::addSubPackage(const QString &name)
{
    if (!m_packages.contains(name))
        m_packages.append(name);
}

void KZelvaSkin::removeSubPackage(const QString &name)
{
    m_packages.removeAll(name);
}
