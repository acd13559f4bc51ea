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

bool KSoftBusJsonReader::integral(const QJsonValue &v, double min, double max, double *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < min || d > max)
        return false;
    *out = d;
    return true;
}

QJsonValue KSoftBusJsonReader::take(const char *key, bool (QJsonValue::*is)() const)
{
    const QJsonValue v = m_object.value(QLatin1String(key));
    if (v.isUndefined())
        return v;
    if (!(v.*is)())
        m_ok = false;
    return m_ok ? v : QJsonValue(QJsonValue::Undefined);
}

KSoftBusJsonReader &KSoftBusJsonReader::text(const char *key, QString *out)
{
    const QJsonValue v = take(key, &QJsonValue::isString);
    if (v.isString())
        *out = v.toString();
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int32(const char *key, qint32 *out)
{
    const QJsonValue v = take(key, &QJsonValue::isDouble);
    double d = 0;
    if (v.isUndefined())
        return *this;
    if (integral(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), &d))
        *out = qint32(d);
    else
        m_ok = false;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int64(const char *key, qint64 *out)
{
    const QJsonValue v = m_object.value(QLatin1String(key));
    double d = 0;
    if (v.isUndefined()) {
        return *this;
    } else if (v.isString()) {
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

KSoftBusJsonReader &KSoftBusJsonReader::uint64(const char *key, quint64 *out)
{
    const QJsonValue v = take(key, &QJsonValue::isDouble);
    double d = 0;
    if (v.isUndefined())
        return *this;
    if (integral(v, 0, kExactLimit, &d))
        *out = quint64(d);
    else
        m_ok = false;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::boolean(const char *key, bool *out)
{
    const QJsonValue v = take(key, &QJsonValue::isBool);
    if (v.isBool())
        *out = v.toBool();
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::texts(const char *key, QStringList *out)
{
    const QJsonValue v = take(key, &QJsonValue::isArray);
    if (!v.isArray())
        return *this;
    QStringList list;
    for (const QJsonValue &item : v.toArray()) {
        if (!item.isString()) {
            m_ok = false;
            return *this;
        }
        list.append(item.toString());
    }
    *out = list;
    return *this;
}

KSoftBusJsonReader &KSoftBusJsonReader::int32s(const char *key, QList<qint32> *out)
{
    const QJsonValue v = take(key, &QJsonValue::isArray);
    if (!v.isArray())
        return *this;
    QList<qint32> list;
    for (const QJsonValue &item : v.toArray()) {
        double d = 0;
        if (!integral(item, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), &d)) {
            m_ok = false;
            return *this;
        }
        list.append(qint32(d));
    }
    *out = list;
    return *this;
}

} // namespace Protocol
} // namespace SoftBus
