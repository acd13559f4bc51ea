// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The first-relay hint the panel asks for before a document of another
 * device is relayed the first time. The relay bubble manager registers one
 * implementation with setInstance(); without one the page call answers
 * "callstatus" "error" after the log line "showFirstRelayWidget : instance
 * is Empty".
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
};
