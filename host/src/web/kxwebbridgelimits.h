// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QtGlobal>

// Limits of the page-API bridge. Page arguments are small (ids, names,
// '|'-joined lists); anything near these figures is hostile or broken.
namespace KxWebBridgeLimits {
constexpr qint64 kMaxMessageBytes = 1024 * 1024;  // one message of any transport
constexpr int kMaxArgumentDepth = 16;             // nesting of arrays and objects
constexpr int kMaxArgumentNodes = 4096;           // values in all arguments of a call
constexpr int kMaxStringLength = 256 * 1024;      // one string or key, UTF-16 units
constexpr qint64 kMaxArgumentChars = 256 * 1024;  // all strings and keys of a call
constexpr int kMaxNameLength = 64;                // handler, method and event names
constexpr int kMaxSubscriptions = 256;            // event names one page listens to
constexpr int kMaxHttpHeadBytes = 8 * 1024;       // request line and headers
constexpr int kHandshakeTimeoutMs = 5000;         // until the request head is complete
constexpr int kMaxConnections = 64;               // open TCP connections of one server
} // namespace KxWebBridgeLimits
