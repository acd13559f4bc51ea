// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QSet>
#include <QString>

/*
 * A boolean that several independent sources control. Each source is a
 * control type registered once by name; the value is true only while no
 * control type holds it false. Sub pages use one for their visibility, so a
 * page hidden by a work area stays hidden until that same source shows it.
 * Value type; registration is process-wide and thread-safe.
 */
class KZELVASHELL_EXPORT KZelvaMultiControlBool
{
public:
    // Returns the id of the control type with this name, registering it on
    // first use. The same name always gives the same id.
    static int registerControlType(const QString &name);
    static QString controlTypeName(int type);

    // Returns whether the combined value changed.
    bool set(int type, bool value);
    bool value() const { return m_falseTypes.isEmpty(); }
    bool value(int type) const { return !m_falseTypes.contains(type); }

private:
    QSet<int> m_falseTypes;
};
