// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvapaths.h>

#include <QSettings>
#include <QStringList>
#include <QVariantMap>

#include <initializer_list>

namespace KzPersistTest {

// A QStringList from plain literals.
inline QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

// The stand-in's panel configuration: the tab-manager panel on and
// `values` as its configuration ("residualSettingSaveEnabled" ...).
inline void setPanelConfig(const QVariantMap &values)
{
    QSettings ini(KZelvaPaths::configDir() + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat);
    ini.clear();
    ini.setValue(QStringLiteral("panel/enabled"), true);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(QStringLiteral("config/") + it.key(), it.value());
    ini.sync();
}

} // namespace KzPersistTest
