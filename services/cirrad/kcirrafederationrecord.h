// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

/*
 * The records cirrad instances exchange through the broker, and the checks
 * every received one passes before anything is done with it. Topics are
 * "kz/<user>/<kind>/<instance>":
 *   presence  retained, the instance's devices ({"v","user","instance",
 *             "online","devices":[{"device_id","device_name","type","os",
 *             "abilities","online","modified","registered","tags","app",
 *             "version","services"}]}); its
 *             last will is the same topic with "online" false;
 *   cmd       to the instance that owns a device ({"v","user","from","id",
 *             "op":"rename"|"offline","device","name"});
 *   msg       a message to a device of that instance ({"v","user","from",
 *             "id","to","message"});
 *   data      file bytes to or from that instance: one JSON header line
 *             ({"v","user","from","xfer","op"}), for a "chunk" followed by
 *             '\n' and the raw bytes. The sender says "open" ("to", "kind",
 *             "name", "size"), "chunk" ("seq"), "end" ("sha256" hex) or
 *             "cancel" ("reason", the sender's failure word); the
 *             receiver "ack" ("seq", everything up to it), "done" or
 *             "fail" ("why", "reason"); either side "pause" or
 *             "resume" ("n", counting up: an older one is stale); "ask"
 *             ("device", "uuid", "to") asks the instance holding a
 *             document to send it.
 * A device's "services" in a presence are the discovery services it
 * publishes ({name: data}).
 * The topic's user is the truth: a payload naming another user, a presence
 * naming another instance, or a topic of another user is refused.
 *
 * Stateless; any thread.
 */
namespace KCirraFederationRecord {

constexpr int kVersion = 1;
constexpr int kMaxPayload = 256 * 1024;
constexpr int kMaxDevices = 64;
// Raw bytes in one "chunk"; with its header well under kMaxPayload.
constexpr int kChunkBytes = 192 * 1024;

struct Received
{
    QString user;
    QString kind;
    QString instance;
    QJsonObject body; // empty for a cleared retained message
    // A "chunk"'s raw bytes, not copied: valid while the payload given to read() is.
    QByteArray bytes;
};

QString topic(const QString &user, const QString &kind, const QString &instance);
// True with `out` filled when the message may be used; else `why` says what is wrong.
bool read(const QString &account, const QString &topic, const QByteArray &payload, Received *out, QString *why);
QByteArray write(QJsonObject body, const QString &user);
// A "data" message: the header line, then '\n' and `size` bytes when there are any.
QByteArray writeData(QJsonObject header, const QString &user, const char *bytes = nullptr, int size = 0);

} // namespace KCirraFederationRecord
