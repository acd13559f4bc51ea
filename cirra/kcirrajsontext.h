// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QByteArray>
#include <QString>

/*
 * JSON text written without a QJsonDocument, byte for byte as
 * QJsonDocument::toJson(Compact) writes it: for writers that know their
 * record's shape (the settings tree, the SoftBus request content).
 *
 * Pure functions; any thread.
 */
class KZCIRRA_EXPORT KCirraJsonText
{
public:
    // `text` as a JSON string, quotes included: '"', '\\' and control
    // characters escaped, everything else UTF-8 (a lone surrogate as \uXXXX).
    static void appendString(const QString &text, QByteArray *out);
};
