// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksoftbusjsontokens.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <optional>

/*
 * One JSON value as records read it: either a QJsonValue (page arguments
 * arrive as QJsonObject) or a token of a KSoftBusJsonTokens text, so that
 * each record keeps one field list for both. An absent member is Undefined.
 * Objects look members up last-first, as QJsonObject keeps the last of
 * repeated keys.
 *
 * A view: the tokens must outlive it. Any thread.
 */
namespace SoftBus {
namespace Protocol {

class KSoftBusJsonNode
{
public:
    enum class Kind {
        Undefined,
        Null,
        Bool,
        Number,
        String,
        Array,
        Object
    };

    KSoftBusJsonNode() = default;
    // Implicit: records are read from page objects as they are.
    KSoftBusJsonNode(const QJsonObject &object)
        : m_value(QJsonValue(object))
    {
    }
    explicit KSoftBusJsonNode(const QJsonValue &value)
        : m_value(value)
    {
    }
    KSoftBusJsonNode(const KSoftBusJsonTokens *tokens, int index)
        : m_tokens(tokens)
        , m_index(index)
    {
    }

    Kind kind() const
    {
        if (!m_tokens)
            return valueKind();
        static constexpr Kind kKinds[] = {Kind::Null,   Kind::Bool,  Kind::Bool,  Kind::Number,
                                          Kind::String, Kind::Array, Kind::Object};
        return kKinds[int(m_tokens->at(m_index).type)];
    }
    bool isUndefined() const { return !m_tokens && (!m_value || m_value->isUndefined()); }
    bool toBool() const;
    double toDouble() const;
    QString toString() const;
    KSoftBusJsonNode member(QLatin1String key) const;

    // Calls f(item) for each item of an array in order while f answers true;
    // false when this is no array or f answered false.
    template<class F>
    bool everyItem(F f) const
    {
        if (m_tokens) {
            const KSoftBusJsonTokens::Token &array = m_tokens->at(m_index);
            if (array.type != KSoftBusJsonTokens::Type::Array)
                return false;
            for (int i = m_index + 1; i < array.end; i = m_tokens->at(i).end) {
                if (!f(KSoftBusJsonNode(m_tokens, i)))
                    return false;
            }
            return true;
        }
        if (!m_value || !m_value->isArray())
            return false;
        for (const QJsonValue &item : m_value->toArray()) {
            if (!f(KSoftBusJsonNode(item)))
                return false;
        }
        return true;
    }

private:
    Kind valueKind() const;

    // A page value; none for a token (or an absent member).
    std::optional<QJsonValue> m_value;
    const KSoftBusJsonTokens *m_tokens = nullptr;
    int m_index = -1;
};

} // namespace Protocol
} // namespace SoftBus
