// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrafederationrecord.h"

#include <kcirrapaths.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace KCirraFederationRecord {

namespace {

constexpr int kMaxName = 128;
constexpr int kMaxId = 64;
constexpr int kMaxTags = 1000;
constexpr int kMaxAbilities = 256;
constexpr int kMaxServices = 64;
constexpr int kMaxServiceData = 4096;

// Discovery services of a device: {name: data}, texts only.
bool services(const QJsonValue &v)
{
    if (v.isUndefined())
        return true;
    const QJsonObject o = v.toObject();
    if (!v.isObject() || o.size() > kMaxServices)
        return false;
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key().isEmpty() || it.key().size() > kMaxName || !it.value().isString()
            || it.value().toString().size() > kMaxServiceData)
            return false;
    }
    return true;
}

// Documents ("tags") and abilities reach the shells as they are: only flat texts pass.
bool flatTexts(const QJsonValue &v, int maxCount)
{
    if (v.isUndefined())
        return true;
    if (!v.isArray() || v.toArray().size() > maxCount)
        return false;
    const QJsonArray list = v.toArray();
    return std::all_of(list.begin(), list.end(), [](const QJsonValue &item) {
        if (item.isString())
            return true;
        const QJsonObject o = item.toObject();
        return item.isObject() && std::all_of(o.begin(), o.end(), [](const QJsonValue &f) { return f.isString(); });
    });
}

bool plainName(const QJsonValue &v)
{
    if (!v.isString())
        return false;
    const QString s = v.toString();
    return !s.isEmpty() && s.size() <= kMaxName
           && std::none_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x20; });
}

// Absent, or a short text without control characters (may be empty).
bool shortText(const QJsonValue &v)
{
    return v.isUndefined()
           || (v.isString() && (v.toString().isEmpty() || (plainName(v) && v.toString().size() <= kMaxId)));
}

bool messageId(const QJsonValue &v)
{
    return v.isString() && !v.toString().isEmpty() && v.toString().size() <= kMaxId;
}

bool checkPresence(const QJsonObject &body, QString *why)
{
    const QJsonValue devices = body.value(QStringLiteral("devices"));
    if (!body.value(QStringLiteral("online")).isBool()) {
        *why = QStringLiteral("presence without \"online\"");
        return false;
    }
    if (devices.isUndefined())
        return true;
    if (!devices.isArray() || devices.toArray().size() > kMaxDevices) {
        *why = QStringLiteral("unreadable device list");
        return false;
    }
    for (const QJsonValue &d : devices.toArray()) {
        const QJsonObject o = d.toObject();
        if (!KCirraPaths::isSafeId(o.value(QStringLiteral("device_id")).toString())
            || !plainName(o.value(QStringLiteral("device_name"))) || !o.value(QStringLiteral("online")).isBool()
            || !flatTexts(o.value(QStringLiteral("tags")), kMaxTags)
            || !flatTexts(o.value(QStringLiteral("abilities")), kMaxAbilities)
            || !services(o.value(QStringLiteral("services"))) || !shortText(o.value(QStringLiteral("version")))
            || !shortText(o.value(QStringLiteral("app")))) {
            *why = QStringLiteral("unreadable device record");
            return false;
        }
    }
    return true;
}

bool checkCommand(const QJsonObject &body, QString *why)
{
    const QString op = body.value(QStringLiteral("op")).toString();
    const bool known = op == QLatin1String("offline")
                       || (op == QLatin1String("rename") && plainName(body.value(QStringLiteral("name"))));
    if (!messageId(body.value(QStringLiteral("id"))) || !known
        || !KCirraPaths::isSafeId(body.value(QStringLiteral("device")).toString())) {
        *why = QStringLiteral("unreadable command");
        return false;
    }
    return true;
}

bool checkMessage(const QJsonObject &body, QString *why)
{
    // The sender named inside the message is of the topic's user, like everything else.
    const QJsonObject from = body.value(QStringLiteral("message")).toObject().value(QStringLiteral("from")).toObject();
    if (from.contains(QStringLiteral("user_id"))
        && from.value(QStringLiteral("user_id")).toString() != body.value(QStringLiteral("user")).toString()) {
        *why = QStringLiteral("message from another user");
        return false;
    }
    if (!messageId(body.value(QStringLiteral("id")))
        || !KCirraPaths::isSafeId(body.value(QStringLiteral("to")).toString())
        || !body.value(QStringLiteral("message")).isObject()) {
        *why = QStringLiteral("unreadable message");
        return false;
    }
    return true;
}

bool checkData(const QJsonObject &body, int bytes, QString *why)
{
    static const QStringList ops{QStringLiteral("open"),   QStringLiteral("chunk"), QStringLiteral("end"),
                                 QStringLiteral("cancel"), QStringLiteral("ack"),   QStringLiteral("done"),
                                 QStringLiteral("fail"),   QStringLiteral("ask"),   QStringLiteral("pause"),
                                 QStringLiteral("resume")};
    const QString op = body.value(QStringLiteral("op")).toString();
    const auto safe = [&body](const char *key) {
        return KCirraPaths::isSafeId(body.value(QLatin1String(key)).toString());
    };
    bool ok = ops.contains(op) && safe("xfer") && safe("from") && (bytes == 0 || op == QLatin1String("chunk"));
    if (op == QLatin1String("open"))
        ok = ok && safe("to") && plainName(body.value(QStringLiteral("name")))
             && body.value(QStringLiteral("size")).toDouble(-1) >= 0;
    else if (op == QLatin1String("chunk") || op == QLatin1String("ack"))
        ok = ok && body.value(QStringLiteral("seq")).toInt(-2) >= (op == QLatin1String("ack") ? -1 : 0);
    else if (op == QLatin1String("end"))
        ok = ok && body.value(QStringLiteral("sha256")).toString().size() == 64;
    else if (op == QLatin1String("ask"))
        ok = ok && safe("device") && safe("uuid") && safe("to");
    else if (op == QLatin1String("pause") || op == QLatin1String("resume"))
        ok = ok && body.value(QStringLiteral("n")).toInt(-1) >= 0;
    if (!ok)
        *why = QStringLiteral("unreadable transfer record");
    return ok;
}

} // namespace

QString topic(const QString &user, const QString &kind, const QString &instance)
{
    return QStringLiteral("kz/%1/%2/%3").arg(user, kind, instance);
}

bool read(const QString &account, const QString &topicName, const QByteArray &payload, Received *out, QString *why)
{
    const QStringList parts = topicName.split(QLatin1Char('/'));
    if (parts.size() != 4 || parts.at(0) != QLatin1String("kz") || !KCirraPaths::isSafeId(parts.at(3))
        || !QStringList{QStringLiteral("presence"), QStringLiteral("cmd"), QStringLiteral("msg"),
                        QStringLiteral("data")}
                .contains(parts.at(2))) {
        *why = QStringLiteral("unknown topic");
        return false;
    }
    if (parts.at(1) != account) {
        *why = QStringLiteral("topic of another user");
        return false;
    }
    if (payload.size() > kMaxPayload) {
        *why = QStringLiteral("payload of %1 bytes is too large").arg(payload.size());
        return false;
    }
    out->user = parts.at(1);
    out->kind = parts.at(2);
    out->instance = parts.at(3);
    out->body = QJsonObject();
    out->bytes.clear();
    // A cleared retained presence: the instance is gone.
    if (payload.isEmpty() && out->kind == QLatin1String("presence"))
        return true;
    // Transfer records: a header line, and raw bytes after it for a chunk.
    const bool data = out->kind == QLatin1String("data");
    const int newline = data ? payload.indexOf('\n') : -1;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(newline < 0 ? payload : payload.left(newline), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        *why = QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject body = doc.object();
    if (body.value(QStringLiteral("v")).toInt(-1) != kVersion) {
        *why = QStringLiteral("protocol version %1 is not %2")
                   .arg(body.value(QStringLiteral("v")).toInt(-1))
                   .arg(kVersion);
        return false;
    }
    if (body.value(QStringLiteral("user")).toString() != out->user) {
        *why = QStringLiteral("payload names another user");
        return false;
    }
    if (out->kind == QLatin1String("presence") && body.value(QStringLiteral("instance")).toString() != out->instance) {
        *why = QStringLiteral("presence names another instance");
        return false;
    }
    const int bytes = newline < 0 ? 0 : payload.size() - newline - 1;
    const bool ok = out->kind == QLatin1String("presence") ? checkPresence(body, why)
                    : out->kind == QLatin1String("cmd")    ? checkCommand(body, why)
                    : data                                 ? checkData(body, bytes, why)
                                                           : checkMessage(body, why);
    if (ok) {
        out->body = body;
        // A chunk is written out and hashed while the payload lives: no copy of it.
        if (bytes > 0)
            out->bytes = QByteArray::fromRawData(payload.constData() + newline + 1, bytes);
    }
    return ok;
}

QByteArray write(QJsonObject body, const QString &user)
{
    body.insert(QStringLiteral("v"), kVersion);
    body.insert(QStringLiteral("user"), user);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

QByteArray writeData(QJsonObject header, const QString &user, const char *bytes, int size)
{
    if (size <= 0)
        return write(std::move(header), user);
    const QByteArray line = write(std::move(header), user);
    QByteArray payload(line.size() + 1 + size, Qt::Uninitialized);
    char *at = payload.data();
    std::memcpy(at, line.constData(), size_t(line.size()));
    at[line.size()] = '\n';
    std::memcpy(at + line.size() + 1, bytes, size_t(size));
    return payload;
}

} // namespace KCirraFederationRecord
