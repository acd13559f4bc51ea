// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsnode.h"

#include "ksyncsettingsjsonreader.h"

#include <kcirrajsontext.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

const QLatin1String kValues("values");
const QLatin1String kGroups("groups");

bool fromJson(const QJsonObject &object, int depth, KSyncSettingsNode *node, QString *error)
{
    if (depth > KSyncSettingsNode::MaxDepth) {
        *error = QStringLiteral("groups nested deeper than %1").arg(KSyncSettingsNode::MaxDepth);
        return false;
    }
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key() != kValues && it.key() != kGroups) {
            *error = QStringLiteral("unknown member \"%1\"").arg(it.key());
            return false;
        }
        if (!it.value().isObject()) {
            *error = QStringLiteral("member \"%1\" is not an object").arg(it.key());
            return false;
        }
    }
    const QJsonObject values = object.value(kValues).toObject();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (!it.value().isString()) {
            *error = QStringLiteral("value of \"%1\" is not text").arg(it.key());
            return false;
        }
        node->values.insert(it.key(), it.value().toString());
    }
    const QJsonObject groups = object.value(kGroups).toObject();
    for (auto it = groups.constBegin(); it != groups.constEnd(); ++it) {
        if (!it.value().isObject()) {
            *error = QStringLiteral("group \"%1\" is not an object").arg(it.key());
            return false;
        }
        if (!fromJson(it.value().toObject(), depth + 1, &node->groups[it.key()], error))
            return false;
    }
    return true;
}

// The text QJsonDocument::toJson(Compact) gives for the tree as a JSON
// object, written straight from the tree: members in key order (QMap and QJsonObject both
// order by UTF-16 code units), strings escaped as QJsonDocument escapes them (KCirraJsonText).
void appendEscaped(const QString &text, QByteArray *out)
{
    KCirraJsonText::appendString(text, out);
}

void appendText(const KSyncSettingsNode &node, QByteArray *out);

// One member ("groups" or "values") of a node's object, left out when empty.
template<typename Map, typename AppendValue>
void appendMember(QLatin1String name, const Map &map, QByteArray *out, AppendValue appendValue)
{
    if (map.isEmpty())
        return;
    if (out->size() > 0 && out->back() != '{')
        out->append(',');
    out->append('"').append(name.data(), name.size()).append("\":{", 3);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it != map.cbegin())
            out->append(',');
        appendEscaped(it.key(), out);
        out->append(':');
        appendValue(it.value(), out);
    }
    out->append('}');
}

void appendText(const KSyncSettingsNode &node, QByteArray *out)
{
    out->append('{');
    appendMember(kGroups, node.groups, out, appendText);
    appendMember(kValues, node.values, out, appendEscaped);
    out->append('}');
}

void pruneEmptyGroups(KSyncSettingsNode *node)
{
    for (auto it = node->groups.begin(); it != node->groups.end();) {
        pruneEmptyGroups(&it.value());
        if (it.value().isEmpty())
            it = node->groups.erase(it);
        else
            ++it;
    }
}

void mergeInto(const KSyncSettingsNode &base, const KSyncSettingsNode &local, KSyncSettingsNode *result)
{
    for (auto it = local.values.cbegin(); it != local.values.cend(); ++it) {
        const auto old = base.values.constFind(it.key());
        if (old == base.values.cend() || old.value() != it.value())
            result->values.insert(it.key(), it.value());
    }
    for (auto it = base.values.cbegin(); it != base.values.cend(); ++it) {
        if (!local.values.contains(it.key()))
            result->values.remove(it.key());
    }
    for (auto it = local.groups.cbegin(); it != local.groups.cend(); ++it) {
        const auto old = base.groups.constFind(it.key());
        if (old != base.groups.cend() && old.value() == it.value())
            continue; // untouched here: theirs stands
        const auto mine = result->groups.find(it.key());
        if (old != base.groups.cend() && mine == result->groups.end())
            result->groups.insert(it.key(), it.value()); // they removed it, we changed it
        else
            mergeInto(old != base.groups.cend() ? old.value() : KSyncSettingsNode(), it.value(),
                      &result->groups[it.key()]);
    }
    for (auto it = base.groups.cbegin(); it != base.groups.cend(); ++it) {
        if (!local.groups.contains(it.key()))
            result->groups.remove(it.key());
    }
}

} // namespace

KSyncSettingsNode KSyncSettingsNode::merged(const KSyncSettingsNode &base, const KSyncSettingsNode &local,
                                            const KSyncSettingsNode &theirs)
{
    KSyncSettingsNode result = theirs;
    mergeInto(base, local, &result);
    pruneEmptyGroups(&result);
    return result;
}

bool KSyncSettingsNode::operator==(const KSyncSettingsNode &other) const
{
    return values == other.values && groups == other.groups;
}

QByteArray KSyncSettingsNode::toText() const
{
    QByteArray text;
    text.reserve(4096);
    appendText(*this, &text);
    return text;
}

bool KSyncSettingsNode::fromText(const QByteArray &text, KSyncSettingsNode *out, QString *errorString)
{
    KSyncSettingsNode parsed;
    if (KSyncSettingsJsonReader::read(text.constData(), text.size(), &parsed)) {
        if (out)
            *out = parsed;
        return true;
    }
    // Declined texts (broken ones, but also legal rarities such as repeated
    // keys) go through QJsonDocument, which has the last word on what is
    // accepted and says why not.
    parsed = KSyncSettingsNode();
    QString error;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        error = QStringLiteral("not JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString());
    else if (!document.isObject())
        error = QStringLiteral("top level is not an object");
    else
        fromJson(document.object(), 0, &parsed, &error);

    if (!error.isEmpty()) {
        if (errorString)
            *errorString = error;
        return false;
    }
    if (out)
        *out = parsed;
    return true;
}
