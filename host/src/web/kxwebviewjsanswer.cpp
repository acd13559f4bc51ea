// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebviewjsanswer.h"

QString KxWebViewJSAnswer::codeName(Status status)
{
    switch (status) {
    case Ok:
        return QStringLiteral("ok");
    case UnknownHandler:
        return QStringLiteral("unknownHandler");
    case UnknownMethod:
        return QStringLiteral("unknownMethod");
    case BadRequest:
        return QStringLiteral("badRequest");
    case TooLarge:
        return QStringLiteral("tooLarge");
    case NoAnswer:
        return QStringLiteral("noAnswer");
    }
    return QStringLiteral("unknown");
}
