// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>
#include <QVariantMap>

/*
 * The first-relay hint a page asks for before a document of another device
 * is relayed the first time; the panel and the popup's Devices view both go
 * through it. The relay bubble manager registers one implementation with
 * setInstance(); without one showFirst() fails after the log line
 * "<caller> : instance is Empty".
 */
class KZelvaCrossTerminalRelayHint
{
public:
    virtual ~KZelvaCrossTerminalRelayHint() = default;
    // False when the hint is refused.
    virtual bool showFirstRelayHint(const QString &deviceId, const QString &uuid, const QString &fileId,
                                    const QString &fileType, const QString &name) = 0;

    // Not owned; null unregisters.
    static void setInstance(KZelvaCrossTerminalRelayHint *hint);
    static KZelvaCrossTerminalRelayHint *instance();

    // Whether no relay has been started yet ("isFirstRelayLabel", true until the hint was shown once).
    static bool isFirstRelay();
    // Shows the hint for the document a page names ("deviceId", "uuid", "fileid", "ftype", "name");
    // once shown, later relays go without it. False when there is no instance or it refused.
    static bool showFirst(const QString &caller, const QVariantMap &params);
};
