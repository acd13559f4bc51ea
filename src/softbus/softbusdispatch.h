// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikcommunicator.h"
#include "softbusrecordtext.h"

#include <string>

/*
 * The dispatch rule that turns a raw answer (code, data text) into a typed
 * callback: a non-zero code is passed on with an empty record; code 0 with
 * text that does not decode becomes code 4 (Error::BadAnswer) with an empty
 * record; otherwise the decoded record goes with code 0. Returns the
 * callback's life state. Pure functions, any thread.
 */
namespace SoftBus {
namespace Business {

// What the registries and KCommunicator invoke: a ContentCallback bound to the rule.
using RawContentCallback = std::function<Export::CobLifeState(int code, const std::string &data)>;

Export::CobLifeState dispatchContent(const ContentCallback &callback, int code, const QString &data);
RawContentCallback bindDispatch(ContentCallback callback);

// The same rule for any record with a text form (T::fromJson).
template<class T>
Export::CobLifeState dispatchRecord(const std::function<Export::CobLifeState(int, const T &)> &callback, int code,
                                    const QString &data)
{
    if (code != Error::Success)
        return callback(code, T());
    T record;
    if (!Protocol::recordFromText(data, &record))
        return callback(Error::BadAnswer, T());
    return callback(Error::Success, record);
}

} // namespace Business
} // namespace SoftBus
