// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

class QJsonObject;
class QString;

/*
 * Relays a document another device handed over by a "relay_file" command
 * line. GUI thread.
 */
class IKZelvaDocumentRelay
{
public:
    virtual ~IKZelvaDocumentRelay() = default;
    // `record` holds "userId", "deviceId", "uuid", "fileId", "fileType" and
    // "fileName"; `source` is "dazed_relay".
    virtual void relayDocument(const QJsonObject &record, const QString &source) = 0;
};
