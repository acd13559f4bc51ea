// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QStringList>

/*
 * The shell's skin: light or dark, plus the skin packages plug-ins
 * register. Owned by the application.
 */
class KZELVASHELL_EXPORT KZelvaSkin : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaSkin(QObject *parent = nullptr);

    bool isDarkSkin() const { return m_dark; }
    void setDarkSkin(bool dark);

    void addSubPackage(const QString &name);
    void removeSubPackage(const QString &name);
    QStringList subPackages() const { return m_packages; }

Q_SIGNALS:
    void skinChanged();

private:
    bool m_dark = false;
    QStringList m_packages;
};
