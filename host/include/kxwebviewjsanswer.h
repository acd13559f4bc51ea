// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QByteArray>
#include <QString>

/*
 * What the bridge sends back for one page call: the method's return object
 * as compact JSON text, or a failure the bridge decided before or instead of
 * the method. The page script resolves its promise with the object, or
 * rejects it with an Error whose code is codeName(status). Value type.
 */
struct KZELVASHELL_EXPORT KxWebViewJSAnswer
{
    enum Status {
        Ok,
        UnknownHandler, // no handler registered under the name
        UnknownMethod,  // the handler has no callable method of that name
        BadRequest,     // malformed call: names or arguments of the wrong type
        TooLarge,       // arguments beyond the bridge's limits
        NoAnswer,       // an asynchronous method dropped every copy of its context
    };

    Status status = Ok;
    QByteArray value; // the return object, when status is Ok
    QString error;    // human-readable reason, when status is not Ok

    bool isOk() const { return status == Ok; }
    static QString codeName(Status status);
};
