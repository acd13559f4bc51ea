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
 * record's own reader fails. Records are read straight from the text's
 * tokens (KSoftBusJsonTokens); text the tokens do not take goes through
 * QJsonDocument, so both ways accept and refuse the same texts. Pure
 * functions, any thread.
 */
namespace SoftBus {
namespace Protocol {

template<class T>
QString recordToText(const T &record)
{
    return QString::fromUtf8(QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact));
}

// The general way: QJsonDocument, for what KSoftBusJsonTokens does not take.
template<class T>
bool recordFromDocument(const QByteArray &utf8, T *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(utf8, &error);
    T record;
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !T::fromJson(doc.object(), &record))
        return false;
    *out = std::move(record);
    return true;
}

template<class T>
bool recordFromText(const QByteArray &utf8, T *out)
{
    KSoftBusJsonTokens tokens;
    if (!tokens.parse(utf8))
        return recordFromDocument(utf8, out);
    T record;
    if (tokens.at(0).type != KSoftBusJsonTokens::Type::Object || !T::fromJson(KSoftBusJsonNode(&tokens, 0), &record))
        return false;
    *out = std::move(record);
    return true;
}

template<class T>
bool recordFromText(const QString &text, T *out)
{
    return recordFromText(text.toUtf8(), out);
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
    const QByteArray utf8 = text.toUtf8();
    KSoftBusJsonTokens tokens;
    if (tokens.parse(utf8))
        return KSoftBusJsonReader::readArray(KSoftBusJsonNode(&tokens, 0), out);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(utf8, &error);
    return error.error == QJsonParseError::NoError && doc.isArray()
           && KSoftBusJsonReader::readArray(KSoftBusJsonNode(QJsonValue(doc.array())), out);
}

} // namespace Protocol
} // namespace SoftBus
