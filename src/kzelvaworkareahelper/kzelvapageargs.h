// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <initializer_list>

class KxWebViewJSContext;

/*
 * Reading the arguments of the plug-in's page APIs: every method gets them
 * as the map "params". Shared by the page API objects; GUI thread.
 */

// The argument map "params" of a call; pages written for string-only bridges
// send it as the JSON text of an object.
QVariantMap paramsOf(const KxWebViewJSContext &context);

// Reads the text argument `key`; false (with a log line naming `method`)
// when it is absent, not a text or empty.
bool textArg(const QVariantMap &params, const QString &key, const QString &method, QString *value);

// The text arguments `keys` of `method` in that order; empty (after a log
// line) when one is absent, not a text or empty.
QStringList textArgs(const KxWebViewJSContext &context, const QString &method,
                     std::initializer_list<const char *> keys);
