// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbusjsonnode.h"

namespace SoftBus {
namespace Protocol {

using Type = KSoftBusJsonTokens::Type;

KSoftBusJsonNode::Kind KSoftBusJsonNode::valueKind() const
{
    switch (m_value ? m_value->type() : QJsonValue::Undefined) {
    case QJsonValue::Null: return Kind::Null;
    case QJsonValue::Bool: return Kind::Bool;
    case QJsonValue::Double: return Kind::Number;
    case QJsonValue::String: return Kind::String;
    case QJsonValue::Array: return Kind::Array;
    case QJsonValue::Object: return Kind::Object;
    case QJsonValue::Undefined: break;
    }
    return Kind::Undefined;
}

bool KSoftBusJsonNode::toBool() const
{
    return m_tokens ? m_tokens->at(m_index).type == Type::True : m_value && m_value->toBool();
}

double KSoftBusJsonNode::toDouble() const
{
    return m_tokens ? m_tokens->number(m_index) : m_value ? m_value->toDouble() : 0;
}

QString KSoftBusJsonNode::toString() const
{
    return m_tokens ? m_tokens->string(m_index) : m_value ? m_value->toString() : QString();
}

KSoftBusJsonNode KSoftBusJsonNode::member(QLatin1String key) const
{
    if (!m_tokens)
        return m_value ? KSoftBusJsonNode(m_value->toObject().value(key)) : KSoftBusJsonNode();
    const KSoftBusJsonTokens::Token &object = m_tokens->at(m_index);
    if (object.type != Type::Object)
        return KSoftBusJsonNode();
    // Members are key, value pairs; a repeated key counts with its last value.
    int found = -1;
    for (int k = m_index + 1; k < object.end; k = m_tokens->at(k + 1).end) {
        if (m_tokens->stringIs(k, key)) {
            found = k + 1;
            if (!object.repeated)
                break;
        }
    }
    return found < 0 ? KSoftBusJsonNode() : KSoftBusJsonNode(m_tokens, found);
}

} // namespace Protocol
} // namespace SoftBus
