// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbusjsonreader.h"

#include <cmath>
#include <limits>

namespace SoftBus {
namespace Protocol {

namespace {
// Every integer up to 2^53 has an exact double.
constexpr double kExactLimit = 9007199254740992.0;
} // namespace

using Kind = KSoftBusJsonNode::Kind;

bool KSoftBusJsonReader::integral(const KSoftBusJsonNode &v, double min, double max, double *out)
{
    if (v.kind() != Kind::Number)
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < min || d > max)
        return false;
    *out = d;
    return true;
}

KSoftBusJsonNode KSoftBusJsonReader::take(Key key, Kind kind)
{
    const KSoftBusJsonNode v = m_object.member(key.name);
    if (v.isUndefined())
        return v;
    if (v.kind() != kind)
        m_ok = false;
    return m_ok ? v : KSoftBusJsonNode();
}

bool KSoftBusJsonReader::isNull(Key key) const
{
    return m_object.member(key.name).kind() == Kind::Null;
}

KSoftBusJsonReader &KSoftBusJsonReader::text(Key key, QString *out)
{
    const KSoftBusJsonNode v = take(key, Kind::String);
    if (!v.isUndefined())
        *out = v.toString();
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int32(Key key, qint32 *out)
{
    const KSoftBusJsonNode v = take(key, Kind::Number);
    double d = 0;
    if (v.isUndefined())
        return *this;
    if (integral(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), &d))
        *out = qint32(d);
    else
        m_ok = false;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int64(Key key, qint64 *out)
{
    const KSoftBusJsonNode v = m_object.member(key.name);
    double d = 0;
    if (v.isUndefined()) {
        return *this;
    } else if (v.kind() == Kind::String) {
        bool parsed = false;
        const qint64 n = v.toString().toLongLong(&parsed, 10);
        m_ok = m_ok && parsed;
        if (parsed)
            *out = n;
    } else if (integral(v, -kExactLimit, kExactLimit, &d)) {
        *out = qint64(d);
    } else {
        m_ok = false;
    }
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::uint64(Key key, quint64 *out)
{
    const KSoftBusJsonNode v = take(key, Kind::Number);
    double d = 0;
    if (v.isUndefined())
        return *this;
    if (integral(v, 0, kExactLimit, &d))
        *out = quint64(d);
    else
        m_ok = false;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::boolean(Key key, bool *out)
{
    const KSoftBusJsonNode v = take(key, Kind::Bool);
    if (!v.isUndefined())
        *out = v.toBool();
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::texts(Key key, QStringList *out)
{
    const KSoftBusJsonNode v = take(key, Kind::Array);
    QStringList list;
    const bool read = v.everyItem([&list](const KSoftBusJsonNode &item) {
        if (item.kind() != Kind::String)
            return false;
        list.append(item.toString());
        return true;
    });
    if (read)
        *out = std::move(list);
    else if (!v.isUndefined())
        m_ok = false;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int32s(Key key, QList<qint32> *out)
{
    const KSoftBusJsonNode v = take(key, Kind::Array);
    QList<qint32> list;
    const bool read = v.everyItem([&list](const KSoftBusJsonNode &item) {
        double d = 0;
        if (!integral(item, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), &d))
            return false;
        list.append(qint32(d));
        return true;
    });
    if (read)
        *out = std::move(list);
    else if (!v.isUndefined())
        m_ok = false;
    return *this;
}

} // namespace Protocol
} // namespace SoftBus
