// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

/*
 * Reads the fields of one SoftBus record from its JSON object. An absent key
 * leaves the field at its default; a key of the wrong type, a number out of
 * the field's range or a nested record that fails makes the whole read fail
 * (ok() false), which callers turn into their "did not decode" code.
 *
 * A short-lived value on the caller's stack; any thread.
 */
namespace SoftBus {
namespace Protocol {

class KSoftBusJsonReader
{
public:
    explicit KSoftBusJsonReader(const QJsonObject &object)
        : m_object(object)
    {
    }

    bool ok() const { return m_ok; }

    KSoftBusJsonReader &text(const char *key, QString *out);
    KSoftBusJsonReader &int32(const char *key, qint32 *out);
    // Also takes a decimal string, so that values beyond 2^53 survive.
    KSoftBusJsonReader &int64(const char *key, qint64 *out);
    KSoftBusJsonReader &uint64(const char *key, quint64 *out);
    KSoftBusJsonReader &boolean(const char *key, bool *out);
    KSoftBusJsonReader &texts(const char *key, QStringList *out);
    KSoftBusJsonReader &int32s(const char *key, QList<qint32> *out);

    // Reads a record T field by field with `fields(reader, record)`; *out
    // is set only when every field read.
    template<class T, class Fields>
    static bool read(const QJsonObject &object, T *out, Fields fields)
    {
        T record;
        KSoftBusJsonReader reader(object);
        fields(reader, record);
        if (!reader.ok())
            return false;
        *out = record;
        return true;
    }

    // A nested object read by `fields(reader)`.
    template<class Fields>
    KSoftBusJsonReader &nested(const char *key, Fields fields)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return *this;
        if (!v.isObject()) {
            m_ok = false;
            return *this;
        }
        KSoftBusJsonReader inner(v.toObject());
        fields(inner);
        m_ok = m_ok && inner.ok();
        return *this;
    }

    // A nested record T (T::fromJson(const QJsonObject &, T *)).
    template<class T>
    KSoftBusJsonReader &record(const char *key, T *out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isUndefined())
            m_ok = m_ok && v.isObject() && T::fromJson(v.toObject(), out);
        return *this;
    }

    template<class T>
    KSoftBusJsonReader &records(const char *key, QList<T> *out)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isUndefined())
            m_ok = m_ok && v.isArray() && readArray(v.toArray(), out);
        return *this;
    }

    template<class T>
    static bool readArray(const QJsonArray &array, QList<T> *out)
    {
        QList<T> list;
        list.reserve(array.size());
        for (const QJsonValue &item : array) {
            T value;
            if (!item.isObject() || !T::fromJson(item.toObject(), &value))
                return false;
            list.append(value);
        }
        *out = list;
        return true;
    }

    // A whole number held exactly by a JSON double, within [min, max].
    static bool integral(const QJsonValue &v, double min, double max, double *out);

private:
    QJsonValue take(const char *key, bool (QJsonValue::*is)() const);

    QJsonObject m_object;
    bool m_ok = true;
};

} // namespace Protocol
} // namespace SoftBus
