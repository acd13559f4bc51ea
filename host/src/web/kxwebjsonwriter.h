// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>

namespace Json {
class Value;
}

/*
 * Compact JSON text of a jsoncpp value, appended to out. Every answer of
 * every page call goes through here, so strings that need no escaping are
 * copied whole rather than character by character. Numbers are written in
 * their shortest form that reads back to the same value; non-finite ones as
 * null, as JSON has no other spelling for them.
 */
void kxWriteJson(const Json::Value &value, QByteArray &out);
