// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class KxWebViewAsynJSObject;
class KxWebViewJSContext;

/*
 * What both SoftBus page handlers share: reading page arguments with
 * bounds (a value of the wrong type, a text past its cap or an object nested
 * too deep does not read, and the method answers code 3 with a log line),
 * answering a call with the envelope, publishing a kept call's answer and
 * raising events.
 *
 * Stateless; GUI thread.
 */
namespace SoftBus {
namespace Business {

class KSoftBusJsArgs
{
public:
    // Caps of page texts: keys and owner ids, and message contents.
    static constexpr int kMaxKey = 256;
    static constexpr int kMaxContent = 64 * 1024;
    static constexpr int kMaxDepth = 8;

    // A string of 1..maxLength characters (0..maxLength with allowEmpty).
    static bool text(const QVariantMap &args, const char *key, int maxLength, QString *out, bool allowEmpty = false);
    // An object no deeper than kMaxDepth whose strings are within kMaxContent.
    static bool object(const QVariantMap &args, const char *key, QJsonObject *out);
    // An integer, `fallback` when absent.
    static bool integer(const QVariantMap &args, const char *key, int fallback, int *out);

    // Fills the envelope into the context; logs refusals (code 3) under the method's name.
    static void answer(KxWebViewJSContext &context, int code, const QVariant &data = QVariant());
    // The same for a kept context, then hands it to the page.
    static void publish(KxWebViewAsynJSObject *page, KxWebViewJSContext context, int code,
                        const QVariant &data = QVariant());
    static void raise(KxWebViewAsynJSObject *page, const char *event, const QJsonObject &payload);
};

} // namespace Business
} // namespace SoftBus
