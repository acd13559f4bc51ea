// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonreader.h"

#include <QJsonDocument>
#include <QJsonParseError>

/*
 * The text form of every SoftBus record: its JSON object (T::toJson /
 * T::fromJson) as compact UTF-8 JSON text; a list of records is a JSON array.
 * Reading fails on text that is not one JSON object (array), or when the
 * record's own reader fails. Pure functions, any thread.
 */
namespace SoftBus {
namespace Protocol {

template<class T>
QString recordToText(const T &record)
{
    return QString::fromUtf8(QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact));
}

template<class T>
bool recordFromText(const QString &text, T *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    T record;
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !T::fromJson(doc.object(), &record))
        return false;
    *out = record;
    return true;
}

template<class T>
QString recordsToText(const QList<T> &records)
{
    QJsonArray array;
    for (const T &r : records)
        array.append(r.toJson());
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

template<class T>
bool recordsFromText(const QString &text, QList<T> *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    return error.error == QJsonParseError::NoError && doc.isArray()
           && KSoftBusJsonReader::readArray(doc.array(), out);
}

} // namespace Protocol
} // namespace SoftBus
