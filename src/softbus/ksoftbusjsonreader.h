// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsonnode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

/*
 * Reads the fields of one SoftBus record from its JSON object (a page
 * object or a token of the record's text, KSoftBusJsonNode). An absent key
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
    // A field's key: a string literal, its length known when compiled.
    struct Key
    {
        template<std::size_t N>
        constexpr Key(const char (&text)[N])
            : name(text, int(N - 1))
        {
        }
        QLatin1String name;
    };

    explicit KSoftBusJsonReader(const KSoftBusJsonNode &object)
        : m_object(object)
    {
    }

    bool ok() const { return m_ok; }

    KSoftBusJsonReader &text(Key key, QString *out);
    KSoftBusJsonReader &int32(Key key, qint32 *out);
    // Also takes a decimal string, so that values beyond 2^53 survive.
    KSoftBusJsonReader &int64(Key key, qint64 *out);
    KSoftBusJsonReader &uint64(Key key, quint64 *out);
    KSoftBusJsonReader &boolean(Key key, bool *out);
    KSoftBusJsonReader &texts(Key key, QStringList *out);
    KSoftBusJsonReader &int32s(Key key, QList<qint32> *out);
    bool isNull(Key key) const;

    // Reads a record T field by field with `fields(reader, record)`; *out
    // is set only when every field read.
    template<class T, class Fields>
    static bool read(const KSoftBusJsonNode &object, T *out, Fields fields)
    {
        T record;
        KSoftBusJsonReader reader(object);
        fields(reader, record);
        if (!reader.ok())
            return false;
        *out = std::move(record);
        return true;
    }

    // A nested object read by `fields(reader)`.
    template<class Fields>
    KSoftBusJsonReader &nested(Key key, Fields fields)
    {
        const KSoftBusJsonNode v = take(key, KSoftBusJsonNode::Kind::Object);
        if (v.isUndefined())
            return *this;
        KSoftBusJsonReader inner(v);
        fields(inner);
        m_ok = m_ok && inner.ok();
        return *this;
    }

    // A nested record T (T::fromJson(const KSoftBusJsonNode &, T *)).
    template<class T>
    KSoftBusJsonReader &record(Key key, T *out)
    {
        const KSoftBusJsonNode v = take(key, KSoftBusJsonNode::Kind::Object);
        if (!v.isUndefined())
            m_ok = T::fromJson(v, out);
        return *this;
    }

    template<class T>
    KSoftBusJsonReader &records(Key key, QList<T> *out)
    {
        const KSoftBusJsonNode v = m_object.member(key.name);
        if (!v.isUndefined())
            m_ok = m_ok && readArray(v, out);
        return *this;
    }

    // An array of records T; false when it is no array or an item fails.
    template<class T>
    static bool readArray(const KSoftBusJsonNode &array, QList<T> *out)
    {
        QList<T> list;
        const bool read = array.everyItem([&list](const KSoftBusJsonNode &item) {
            // Read in place: a record is a score of shared strings, each copy a score of atomic counts.
            list.append(T());
            return item.kind() == KSoftBusJsonNode::Kind::Object && T::fromJson(item, &list.last());
        });
        if (read)
            *out = std::move(list);
        return read;
    }

    // A whole number held exactly by a JSON double, within [min, max].
    static bool integral(const KSoftBusJsonNode &v, double min, double max, double *out);

private:
    // The member `key` when it is of `kind`; Undefined when absent, or
    // (failing the read) of another kind.
    KSoftBusJsonNode take(Key key, KSoftBusJsonNode::Kind kind);

    KSoftBusJsonNode m_object;
    bool m_ok = true;
};

} // namespace Protocol
} // namespace SoftBus
